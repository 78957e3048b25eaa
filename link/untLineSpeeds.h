// SPDX-License-Identifier: Apache-2.0
#pragma once

// The line speeds the port component knows: each TBaudRate member with its rate. One table for
// the component and the connection.

#include "TComPort.h"

#include <array>
#include <cstdint>

struct TLineSpeed {
    TBaudRate Member;
    std::int32_t Rate; // bit/s; 0 for brDefault and brCustom
    bool FromRate;     // ToBaudRate gives Member for Rate (otherwise brCustom)
};

// In TBaudRate's order, one row per member.
extern const std::array<TLineSpeed, static_cast<std::size_t>(TBaudRate::brCustom) + 1> LineSpeeds;

// The termios constant of a rate in bit/s, 0 when termios has none (termios2 then sets the rate).
// Linux only.
unsigned TermiosSpeedOfRate(std::int32_t rate);
