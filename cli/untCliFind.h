// SPDX-License-Identifier: Apache-2.0
#pragma once

// Where vylctl talks to a display whose speed was not given: the one place that decides it.

#include "untActionResult.h"

#include <optional>
#include <string>

// The port and speed of the display on `port`, trying `firstRate` first when there is one;
// nullopt when no display is found there. Without a search of the speeds this is the display's
// factory speed, 9600 (or `firstRate`), and nothing is sent to the port to find it.
std::optional<TSessionTarget> FindDisplaySpeed(const std::string& port,
                                               std::optional<int> firstRate);
