// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "TestSystem.h"

#include <chrono>
#include <functional>

// Runs the Qt event loop until `done` holds or `limit` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
