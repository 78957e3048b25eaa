// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

struct TInterChars {
    std::string_view NameEn;
    std::string_view NameZh; // UTF-8
    int No;
    int CodePageNo_bind; // No_new of the code page that goes with this set
};

extern const std::array<TInterChars, 20> InterCharTable;

std::string NameOfNo(std::span<const TInterChars> table, int no); // NameEn
int NoAtIndex(std::span<const TInterChars> table, int index);
int IndexOfNo(std::span<const TInterChars> table, int no);
