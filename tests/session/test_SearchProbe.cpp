// SPDX-License-Identifier: Apache-2.0
// The search's probe read at a wrong speed, worked out for every pair of the display's speeds
// with the receiver model of the virtual display: only stray characters, never a command and
// never the request itself. And the order in which the speeds are tried.

#include "VdFrames.h"
#include "VdResample.h"
#include "untDisplaySearch.h"
#include "untHex.h"

#include <gtest/gtest.h>

namespace {

const std::vector<unsigned> Speeds = {9600, 19200, 38400, 57600, 115200};

// The frames a display makes of `bytes`, the last one closed by a long quiet.
std::vector<Frame> FramesOf(const ByteString& bytes) {
    FrameDecoder decoder;
    const auto now = FrameDecoder::Clock::now();
    std::vector<Frame> frames = decoder.Feed(bytes, now);
    for (Frame& f : decoder.Tick(FrameDecoder::Clock::time_point::max()))
        frames.push_back(std::move(f));
    return frames;
}

ByteString Repeated(const ByteString& bytes, int times) {
    ByteString out;
    for (int i = 0; i < times; ++i)
        out += bytes;
    return out;
}

} // namespace

TEST(SearchProbe, AtEveryWrongSpeedOnlyStrayCharactersArrive) {
    // Probes that leave back to back are read together: up to eight in a row.
    for (unsigned sender : Speeds) {
        for (unsigned receiver : Speeds) {
            for (int count = 1; count <= 8; ++count) {
                const ByteString sent = Repeated(SearchProbe(), count);
                const ByteString read = ReceivedAtRate(sent, sender, receiver);
                const std::string where = std::to_string(sender) + " -> " +
                                          std::to_string(receiver) + " x" + std::to_string(count) +
                                          ": " + BytesToSpacedHex(read);
                const std::vector<Frame> frames = FramesOf(read);
                if (sender == receiver) {
                    // The model's own check: at the same speed the request is one.
                    ASSERT_EQ(frames.size(), static_cast<std::size_t>(count)) << where;
                    for (const Frame& f : frames)
                        EXPECT_EQ(f.Kind, FrameKind::SettingsRequest) << where;
                    continue;
                }
                for (char b : read) {
                    // A byte that starts a command, or ends a welcome line.
                    EXPECT_TRUE(b != 0x00 && b != 0x02 && b != 0x0B && b != 0x0C && b != 0x1F)
                        << where;
                }
                for (const Frame& f : frames)
                    EXPECT_EQ(f.Kind, FrameKind::Text) << where;
            }
        }
    }
}

TEST(SearchProbe, TheGivenSpeedThenTheFactorySpeedThenTheRest) {
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {9600, {9600, 19200, 38400, 57600, 115200}},
        {57600, {57600, 9600, 19200, 38400, 115200}},
        {115200, {115200, 9600, 19200, 38400, 57600}},
        // Not one of the display's speeds: nothing to try it at.
        {4800, {9600, 19200, 38400, 57600, 115200}},
        {0, {9600, 19200, 38400, 57600, 115200}},
    };
    for (const auto& [first, order] : cases)
        EXPECT_EQ(SearchOrder(first), order) << first;
    EXPECT_EQ(SearchProbe(), ByteString("\x02\x07\x16\x05", 4));
}
