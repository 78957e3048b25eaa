// SPDX-License-Identifier: Apache-2.0
#include "untBaudRate.h"

#include "untTableLookup.h"

const std::array<TBaudRates, 5> BaudRateTable{{
    {"9600", 0},
    {"19200", 1},
    {"38400", 2},
    {"57600", 3},
    {"115200", 4},
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
