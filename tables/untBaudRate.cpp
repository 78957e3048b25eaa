// SPDX-License-Identifier: Apache-2.0
#include "untBaudRate.h"

#include "untTableLookup.h"

const std::array<TBaudRates, 5> BaudRateTable{{
    {"9600", 0, 9600},
    {"19200", 1, 19200},
    {"38400", 2, 38400},
    {"57600", 3, 57600},
    {"115200", 4, 115200},
}};

namespace {
int NumberOf(const TBaudRates& row) {
    return row.No;
}
} // namespace

std::string NameOfNo(std::span<const TBaudRates> table, int no) {
    const int index = TableLookup::IndexOf(table, no, NumberOf);
    return index < 0 ? std::string{} : std::string{table[static_cast<std::size_t>(index)].Name};
}

int NoAtIndex(std::span<const TBaudRates> table, int index) {
    return TableLookup::NumberAt(table, index, NumberOf);
}

int IndexOfNo(std::span<const TBaudRates> table, int no) {
    return TableLookup::IndexOf(table, no, NumberOf);
}

int BitsPerSecondOfNo(int no) {
    const int index = IndexOfNo(BaudRateTable, no);
    return index < 0 ? 0 : BaudRateTable[static_cast<std::size_t>(index)].BitsPerSecond;
}

int IndexOfBitsPerSecond(int bitsPerSecond) {
    return TableLookup::IndexOf(std::span<const TBaudRates>(BaudRateTable), bitsPerSecond,
                                [](const TBaudRates& row) { return row.BitsPerSecond; });
}
