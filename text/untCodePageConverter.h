// SPDX-License-Identifier: Apache-2.0
#pragma once

// The system's converter between UTF-16 and a Windows code page: ICU on Linux, the Windows
// converter on Windows, each giving Windows' best fit and '?' for what has no mapping. The rules
// the display needs on top (controls stay themselves, nothing printable becomes a control byte)
// are untCodePageText's, the same on every system.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The code units the character at `i` takes: 2 for a surrogate pair, otherwise 1.
std::size_t CharacterWidthAt(std::u16string_view text, std::size_t i);

bool CodePageKnown(int codePage);

// The bytes of each character of `text`, one entry per character (a surrogate pair is one);
// an empty entry where the converter drops the character. Nothing when the page is unknown.
std::optional<std::vector<std::string>> ConvertCharacters(std::u16string_view text, int codePage);

// The text of a run of bytes that holds no control byte; bytes without a mapping give U+FFFD.
std::u16string ConvertRun(std::string_view run, int codePage);
