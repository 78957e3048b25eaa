// SPDX-License-Identifier: Apache-2.0
// What a receiver at one line speed reads from characters sent at another. The expected bytes
// are worked out by hand from the bit timing: Ts is the sender's bit time; the receiver sees a
// falling edge at t0 and reads its bit b at t0 + (b + 17/32) * Tr, where Tr is its own bit time
// (the middle of the bit, half a 16x tick late). Bit 0 must read 0 (start), bits 1..8 are the
// data bits least significant first, bit 9 must read 1 (stop) or the character is lost.
#include "VdResample.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

ByteString Hex(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

constexpr unsigned kRates[] = {9600, 19200, 38400, 57600, 115200};

TEST(VdResample, TheSameSpeedAtBothEndsChangesNothing) {
    ByteString every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    for (unsigned rate : kRates)
        EXPECT_EQ(ReceivedAtRate(every, rate, rate), every) << rate;
    for (unsigned sender : kRates)
        for (unsigned receiver : kRates)
            EXPECT_EQ(ReceivedAtRate({}, sender, receiver), ByteString()) << sender << receiver;
}

TEST(VdResample, KnownCharactersAtAnotherSpeed) {
    struct Case {
        unsigned Sender;
        unsigned Receiver;
        ByteString Sent;
        ByteString Received;
        const char* Why;
    };
    const Case cases[] = {
        // A receiver twice as fast (Tr = Ts/2) reads bit b at t0 + (b/2 + 17/64) Ts.
        {9600, 19200, Hex({0xFF}), Hex({0xFE}),
         "start at 0.27 Ts; data at 0.77 Ts (still the start bit: 0) then 1.27 .. 4.27 Ts (1); "
         "stop at 4.77 Ts (1)"},
        {9600,
         19200,
         Hex({0x00}),
         {},
         "the data reads 0 and so does the stop at 4.77 Ts: framing error; the line stays low "
         "until the stop bit at 9 Ts and then idles, with no edge left"},
        {9600, 19200, Hex({0x55}), Hex({0xE6}),
         "0x55 on the line: start, 1 0 1 0 1 0 1 0, stop. From the edge at 0: 0 1 1 0 0 1 1 0, "
         "stop at 4.77 Ts reads d3 = 0: lost. Next falling edge at 6 Ts (d4 1 -> d5 0): data "
         "at 6.77 .. 10.27 Ts read d5 d6 d6 d7 d7 stop stop idle = 0 1 1 0 0 1 1 1 = 0xE6, "
         "stop at 10.77 Ts idle (1)"},
        // A receiver half as fast (Tr = 2 Ts) reads bit b at t0 + (2b + 1.06) Ts.
        {19200, 9600, Hex({0x00}), Hex({0xF8}),
         "low from 0 to 9 Ts: start at 1.06 Ts, data at 3.06 5.06 7.06 Ts read 0, from 9.06 Ts "
         "on the stop bit and the idle line read 1: 0 0 0 1 1 1 1 1 = 0xF8, stop at 19.06 Ts 1"},
        {19200, 9600, Hex({0x00, 0x00}), Hex({0x08}),
         "as above until 9.06 Ts (1); 11.06 .. 17.06 Ts fall in the second zero byte: "
         "0 0 0 1 0 0 0 0 = 0x08; stop at 19.06 Ts is the second stop bit; no edge after it"},
        {19200,
         9600,
         Hex({0xFF}),
         {},
         "the start bit ends at 1 Ts, before the receiver checks it at 1.06 Ts: a glitch"},
        // Twelve sender bits to one receiver bit: a zero byte is one long start bit.
        {115200, 9600, Hex({0x00}), Hex({0xFF}),
         "low for 9 Ts = 0.75 Tr: the start reads 0 at 0.53 Tr, every later bit is idle (1)"},
        // Tr = 1.5 Ts: bit b at t0 + (1.5 b + 0.80) Ts.
        {57600, 38400, Hex({0xF0}), Hex({0xFC}),
         "low from 0 to 5 Ts (start and four zero bits), then high: start 0.80, data at 2.30 "
         "3.80 (0) and 5.30 .. 12.80 Ts (1) = 0 0 1 1 1 1 1 1 = 0xFC, stop at 14.30 Ts (1)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReceivedAtRate(c.Sent, c.Sender, c.Receiver), c.Received)
            << c.Sender << " -> " << c.Receiver << ": " << c.Why;
}

TEST(VdResample, AReceiverTwiceAsFastReadsNoCommandByte) {
    // Each sender bit covers two of the receiver's samples, starting with the start bit's:
    // bit 0 of every character read is the sender's start bit (0), and bit 7 shares a sender
    // bit with the stop sample, which must be 1. So whatever a host at half the display's
    // speed sends, the display reads only bytes 0x80..0xFE: never 02, 0B, 0C or 1F.
    ByteString every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    for (unsigned sender : {9600u, 19200u, 57600u}) {
        for (const ByteString& sent : {every, ByteString(every.rbegin(), every.rend())}) {
            const ByteString got = ReceivedAtRate(sent, sender, sender * 2);
            EXPECT_FALSE(got.empty());
            for (char c : got) {
                const auto b = static_cast<std::uint8_t>(c);
                EXPECT_EQ(b & 0x81, 0x80) << sender << ": " << int(b);
            }
        }
    }
}

TEST(VdResample, AtAnotherSpeedNothingComesThroughWhole) {
    // The frames the host sends to find and set up the display: read at any other speed they
    // never arrive as sent, and a slower receiver never reads more characters than were sent.
    const ByteString frames[] = {Hex({0x02, 0x07, 0x16, 0x05}), Hex({0x02, 0x42, 0x31}),
                                 ByteString("Hello, display")};
    for (const ByteString& sent : frames)
        for (unsigned sender : kRates)
            for (unsigned receiver : kRates) {
                if (sender == receiver)
                    continue;
                const ByteString got = ReceivedAtRate(sent, sender, receiver);
                EXPECT_NE(got, sent) << sender << " -> " << receiver;
                if (receiver < sender) {
                    EXPECT_LE(got.size(), sent.size()) << sender << " -> " << receiver;
                }
            }
}

} // namespace
