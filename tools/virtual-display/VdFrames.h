// SPDX-License-Identifier: Apache-2.0
#pragma once

// Cuts the host's byte stream into the display's frames. Frames carry no length, so the
// decoder is a small state machine: an incomplete frame waits for more bytes, a text run ends
// at the next command byte or after a short quiet gap, and a frame stuck half-way is given up
// after a longer gap (the host never pauses inside a frame it writes whole).

#include "ByteString.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

enum class FrameKind {
    Text,            // printable bytes at the cursor
    Clear,           // 0C
    Home,            // 0B
    Cursor,          // 1F 24 column row, then the text that followed it
    Brightness,      // 1F 58 n
    Charset,         // 02 05 n
    Codepage,        // 02 06 n
    Restart,         // 02 1D AA 55
    Command,         // 02 43 b
    Baud,            // 02 42 b
    HandShake,       // 02 07 13 + 32 bytes
    HandShakeJpos,   // 02 07 12 + 32 bytes
    SettingsRequest, // 02 07 16 05
    Welcome1,        // 02 07 16 06 text 00
    Welcome2,        // 02 07 16 07 text 00
    Scroll,          // 02 07 16 09 b
    Unknown,         // a command byte followed by something this display does not know
    Incomplete,      // the start of a frame whose rest never came
};

struct Frame {
    FrameKind Kind = FrameKind::Unknown;
    ByteString Bytes; // the whole frame as received
    // The text of Text, Cursor, Welcome1 and Welcome2 (without the 00 of a welcome frame).
    ByteString Text() const;
    // The parameter byte of one-parameter frames; for Cursor the column (first) and row.
    std::uint8_t Param(std::size_t index = 0) const;
};

const char* FrameKindName(FrameKind kind);

class FrameDecoder {
public:
    using Clock = std::chrono::steady_clock;

    // A text run is closed after this much quiet; a half frame is dropped after StuckGap.
    static constexpr auto TextGap = std::chrono::milliseconds(20);
    static constexpr auto StuckGap = std::chrono::milliseconds(500);
    // Welcome lines are at most 60 characters; a run-away welcome frame is given up here.
    static constexpr std::size_t MaxWelcomeText = 240;

    // Feeds bytes that arrived at `now`; returns the frames they completed, in order.
    std::vector<Frame> Feed(const ByteString& bytes, Clock::time_point now);
    // Frames that the passing of time completes (a quiet text run, a stuck frame).
    std::vector<Frame> Tick(Clock::time_point now);
    // When Tick next has something to do, if anything is pending.
    std::optional<Clock::time_point> NextDeadline() const;
    // Drops whatever is pending (a new connection, a speed mismatch).
    void Reset();
    bool Pending() const { return !pending_.empty(); }

private:
    void Push(char byte, std::vector<Frame>& out);
    void Emit(FrameKind kind, std::vector<Frame>& out);

    ByteString pending_;
    bool textRun_ = false; // pending_ is a text run (plain text or the text after 1F 24 c r)
    FrameKind textKind_ = FrameKind::Text;
    Clock::time_point last_{};
};
