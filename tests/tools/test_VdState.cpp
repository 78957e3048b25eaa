// SPDX-License-Identifier: Apache-2.0
// The virtual display's state: what each frame does to its settings and screen, and the
// settings document it reports.
#include "VdState.h"
#include "untSystemInfo.h"
#include "untUtf16.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

ByteString Hex(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

Frame F(FrameKind kind, ByteString bytes) {
    return Frame{kind, std::move(bytes)};
}

TSystemInfo Defaults() {
    TSystemInfo d;
    ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()), d);
    return d;
}

nlohmann::ordered_json Doc(const DisplayState& s) {
    return nlohmann::ordered_json::parse(s.SettingsDocument());
}

TEST(DisplayState, StartsWithTheWelcomeLinesAndReportsTheDefaultKeysInOrder) {
    DisplayState s(Defaults());
    EXPECT_EQ(s.Screen()[0], "***  VYL DISPLAY ***");
    EXPECT_EQ(s.Screen()[1], "**HAVE A NICE DAY AN");
    EXPECT_TRUE(s.Scrolling());
    EXPECT_EQ(s.LineSpeed(), 9600);
    EXPECT_EQ(s.CodePage(), 437);

    const auto doc = Doc(s);
    const auto reference = nlohmann::ordered_json::parse(GetDefaultSettingsJson());
    std::vector<std::string> keys, referenceKeys;
    for (auto& [k, v] : doc.items())
        keys.push_back(k);
    for (auto& [k, v] : reference.items())
        referenceKeys.push_back(k);
    EXPECT_EQ(keys, referenceKeys);
    EXPECT_EQ(doc["Comm_No"], 255);
    EXPECT_EQ(doc["back_light"], 3);
    EXPECT_EQ(doc["wel_mess1"], "***  VYL DISPLAY ***");
    EXPECT_EQ(doc["wel_mess2"], "**HAVE A NICE DAY AND THANK YOU**");
    EXPECT_EQ(doc["wel_mess1_hex"].get<std::string>().substr(0, 8), "2A 2A 2A");
}

TEST(DisplayState, SettingFramesChangeTheDocument) {
    DisplayState s(Defaults());
    EXPECT_TRUE(s.Apply(F(FrameKind::Brightness, Hex({0x1F, 0x58, 0x02}))).Applied);
    EXPECT_TRUE(s.Apply(F(FrameKind::Charset, Hex({0x02, 0x05, 0x03}))).Applied);
    EXPECT_TRUE(s.Apply(F(FrameKind::Codepage, Hex({0x02, 0x06, 17}))).Applied); // CP866
    EXPECT_TRUE(s.Apply(F(FrameKind::Command, Hex({0x02, 0x43, 0x3E}))).Applied);
    EXPECT_TRUE(s.Apply(F(FrameKind::Baud, Hex({0x02, 0x42, 0x32}))).Applied);
    EXPECT_TRUE(
        s.Apply(F(FrameKind::Welcome1, Hex({0x02, 0x07, 0x16, 0x06, 0x80, 'b', 0}))).Applied);
    EXPECT_TRUE(s.Apply(F(FrameKind::Welcome2, Hex({0x02, 0x07, 0x16, 0x07, 'Z', 0}))).Applied);
    EXPECT_TRUE(s.Apply(F(FrameKind::Scroll, Hex({0x02, 0x07, 0x16, 0x09, 0x06}))).Applied);

    auto doc = Doc(s);
    EXPECT_EQ(doc["back_light"], 2);
    EXPECT_EQ(doc["Char_No"], 3);
    EXPECT_EQ(doc["Expand_Char_No"], 17);
    EXPECT_EQ(doc["Comm_No"], 14);
    EXPECT_EQ(doc["Baud_Rate"], 2);
    EXPECT_EQ(s.LineSpeed(), 38400);
    EXPECT_EQ(s.CodePage(), 866);
    // Code page 866 has CYRILLIC CAPITAL LETTER A at 80 hex.
    EXPECT_EQ(doc["wel_mess1"], "\xD0\x90"
                                "b");
    EXPECT_EQ(doc["wel_mess1_hex"], "80 62");
    EXPECT_EQ(doc["wel_mess2"], "Z");
    EXPECT_EQ(doc["temp2"], 0x02);

    EXPECT_TRUE(s.Apply(F(FrameKind::Command, Hex({0x02, 0x43, 0xFF}))).Applied);
    EXPECT_TRUE(s.Apply(F(FrameKind::Scroll, Hex({0x02, 0x07, 0x16, 0x09, 0x04}))).Applied);
    doc = Doc(s);
    EXPECT_EQ(doc["Comm_No"], 255);
    EXPECT_EQ(doc["temp2"], 0);
}

TEST(DisplayState, ValuesTheDisplayDoesNotHaveAreNotApplied) {
    DisplayState s(Defaults());
    const std::string before = s.SettingsDocument();
    EXPECT_FALSE(s.Apply(F(FrameKind::Brightness, Hex({0x1F, 0x58, 0x00}))).Applied);
    EXPECT_FALSE(s.Apply(F(FrameKind::Brightness, Hex({0x1F, 0x58, 0x05}))).Applied);
    EXPECT_FALSE(s.Apply(F(FrameKind::Baud, Hex({0x02, 0x42, 0x35}))).Applied);
    EXPECT_FALSE(s.Apply(F(FrameKind::Command, Hex({0x02, 0x43, 0x3F}))).Applied);
    EXPECT_FALSE(s.Apply(F(FrameKind::Codepage, Hex({0x02, 0x06, 0xFE}))).Applied);
    EXPECT_FALSE(s.Apply(F(FrameKind::Scroll, Hex({0x02, 0x07, 0x16, 0x09, 0x05}))).Applied);
    EXPECT_FALSE(s.Apply(F(FrameKind::Unknown, Hex({0x02, 0x99}))).Applied);
    EXPECT_EQ(s.SettingsDocument(), before);
}

TEST(DisplayState, ScreenTextCursorClearAndRestart) {
    DisplayState s(Defaults());
    s.Apply(F(FrameKind::Clear, Hex({0x0C})));
    EXPECT_EQ(s.Screen()[0], std::string(20, ' '));
    EXPECT_FALSE(s.Scrolling());
    s.Apply(F(FrameKind::Cursor, Hex({0x1F, 0x24, 0x05, 0x02, 'A', 'B'})));
    EXPECT_EQ(s.Screen()[1], "    AB              ");
    EXPECT_EQ(s.CursorRow(), 1);
    EXPECT_EQ(s.CursorColumn(), 6);
    // Text runs on past the end of line 2 to the start of line 1; control bytes are no glyphs.
    s.Apply(F(FrameKind::Cursor, Hex({0x1F, 0x24, 19, 2, 'x', 'y', 0x0D, 'z'})));
    EXPECT_EQ(s.Screen()[1].substr(18), "xy");
    EXPECT_EQ(s.Screen()[0].substr(0, 2), "z ");
    s.Apply(F(FrameKind::Home, Hex({0x0B})));
    s.Apply(F(FrameKind::Text, "Q"));
    EXPECT_EQ(s.Screen()[0][0], 'Q');
    EXPECT_FALSE(s.Apply(F(FrameKind::Cursor, Hex({0x1F, 0x24, 21, 1}))).Applied);

    s.Apply(F(FrameKind::Welcome1, Hex({0x02, 0x07, 0x16, 0x06, 'O', 'N', 'E', 0})));
    EXPECT_EQ(s.Screen()[0][0], 'Q'); // stored, shown at the next restart
    s.Apply(F(FrameKind::Restart, Hex({0x02, 0x1D, 0xAA, 0x55})));
    EXPECT_EQ(s.Screen()[0], "ONE                 ");
    EXPECT_EQ(s.CursorRow(), 0);
    EXPECT_EQ(s.CursorColumn(), 0);
    // Line 2 scrolls while the welcome lines are up.
    const std::string line2 = s.Screen()[1];
    s.ScrollStep();
    EXPECT_EQ(s.Screen()[1], line2.substr(1) + "D");
    EXPECT_EQ(s.LineText(0), u"ONE                 ");
}

TEST(DisplayState, StartSettingsFromHexFields) {
    TSystemInfo start = Defaults();
    start.wel_mess1_hex = "41 00 42";
    start.Expand_Char_No = 17;
    DisplayState s(start);
    EXPECT_EQ(Doc(s)["wel_mess1_hex"], "41"); // a 00 could never have reached the display
    EXPECT_EQ(s.CodePage(), 866);
}

} // namespace
