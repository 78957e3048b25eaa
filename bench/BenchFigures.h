// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the session benchmarks share on every system: the display's trace read as it grows, the
// time from its handshake answer to the next frame, and distributions.

#include "TraceLine.h"

#include <cstddef>
#include <string>
#include <vector>

using TTraceEvent = TTraceLine;

// Reads a trace as it grows: each call returns the complete lines written since the last.
class TTraceReader {
public:
    explicit TTraceReader(std::string path) : path_(std::move(path)) {}
    std::vector<TTraceEvent> ReadNew();

private:
    std::string path_;
    long long offset_ = 0;
};

// Collects the display's trace of one connection (through its CLOSE) while the loop runs.
struct TConnectionTrace {
    TTraceReader& Reader;
    std::vector<TTraceEvent> Events;
    bool Closed() {
        for (TTraceEvent& e : Reader.ReadNew()) {
            Events.push_back(std::move(e));
        }
        for (const TTraceEvent& e : Events)
            if (e.Event == "CLOSE")
                return true;
        return false;
    }
};

// The time from the display's handshake answer (the TX of 35 bytes) to the next frame it
// received, in microseconds, for the first such pair among `events`; -1 when there is none.
double ReplyToNextFrameMicros(const std::vector<TTraceEvent>& events);

struct TDistribution {
    std::size_t N = 0;
    double Median = 0;
    double P99 = 0;
    double Max = 0;
};
TDistribution Distribution(std::vector<double> values);
