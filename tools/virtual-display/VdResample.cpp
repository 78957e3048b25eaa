// SPDX-License-Identifier: Apache-2.0
#include "VdResample.h"

#include <cstdint>

namespace {

// Time in units of 1/(32 * senderRate * receiverRate) s: both bit times and the receiver's
// half tick are whole numbers, so no sample is rounded onto an edge.
class Line {
public:
    Line(const ByteString& sent, std::int64_t senderBit) : sent_(sent), bit_(senderBit) {}

    // The level at time t; 1 before the first start bit and after the last stop bit.
    int Level(std::int64_t t) const { return t < 0 ? 1 : LevelOfBit(t / bit_); }

    // The first falling edge strictly after `after`, or -1 when the line stays idle.
    std::int64_t NextFallingEdge(std::int64_t after) const {
        const std::int64_t bits = static_cast<std::int64_t>(sent_.size()) * 10;
        for (std::int64_t k = after < 0 ? 0 : after / bit_ + 1; k < bits; ++k)
            if (LevelOfBit(k) == 0 && (k == 0 || LevelOfBit(k - 1) == 1))
                return k * bit_;
        return -1;
    }

private:
    // The level during the sender's k-th bit time.
    int LevelOfBit(std::int64_t k) const {
        const std::int64_t character = k / 10;
        if (character >= static_cast<std::int64_t>(sent_.size()))
            return 1;
        const std::int64_t position = k % 10;
        if (position == 0)
            return 0;
        if (position == 9)
            return 1;
        const auto byte = static_cast<std::uint8_t>(sent_[static_cast<std::size_t>(character)]);
        return (byte >> (position - 1)) & 1;
    }

    const ByteString& sent_;
    std::int64_t bit_;
};

} // namespace

ByteString ReceivedAtRate(const ByteString& sent, unsigned senderRate, unsigned receiverRate) {
    if (senderRate == receiverRate || senderRate == 0 || receiverRate == 0)
        return sent;
    const Line line(sent, 32 * static_cast<std::int64_t>(receiverRate));
    const std::int64_t receiverBit = 32 * static_cast<std::int64_t>(senderRate);
    const std::int64_t halfTick = senderRate; // 1/32 of the receiver's bit
    ByteString received;
    for (std::int64_t edge = line.NextFallingEdge(-1); edge >= 0;) {
        // The middle of the receiver's b-th bit after the start edge it saw.
        auto middle = [&](int b) { return edge + halfTick + receiverBit * b + receiverBit / 2; };
        if (line.Level(middle(0)) != 0) {
            // A start bit too short for this receiver: a glitch, not a character.
            edge = line.NextFallingEdge(middle(0));
            continue;
        }
        int value = 0;
        for (int b = 1; b <= 8; ++b)
            value |= line.Level(middle(b)) << (b - 1);
        if (line.Level(middle(9)) == 1)
            received += static_cast<char>(value);
        edge = line.NextFallingEdge(middle(9));
    }
    return received;
}
