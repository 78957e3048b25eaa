// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 at the core's boundaries. Malformed input becomes U+FFFD, never an error.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
