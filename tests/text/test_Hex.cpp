// SPDX-License-Identifier: Apache-2.0
#include "untHex.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Hex, BytesToHexForms) {
    const ByteString bytes = "\x00\xAB\x0F"s;
    EXPECT_EQ(BytesToSpacedHex(bytes), "00 AB 0F");
    EXPECT_EQ(BytesToHex(bytes), "00AB0F");
    EXPECT_EQ(BytesToSpacedHex(""), "");
    EXPECT_EQ(BytesToHex(""), "");
    EXPECT_EQ(BytesToSpacedHex("\xFF"s), "FF");
    EXPECT_EQ(BytesToSpacedHex(ByteString(20, '\x7E')).size(), 59u);

    ByteString all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string hex = BytesToHex(all);
    EXPECT_EQ(hex.substr(0, 8), "00010203");
    EXPECT_EQ(hex.substr(hex.size() - 8), "FCFDFEFF");
    EXPECT_EQ(HexToBytes(hex), all); // round trip through every byte value
    EXPECT_EQ(HexTextToBytes(BytesToSpacedHex(all)), all);
}

TEST(Hex, HexToIntIsStrict) {
    EXPECT_EQ(HexToInt(""), 0u);
    EXPECT_EQ(HexToInt("7f"), 0x7Fu);
    EXPECT_EQ(HexToInt("DEADbeef"), 0xDEADBEEFu);
    for (const char* bad : {"G", "1 ", " 1", "0x1", "-1", "1g"}) {
        try {
            HexToInt(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EHexError& e) {
            EXPECT_STREQ(e.what(), "Error: not a Hex String");
        }
    }
}

TEST(Hex, HexToBytesTakesPairsFromTheStart) {
    EXPECT_EQ(HexToBytes("0A1B"), "\x0A\x1B"s);
    EXPECT_EQ(HexToBytes("0a1B"), "\x0A\x1B"s);
    EXPECT_EQ(HexToBytes("ABC"), "\xAB\x0C"s);
    EXPECT_EQ(HexToBytes("00"), "\x00"s);
    EXPECT_EQ(HexToBytes(""), ""s);
    EXPECT_THROW(HexToBytes("0A 1B"), EHexError);
    EXPECT_THROW(HexToBytes("0A1Z"), EHexError); // late fault: no partial result
    EXPECT_THROW(HexToBytes("0A\n"), EHexError);
}

TEST(Hex, HexTextToBytesIsLenient) {
    EXPECT_EQ(HexTextToBytes("0A1B"), "\x0A\x1B"s);
    EXPECT_EQ(HexTextToBytes("0A 1B"), "\x0A\x1B"s);
    EXPECT_EQ(HexTextToBytes("1 23 4"), "\x01\x23\x04"s);
    EXPECT_EQ(HexTextToBytes("123"), "\x12\x03"s);
    EXPECT_EQ(HexTextToBytes("0x1F"), "\x00\x1F"s);
    EXPECT_EQ(HexTextToBytes("  41 \t 42  "), "\x41\x42"s);
    EXPECT_EQ(HexTextToBytes("no digits here!"), "\x0D\x0E\x0E"s); // d, e, e
    EXPECT_EQ(HexTextToBytes("xyz -- ++"), ""s);
    EXPECT_EQ(HexTextToBytes(""), ""s);
    EXPECT_EQ(HexTextToBytes("f"), "\x0F"s);
    // A lone digit swallows the separator after it, so the next pair starts on the next digit.
    EXPECT_EQ(HexTextToBytes("1,2,3"), "\x01\x02\x03"s);
    EXPECT_EQ(HexTextToBytes("1,23,,4"), "\x01\x23\x04"s);
}

TEST(Hex, Bits) {
    EXPECT_EQ(GetBit(0x02, 2), 1);
    EXPECT_EQ(GetBit(0x02, 1), 0);
    EXPECT_EQ(GetBit(0x80, 8), 1);
    EXPECT_EQ(GetBit(0x7F, 8), 0);

    std::uint8_t value = 0;
    SetBit(value, 3, true);
    EXPECT_EQ(value, 0x04);
    SetBit(value, 8, true);
    EXPECT_EQ(value, 0x84);
    SetBit(value, 3, false);
    EXPECT_EQ(value, 0x80);
    value = 0xFF;
    SetBit(value, 1, false);
    EXPECT_EQ(value, 0xFE);
    SetBit(value, 1, true);
    EXPECT_EQ(value, 0xFF);
    // Bit numbers outside 1..8 touch nothing.
    SetBit(value, 0, false);
    SetBit(value, 9, false);
    EXPECT_EQ(value, 0xFF);
    EXPECT_EQ(GetBit(0xFF, 0), 0);
}
