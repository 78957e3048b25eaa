// SPDX-License-Identifier: Apache-2.0
#include "untInterChar.h"

#include "untTableLookup.h"

// CodePageNo_bind is the No_new of the code page the display pairs with each set.
const std::array<TInterChars, 20> InterCharTable{{
    {"USA", "美国", 0, 0},
    {"France", "法国", 1, 19},
    {"Germany", "德国", 2, 19},
    {"U.K.", "英国", 3, 19},
    {"Denmark I", "丹麦I", 4, 19},
    {"Sweden", "瑞典", 5, 19},
    {"Italy", "意大利", 6, 19},
    {"Spain", "西班牙语系", 7, 19},
    {"Japan", "日本", 8, 1},
    {"Norway", "挪威", 9, 19},
    {"Denmark II", "丹麦II", 10, 2},
    {"Slavonic", "斯拉夫语系", 11, 18},
    {"Russia", "俄罗斯", 12, 17},
    {"Greek", "希腊语系", 13, 21},
    {"Czech", "捷克语系", 14, 18},
    {"Lithuania", "立陶宛", 15, 51},
    {"Portugal", "葡萄牙语系", 16, 3},
    {"Turkey", "土耳其", 17, 9},
    {"Baltic States", "波罗的海国家", 18, 51},
    // The display numbers "Other" 255, not 19.
    {"Other", "其他", 255, 0},
}};

namespace {
int NumberOf(const TInterChars& row) {
    return row.No;
}
} // namespace

std::string NameOfNo(std::span<const TInterChars> table, int no) {
    const int index = TableLookup::IndexOf(table, no, NumberOf);
    return index < 0 ? std::string{} : std::string{table[static_cast<std::size_t>(index)].NameEn};
}

int NoAtIndex(std::span<const TInterChars> table, int index) {
    return TableLookup::NumberAt(table, index, NumberOf);
}

int IndexOfNo(std::span<const TInterChars> table, int no) {
    return TableLookup::IndexOf(table, no, NumberOf);
}
