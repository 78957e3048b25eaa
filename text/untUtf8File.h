// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// A file that could not be read or written; the message carries the path and the OS text.
class EFileError : public std::runtime_error {
public:
    EFileError(const std::string& message, int osError);
    int OsError;
};

// Reads the whole file as UTF-8 (a leading byte-order mark is skipped).
std::u16string ReadUtf8File(const std::string& path);

// Writes the text as UTF-8 without a byte-order mark. An existing file is either replaced
// whole or left as it was.
void WriteUtf8File(std::u16string_view text, const std::string& path);
