// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <span>

// The lookups every reference table shares. The tables are a few dozen rows at most, so a
// linear scan from row 0 is all they need; the first match wins.
namespace TableLookup {

template <typename Row, typename NumberOf>
int IndexOf(std::span<const Row> table, int no, NumberOf numberOf) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (numberOf(table[i]) == no) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <typename Row, typename NumberOf>
int NumberAt(std::span<const Row> table, int index, NumberOf numberOf) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        return -1;
    }
    return numberOf(table[static_cast<std::size_t>(index)]);
}

} // namespace TableLookup
