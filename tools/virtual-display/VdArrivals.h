// SPDX-License-Identifier: Apache-2.0
#pragma once

// What came over the line, in the order it came: bytes, each chunk with the speed the host had
// when it sent them, and the host's opens and closes. The display notes each arrival the moment
// it sees it, so that bytes stay with the connection that wrote them, and takes them in after
// its reading lag (a slow display reads late; its receiver still heard each byte on time).

#include "ByteString.h"
#include "VdHostWatch.h"

#include <chrono>
#include <deque>
#include <optional>

class VdArrivals {
public:
    using Clock = std::chrono::steady_clock;

    struct Arrival {
        Clock::time_point At;
        std::optional<VdHostWatch::Change> Change; // when set, an open or close, no bytes
        ByteString Bytes;
        unsigned HostSpeed = 0; // bit/s; 0 when unknown
    };

    explicit VdArrivals(Clock::duration lag) : lag_(lag) {}

    void AddBytes(ByteString bytes, unsigned hostSpeed, Clock::time_point at);
    void AddChange(VdHostWatch::Change change, Clock::time_point at);
    // The oldest arrival whose lag has passed at `now`, taken out of the queue.
    std::optional<Arrival> TakeDue(Clock::time_point now);
    // When the oldest arrival falls due, if any waits.
    std::optional<Clock::time_point> NextDue() const;
    Clock::duration Lag() const { return lag_; }

private:
    Clock::duration lag_;
    std::deque<Arrival> queue_;
};
