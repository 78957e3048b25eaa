// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ByteString.h"

#include <string>
#include <string_view>

// Converts UTF-16 text into the bytes of a Windows code page number (437, 936, 28597, 65001 ...).
// Never fails: an unknown number (also -1, "nothing selected") gives an empty byte string.
ByteString TextToCodePageBytes(std::u16string_view text, int codePage);

// The reverse, for showing display bytes to a person (the virtual display's screen).
// Bytes without a mapping come out as U+FFFD; an unknown code page gives empty text.
std::u16string CodePageBytesToText(const ByteString& bytes, int codePage);
