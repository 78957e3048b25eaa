// SPDX-License-Identifier: Apache-2.0
#pragma once

// One series of the session benchmarks (Linux and Windows alike): each action timed from the
// display's trace, from its handshake answer to the next frame it received, and as a whole.

#include "BenchFigures.h"

#include <chrono>
#include <functional>
#include <vector>

struct TSeries {
    const char* Name;
    std::vector<double> GapMicros;    // display's answer to the next frame
    std::vector<double> ActionMillis; // the whole action as its caller saw it
    int Failures = 0;
};

// Serves this thread's event loop (receive events, repaints) until `done` or `limit`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::steady_clock::duration limit);

// Runs one action (`run` says whether it did what it should) and waits for the display to see
// its port closed; counted, it adds the figures to the series, or a failure.
void Measure(TSeries& series, TTraceReader& reader, const std::function<bool()>& run, bool counted);

void PrintSeries(const TSeries& series);
