// SPDX-License-Identifier: Apache-2.0
#include "untTestPatterns.h"

#include <algorithm>
#include <cctype>

const std::array<TTestPattern, 7> TestPatterns{{
    {101, "20-3F",
     "0B202122232425262728292a2b2c2d2e2f20202020303132333435363738393a3b3c3d3e3f20202020"},
    {102, "40-5F",
     "0B404142434445464748494a4b4c4d4e4f20202020505152535455565758595a5b5c5d5e5f20202020"},
    {103, "60-7F",
     "0B606162636465666768696a6b6c6d6e6f20202020707172737475767778797a7b7c7d7e7f20202020"},
    {201, "80-9F",
     "0B808182838485868788898a8b8c8d8e8f20202020909192939495969798999a9b9c9d9e9f20202020"},
    {202, "A0-BF",
     "0Ba0a1a2a3a4a5a6a7a8a9aaabacadaeaf20202020b0b1b2b3b4b5b6b7b8b9babbbcbdbebf20202020"},
    {203, "C0-DF",
     "0Bc0c1c2c3c4c5c6c7c8c9cacbcccdcecf20202020d0d1d2d3d4d5d6d7d8d9dadbdcdddedf20202020"},
    {204, "E0-FF",
     "0Be0e1e2e3e4e5e6e7e8e9eaebecedeeef20202020f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff20202020"},
}};

const TTestPattern* TestPatternOfTag(int tag) {
    for (const TTestPattern& pattern : TestPatterns)
        if (pattern.Tag == tag)
            return &pattern;
    return nullptr;
}

const TTestPattern* TestPatternNamed(std::string_view name) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!name.empty() && blank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && blank(name.back()))
        name.remove_suffix(1);
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    };
    for (const TTestPattern& pattern : TestPatterns)
        if (std::equal(pattern.Name.begin(), pattern.Name.end(), name.begin(), name.end(), same))
            return &pattern;
    return nullptr;
}

std::string TestPatternNames() {
    std::string names;
    for (const TTestPattern& pattern : TestPatterns)
        names += (names.empty() ? "" : ", ") + std::string(pattern.Name);
    return names;
}
