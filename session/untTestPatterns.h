// SPDX-License-Identifier: Apache-2.0
#pragma once

// The character test patterns: each fills both display lines with 32 consecutive character
// codes, sent raw so that the display shows them in its own character set and code page.

#include <array>
#include <string>
#include <string_view>

struct TTestPattern {
    int Tag;               // the tag of the test page's button
    std::string_view Name; // "20-3F": the range it shows
    std::string_view Hex;  // 0B, then per line 16 codes and four blanks
};

extern const std::array<TTestPattern, 7> TestPatterns;

// The pattern of a tag, or of a name (case and surrounding blanks ignored: "e0-ff"); nullptr
// when there is none.
const TTestPattern* TestPatternOfTag(int tag);
const TTestPattern* TestPatternNamed(std::string_view name);
// Every pattern's name, in order, comma separated: "20-3F, 40-5F, ...".
std::string TestPatternNames();
