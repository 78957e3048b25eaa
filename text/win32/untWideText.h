// SPDX-License-Identifier: Apache-2.0
#pragma once

// Windows' wide strings are UTF-16: the core's UTF-8 names (paths, port names) cross to the
// wide API and back through these.

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// The system's text for a GetLastError() code, in UTF-8, followed by the code:
// "Access is denied. (error 5)".
std::string SystemErrorText(unsigned long code);
