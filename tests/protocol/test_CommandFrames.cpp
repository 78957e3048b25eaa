// SPDX-License-Identifier: Apache-2.0
// Every frame of the command table, read byte for byte at the display's end of a pty.
#include "PtyPair.h"
#include "untCmd_RV310.h"
#include "untComm.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

namespace {

using namespace std::chrono_literals;

ByteString Hex(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

class CommandFrames : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(connection.Open(pty.PortName(), 9600)); }

    // Runs the operation and returns exactly what reached the far end.
    ByteString Sent(const std::function<int()>& operation) {
        EXPECT_EQ(operation(), COMM_OK);
        return pty.ReadUntilQuiet(100ms, 2s);
    }

    PtyPair pty;
    TCommConnection connection;
};

TEST_F(CommandFrames, TextAndCursor) {
    EXPECT_EQ(Sent([&] { return DSP_DisplayText(connection, "Hello"); }), "Hello");
    // Control bytes the caller put in are part of the text (the test page starts with 0B).
    EXPECT_EQ(Sent([&] {
                  return DSP_DisplayText(connection, Hex({0x0B, 0x20, 0xFF}));
              }),
              Hex({0x0B, 0x20, 0xFF}));
    // Column before row, though the arguments name the row first.
    EXPECT_EQ(Sent([&] { return DSP_DisplayTextAt(connection, "AB", 2, 5); }),
              Hex({0x1F, 0x24, 0x05, 0x02, 0x41, 0x42}));
    EXPECT_EQ(Sent([&] { return DSP_DisplayTextAt(connection, "", 1, 20); }),
              Hex({0x1F, 0x24, 20, 1}));
    // Row and column are cut to their low byte.
    EXPECT_EQ(Sent([&] { return DSP_DisplayTextAt(connection, "x", 258, 0x141); }),
              Hex({0x1F, 0x24, 0x41, 0x02, 'x'}));
    EXPECT_EQ(Sent([&] { return DSP_ClearScreen(connection); }), Hex({0x0C}));
}

TEST_F(CommandFrames, PayloadsAreCutAtTheirFirstZero) {
    const ByteString withZero = ByteString("AB") + '\0' + "CD";
    EXPECT_EQ(Sent([&] { return DSP_DisplayText(connection, withZero); }), "AB");
    EXPECT_EQ(Sent([&] { return DSP_DisplayTextAt(connection, withZero, 1, 1); }),
              Hex({0x1F, 0x24, 1, 1, 'A', 'B'}));
    EXPECT_EQ(Sent([&] { return DSP_SetWelMsg1(connection, withZero); }),
              Hex({0x02, 0x07, 0x16, 0x06, 'A', 'B', 0x00}));
    EXPECT_EQ(Sent([&] { return DSP_SetWelMessage_2(connection, ByteString(1, '\0') + "X"); }),
              Hex({0x02, 0x07, 0x16, 0x07, 0x00}));
}

TEST_F(CommandFrames, EmptyTexts) {
    // An empty text frame is an empty write: nothing reaches the line, yet it is no failure.
    EXPECT_EQ(Sent([&] { return DSP_DisplayText(connection, ""); }), "");
    EXPECT_EQ(Sent([&] { return DSP_SetWelMsg1(connection, ""); }),
              Hex({0x02, 0x07, 0x16, 0x06, 0x00}));
    EXPECT_EQ(Sent([&] { return DSP_SetWelMessage_2(connection, ""); }),
              Hex({0x02, 0x07, 0x16, 0x07, 0x00}));
}

TEST_F(CommandFrames, WelcomeLinesAndScroll) {
    const ByteString line2(60, 'W');
    EXPECT_EQ(Sent([&] { return DSP_SetWelMsg1(connection, "***  VYL DISPLAY ***"); }),
              Hex({0x02, 0x07, 0x16, 0x06}) + "***  VYL DISPLAY ***" + ByteString(1, '\0'));
    EXPECT_EQ(Sent([&] { return DSP_SetWelMessage_2(connection, line2); }),
              Hex({0x02, 0x07, 0x16, 0x07}) + line2 + ByteString(1, '\0'));
    EXPECT_EQ(Sent([&] { return DSP_SetWelMessage_2_Scroll(connection, true); }),
              Hex({0x02, 0x07, 0x16, 0x09, 0x04}));
    EXPECT_EQ(Sent([&] { return DSP_SetWelMessage_2_Scroll(connection, false); }),
              Hex({0x02, 0x07, 0x16, 0x09, 0x06}));
}

TEST_F(CommandFrames, BrightnessIsClampedToOneToFour) {
    EXPECT_EQ(Sent([&] { return DSP_SetBrightness(connection, 0); }), Hex({0x1F, 0x58, 0x01}));
    EXPECT_EQ(Sent([&] { return DSP_SetBrightness(connection, -7); }), Hex({0x1F, 0x58, 0x01}));
    EXPECT_EQ(Sent([&] { return DSP_SetBrightness(connection, 1); }), Hex({0x1F, 0x58, 0x01}));
    EXPECT_EQ(Sent([&] { return DSP_SetBrightness(connection, 3); }), Hex({0x1F, 0x58, 0x03}));
    EXPECT_EQ(Sent([&] { return DSP_SetBrightness(connection, 5); }), Hex({0x1F, 0x58, 0x04}));
    EXPECT_EQ(Sent([&] { return DSP_SetBrightness(connection, 260); }), Hex({0x1F, 0x58, 0x04}));
}

TEST_F(CommandFrames, ModeSpeedCharsetCodepageRestart) {
    EXPECT_EQ(Sent([&] { return DSP_SetCommand(connection, 255); }), Hex({0x02, 0x43, 0xFF}));
    EXPECT_EQ(Sent([&] { return DSP_SetCommand(connection, 300); }), Hex({0x02, 0x43, 0xFF}));
    EXPECT_EQ(Sent([&] { return DSP_SetCommand(connection, 14); }), Hex({0x02, 0x43, 0x3E}));
    EXPECT_EQ(Sent([&] { return DSP_SetCommand(connection, 0); }), Hex({0x02, 0x43, 0x30}));
    // Below 255 the sum is cut to a byte: 254 + 30 hex.
    EXPECT_EQ(Sent([&] { return DSP_SetCommand(connection, 254); }), Hex({0x02, 0x43, 0x2E}));
    EXPECT_EQ(Sent([&] { return DSP_SetBaudrate(connection, 0); }), Hex({0x02, 0x42, 0x30}));
    EXPECT_EQ(Sent([&] { return DSP_SetBaudrate(connection, 4); }), Hex({0x02, 0x42, 0x34}));
    EXPECT_EQ(Sent([&] { return DSP_SetCharset(connection, 255); }), Hex({0x02, 0x05, 0xFF}));
    EXPECT_EQ(Sent([&] { return DSP_SetCharset(connection, 3); }), Hex({0x02, 0x05, 0x03}));
    EXPECT_EQ(Sent([&] { return DSP_SetCharset(connection, 0x105); }), Hex({0x02, 0x05, 0x05}));
    EXPECT_EQ(Sent([&] { return DSP_SetCodepage(connection, 146); }), Hex({0x02, 0x06, 0x92}));
    EXPECT_EQ(Sent([&] { return DSP_SetCodepage(connection, -1); }), Hex({0x02, 0x06, 0xFF}));
    EXPECT_EQ(Sent([&] { return DSP_Restart(connection); }), Hex({0x02, 0x1D, 0xAA, 0x55}));
}

TEST(CommandFramesClosed, NothingIsSentWithoutAConnection) {
    PtyPair pty;
    TCommConnection connection; // never opened
    EXPECT_EQ(DSP_ClearScreen(connection), COMM_NOT_OPEN);
    EXPECT_EQ(DSP_DisplayText(connection, "A"), COMM_NOT_OPEN);
    EXPECT_EQ(DSP_SetWelMsg1(connection, "A"), COMM_NOT_OPEN);
    EXPECT_EQ(DSP_SetBrightness(connection, 2), COMM_NOT_OPEN);
    EXPECT_EQ(pty.ReadUntilQuiet(100ms, 1s), "");
}

TEST(BlockPadding, PadAndUnpad) {
    EXPECT_EQ(BlockPad(""), ByteString(16, '\x10'));
    EXPECT_EQ(BlockPad("ABC"), "ABC" + ByteString(13, '\x0D'));
    EXPECT_EQ(BlockPad(ByteString(15, 'a')), ByteString(15, 'a') + '\x01');
    EXPECT_EQ(BlockPad(ByteString(16, 'a')), ByteString(16, 'a') + ByteString(16, '\x10'));
    EXPECT_EQ(BlockPad(ByteString(17, 'a')).size(), 32u);

    const ByteString padded = BlockPad("0123456789abcdef");
    EXPECT_EQ(BlockUnpad(padded), "0123456789abcdef");
    // The removed bytes are not examined: only the last one counts.
    ByteString loose = "0123456789abcdef" + ByteString(15, 'x') + '\x10';
    EXPECT_EQ(BlockUnpad(loose), "0123456789abcdef");
    EXPECT_EQ(BlockUnpad(ByteString(31, 'x') + '\x20'), "");
    EXPECT_EQ(BlockUnpad(ByteString(31, 'x') + '\x0C'), ByteString(20, 'x'));
    EXPECT_EQ(BlockUnpad(ByteString(31, 'x') + '\x00'), ByteString(31, 'x') + '\x00');
    EXPECT_EQ(BlockUnpad(""), "");
    EXPECT_EQ(BlockUnpad(ByteString(1, '\x01')), "");
}

TEST(Challenge, AlphabetsAndLength) {
    const std::string all = RandomChallenge(2000, true, true, true);
    ASSERT_EQ(all.size(), 2000u);
    bool upper = false, lower = false, digit = false;
    for (char c : all) {
        upper |= c >= 'A' && c <= 'Z';
        lower |= c >= 'a' && c <= 'z';
        digit |= c >= '0' && c <= '9';
        ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
    }
    EXPECT_TRUE(upper && lower && digit);
    for (char c : RandomChallenge(200, false, false, true))
        EXPECT_TRUE(c >= '0' && c <= '9');
    for (char c : RandomChallenge(200, false, true, false))
        EXPECT_TRUE(c >= 'a' && c <= 'z');
    EXPECT_EQ(RandomChallenge(16, false, false, false), "");
    EXPECT_EQ(RandomChallenge(0, true, true, true), "");
    EXPECT_EQ(RandomChallenge(-3, true, true, true), "");
    EXPECT_NE(RandomChallenge(16, true, true, true), RandomChallenge(16, true, true, true));
}

} // namespace
