// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a receiver set to one line speed makes of characters sent at another. Each character is
// a 10-bit frame (start bit 0, eight data bits least significant first, stop bit 1); the line
// idles at 1 before and after the bytes, which leave back to back. The receiver is an ideal
// 16x oversampling UART: it sees a falling edge half a tick (1/32 of its bit) late, checks the
// start bit in its middle, reads every bit in its middle, and drops a character whose stop
// bit reads 0 (a framing error). After each character it waits for the next falling edge.
// With the same speed at both ends the bytes come through unchanged.

#include "ByteString.h"

// The bytes a receiver at `receiverRate` bit/s reads from `sent` at `senderRate` bit/s.
ByteString ReceivedAtRate(const ByteString& sent, unsigned senderRate, unsigned receiverRate);
