// SPDX-License-Identifier: Apache-2.0
#include "untCommandMode.h"

#include "untTableLookup.h"

const std::array<TCommandModes, 16> CommandModeTable{{
    {"LD220", 0},
    {"EPSON ESC/POS", 1},
    {"AEDEX", 2},
    {"UTC/S", 3},
    {"UTC/E", 4},
    {"ADM788", 5},
    {"DSP800", 6},
    {"CD5220", 7},
    {"EMAX", 8},
    {"LOGIC CONTROL", 9},
    {"ICD2002", 10},
    {"EZ-202", 11},
    {"PL-200", 12},
    {"PD3000", 13},
    {"POS7300", 14},
    // The display numbers its automatic mode 255, not 15.
    {"AUTO", 255},
}};

namespace {
int NumberOf(const TCommandModes& row) {
    return row.No;
}
} // namespace

std::string NameOfNo(std::span<const TCommandModes> table, int no) {
    const int index = TableLookup::IndexOf(table, no, NumberOf);
    return index < 0 ? std::string{} : std::string{table[static_cast<std::size_t>(index)].Name};
}

int NoAtIndex(std::span<const TCommandModes> table, int index) {
    return TableLookup::NumberAt(table, index, NumberOf);
}

int IndexOfNo(std::span<const TCommandModes> table, int no) {
    return TableLookup::IndexOf(table, no, NumberOf);
}
