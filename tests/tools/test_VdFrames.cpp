// SPDX-License-Identifier: Apache-2.0
// The virtual display's frame decoder: frames without lengths cut out of a byte stream.
#include "VdFrames.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = FrameDecoder::Clock;

ByteString Hex(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

struct Expected {
    FrameKind Kind;
    ByteString Bytes;
};

// One of every frame the host sends, back to back, with awkward bytes inside the payloads.
std::vector<Expected> AllFrames() {
    ByteString cipher(32, '\x02');
    cipher[5] = 0x0C;
    cipher[9] = 0x1F;
    cipher[20] = 0x00;
    return {
        {FrameKind::Clear, Hex({0x0C})},
        {FrameKind::Text, "Hello"},
        {FrameKind::Home, Hex({0x0B})},
        {FrameKind::Cursor, Hex({0x1F, 0x24, 0x05, 0x02, 'A', 'B'})},
        {FrameKind::Cursor, Hex({0x1F, 0x24, 0x01, 0x01})},
        {FrameKind::Brightness, Hex({0x1F, 0x58, 0x02})},
        {FrameKind::Charset, Hex({0x02, 0x05, 0xFF})},
        {FrameKind::Codepage, Hex({0x02, 0x06, 0x02})},
        {FrameKind::Restart, Hex({0x02, 0x1D, 0xAA, 0x55})},
        {FrameKind::Command, Hex({0x02, 0x43, 0x30})},
        {FrameKind::Baud, Hex({0x02, 0x42, 0x34})},
        {FrameKind::HandShake, Hex({0x02, 0x07, 0x13}) + cipher},
        {FrameKind::HandShakeJpos, Hex({0x02, 0x07, 0x12}) + cipher},
        {FrameKind::SettingsRequest, Hex({0x02, 0x07, 0x16, 0x05})},
        {FrameKind::Welcome1, Hex({0x02, 0x07, 0x16, 0x06, 0x02, 0x0C, 'x', 0x00})},
        {FrameKind::Welcome2, Hex({0x02, 0x07, 0x16, 0x07, 0x00})},
        {FrameKind::Scroll, Hex({0x02, 0x07, 0x16, 0x09, 0x06})},
        {FrameKind::Text, "tail"},
    };
}

void ExpectFrames(const std::vector<Frame>& got, const std::vector<Expected>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].Kind, want[i].Kind) << "frame " << i;
        EXPECT_EQ(got[i].Bytes, want[i].Bytes) << "frame " << i;
    }
}

TEST(FrameDecoder, EveryFrameInOneChunkAndByteByByte) {
    const auto want = AllFrames();
    ByteString stream;
    for (const auto& e : want)
        stream += e.Bytes;
    const auto t0 = Clock::now();

    FrameDecoder whole;
    auto got = whole.Feed(stream, t0);
    EXPECT_TRUE(got.size() == want.size() - 1); // the last text run waits for quiet
    EXPECT_TRUE(whole.Tick(t0 + 5ms).empty());
    for (auto& f : whole.Tick(t0 + FrameDecoder::TextGap))
        got.push_back(f);
    ExpectFrames(got, want);

    FrameDecoder bytewise;
    std::vector<Frame> pieces;
    for (char b : stream)
        for (auto& f : bytewise.Feed(ByteString(1, b), t0))
            pieces.push_back(f);
    for (auto& f : bytewise.Tick(t0 + 1s))
        pieces.push_back(f);
    ExpectFrames(pieces, want);
}

TEST(FrameDecoder, ParametersAndTexts) {
    FrameDecoder d;
    const auto t0 = Clock::now();
    auto frames = d.Feed(Hex({0x1F, 0x24, 0x05, 0x02, 'A', 'B', 0x02, 0x07, 0x16, 0x06, 'H', 'i',
                              0x00, 0x1F, 0x58, 0x03}),
                         t0);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].Param(0), 5);
    EXPECT_EQ(frames[0].Param(1), 2);
    EXPECT_EQ(frames[0].Text(), "AB");
    EXPECT_EQ(frames[1].Text(), "Hi");
    EXPECT_EQ(frames[2].Param(), 3);
}

TEST(FrameDecoder, StuckAndUnknownFramesDoNotSwallowTheNextOnes) {
    FrameDecoder d;
    const auto t0 = Clock::now();
    EXPECT_TRUE(d.Feed(Hex({0x02, 0x07, 0x13, 0x11}), t0).empty());
    EXPECT_TRUE(d.Tick(t0 + 100ms).empty());
    auto frames = d.Tick(t0 + FrameDecoder::StuckGap);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Kind, FrameKind::Incomplete);
    EXPECT_FALSE(d.Pending());

    frames = d.Feed(Hex({0x02, 0x99, 0x1F, 0x11, 0x02, 0x1D, 0xAA, 0x00, 0x0C}), t0 + 1s);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].Kind, FrameKind::Unknown);
    EXPECT_EQ(frames[0].Bytes, Hex({0x02, 0x99}));
    EXPECT_EQ(frames[1].Bytes, Hex({0x1F, 0x11}));
    EXPECT_EQ(frames[2].Bytes, Hex({0x02, 0x1D, 0xAA, 0x00}));
    EXPECT_EQ(frames[3].Kind, FrameKind::Clear);

    // A welcome line that never ends is given up, not grown for ever.
    frames = d.Feed(Hex({0x02, 0x07, 0x16, 0x07}) + ByteString(300, 'x'), t0 + 2s);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].Kind, FrameKind::Unknown);

    d.Reset();
    EXPECT_FALSE(d.Pending());
    EXPECT_FALSE(d.NextDeadline());
}

} // namespace
