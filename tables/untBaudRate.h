// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

struct TBaudRates {
    std::string_view Name; // as the lists show it
    int No;
    int BitsPerSecond; // the line speed
};

extern const std::array<TBaudRates, 5> BaudRateTable;

std::string NameOfNo(std::span<const TBaudRates> table, int no);
int NoAtIndex(std::span<const TBaudRates> table, int index);
int IndexOfNo(std::span<const TBaudRates> table, int no);

// The line speed in bit/s of the display's speed code; 0 when no row carries it.
int BitsPerSecondOfNo(int no);
// The row of BaudRateTable with the line speed `bitsPerSecond`; -1 when none has it.
int IndexOfBitsPerSecond(int bitsPerSecond);
