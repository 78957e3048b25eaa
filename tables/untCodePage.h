// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

struct TCodePages {
    std::u16string_view Name;
    int CodePage; // Windows code page number used for text conversion
    int No_old;
    int No_new; // the display's number for the code page
};

extern const std::array<TCodePages, 34> CodePageTable;

// "Number" is No_new here.
std::u16string NameOfNo(std::span<const TCodePages> table, int no);
int NoAtIndex(std::span<const TCodePages> table, int index);
int IndexOfNo(std::span<const TCodePages> table, int no);
int CodePageAtIndex(int index);
