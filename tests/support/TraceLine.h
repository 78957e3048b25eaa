// SPDX-License-Identifier: Apache-2.0
#pragma once

// One line of the virtual display's trace, "<time> <event> <data>", as the tests and the
// benchmarks read it.

#include <cstdint>
#include <string>

struct TTraceLine {
    std::int64_t Micros = -1; // since the epoch; -1 when the time does not read
    std::string Event;
    std::string Data;

    double Seconds() const { return static_cast<double>(Micros) / 1e6; }
};

// False for a line that has no event.
bool ParseTraceLine(const std::string& line, TTraceLine& out);

// "2025-01-31T12:34:56.123456Z" as microseconds since the epoch; -1 when it does not read.
std::int64_t TraceTimeMicros(const std::string& text);
