// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a leak check counts: this process's open descriptors and its threads.

#include <chrono>
#include <cstddef>
#include <functional>

std::size_t OpenFdCount();
std::size_t ThreadCount();

// Waits until the thread count is at most `count` or `limit` has passed, calling `pump`
// (e.g. to run an event loop) between looks; returns the last count seen.
std::size_t WaitForThreadCount(std::size_t count, std::chrono::milliseconds limit,
                               const std::function<void()>& pump);
