// SPDX-License-Identifier: Apache-2.0
#include "untCodePage.h"

#include "untTableLookup.h"

// CodePage is what text is converted with; No_new is what the display is told. Rows may share a
// CodePage (737, 866, 932) and differ only in the number sent.
const std::array<TCodePages, 34> CodePageTable{{
    {u"CP437", 437, 0, 0},        {u"CP737", 737, 17, 21},      {u"CP737_S", 737, 0, 23},
    {u"CP775", 775, 0, 57},       {u"CP850", 850, 2, 2},        {u"CP852", 852, 16, 18},
    {u"CP857", 857, 9, 9},        {u"CP858", 858, 18, 19},      {u"CP860", 860, 3, 3},
    {u"CP862", 862, 0, 27},       {u"CP863", 863, 4, 4},        {u"CP864", 864, 19, 22},
    {u"CP865", 865, 5, 5},        {u"CP866", 866, 15, 17},      {u"CP866_AT", 866, 0, 15},
    {u"CP874", 874, 0, 55},       {u"Katakana", 932, 1, 1},     {u"CP932", 932, 0, 130},
    {u"CP936_GBK", 936, 0, 25},   {u"CP949", 949, 0, 129},      {u"CP950_BIG5", 950, 0, 146},
    {u"WCP1250", 1250, 11, 11},   {u"WCP1251", 1251, 14, 14},   {u"WCP1252", 1252, 8, 16},
    {u"WCP1253", 1253, 12, 47},   {u"WCP1254", 1254, 0, 50},    {u"WCP1255", 1255, 13, 49},
    {u"WCP1256", 1256, 0, 24},    {u"WCP1257", 1257, 21, 51},   {u"WCP1258", 1258, 0, 52},
    {u"ISO8859-2", 28592, 0, 60}, {u"ISO8859-7", 28597, 0, 54}, {u"ISO8859-8", 28598, 0, 56},
    {u"UTF-8", 65001, 0, 102},
}};

namespace {
int NumberOf(const TCodePages& row) {
    return row.No_new;
}
int CodePageOf(const TCodePages& row) {
    return row.CodePage;
}
} // namespace

std::u16string NameOfNo(std::span<const TCodePages> table, int no) {
    const int index = TableLookup::IndexOf(table, no, NumberOf);
    return index < 0 ? std::u16string{}
                     : std::u16string{table[static_cast<std::size_t>(index)].Name};
}

int NoAtIndex(std::span<const TCodePages> table, int index) {
    return TableLookup::NumberAt(table, index, NumberOf);
}

int IndexOfNo(std::span<const TCodePages> table, int no) {
    return TableLookup::IndexOf(table, no, NumberOf);
}

int CodePageAtIndex(int index) {
    return TableLookup::NumberAt(std::span<const TCodePages>{CodePageTable}, index, CodePageOf);
}
