// SPDX-License-Identifier: Apache-2.0
#include "untCliFind.h"

std::optional<TSessionTarget> FindDisplaySpeed(const std::string& port,
                                               std::optional<int> firstRate) {
    return TSessionTarget{port, firstRate.value_or(9600)};
}
