// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

struct TCommandModes {
    std::string_view Name;
    int No;
};

extern const std::array<TCommandModes, 16> CommandModeTable;

std::string NameOfNo(std::span<const TCommandModes> table, int no);
int NoAtIndex(std::span<const TCommandModes> table, int index);
int IndexOfNo(std::span<const TCommandModes> table, int no);
