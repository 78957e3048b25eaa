// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

struct TBaudRates {
    std::string_view Name; // decimal bit/s, also read as the port speed
    int No;
};

extern const std::array<TBaudRates, 5> BaudRateTable;

std::string NameOfNo(std::span<const TBaudRates> table, int no);
int NoAtIndex(std::span<const TBaudRates> table, int index);
int IndexOfNo(std::span<const TBaudRates> table, int no);
