// SPDX-License-Identifier: Apache-2.0
// `vylctl set` of each setting, read back with `vylctl get --json`: the members it changes, and
// every other member of the display's document left as it was.

#include "CliTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct SetCase {
    const char* Name;
    std::vector<std::string> Settings;
    int BaudAfter;              // the speed the display listens at afterwards
    const char* ChangedMembers; // JSON object: the document's members that change
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.Name;
}

class CliSet : public testing::TestWithParam<SetCase> {};

} // namespace

TEST_P(CliSet, ReadsBackWhatWasSetAndLeavesTheRest) {
    const SetCase& c = GetParam();
    VirtualDisplayProcess display(DisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(display.Started()) << display.Stderr();
    const nlohmann::json before = ReadDocument(display);
    ASSERT_TRUE(before.is_object());

    std::vector<std::string> args{"set"};
    args.insert(args.end(), c.Settings.begin(), c.Settings.end());
    const CliResult run = RunCli(On(display, args));
    EXPECT_EQ(run.Status, 0) << run.Stderr;
    EXPECT_EQ(run.Stdout, "");

    nlohmann::json expected = before;
    const nlohmann::json changed = nlohmann::json::parse(c.ChangedMembers);
    for (const auto& [key, value] : changed.items())
        expected[key] = value;
    EXPECT_EQ(ReadDocument(display, c.BaudAfter), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EachSetting, CliSet,
    testing::Values(
        SetCase{"command", {"command=AEDEX"}, 9600, R"({"Comm_No": 2})"},
        SetCase{"command_auto_any_case", {"command= auto "}, 9600, R"({"Comm_No": 255})"},
        SetCase{"baud", {"baud=19200"}, 19200, R"({"Baud_Rate": 1})"},
        SetCase{"brightness", {"brightness=25%"}, 9600, R"({"back_light": 1})"},
        SetCase{"brightness_without_percent", {"brightness=100"}, 9600, R"({"back_light": 4})"},
        // Line 2 is sent as the display had it.
        SetCase{"line1",
                {"line1=Hello"},
                9600,
                R"({"wel_mess1": "Hello", "wel_mess1_hex": "48 65 6C 6C 6F"})"},
        SetCase{"line2",
                {"line2=Thank you, come again"},
                9600,
                R"({"wel_mess2": "Thank you, come again", "wel_mess2_hex":
                    "54 68 61 6E 6B 20 79 6F 75 2C 20 63 6F 6D 65 20 61 67 61 69 6E"})"},
        SetCase{"scroll", {"scroll=off"}, 9600, R"({"temp2": 2})"},
        // The character set alone keeps the display's code page, and the other way round.
        // A character set brings its own code page (Russia: CP866), unless one is given.
        SetCase{"charset", {"charset=Russia"}, 9600, R"({"Char_No": 12, "Expand_Char_No": 17})"},
        SetCase{"charset_by_chinese_name",
                {"charset=俄罗斯", "codepage=CP437"},
                9600,
                R"({"Char_No": 12})"},
        SetCase{"codepage", {"codepage=cp866"}, 9600, R"({"Expand_Char_No": 17})"},
        // A line given with a code page is converted into it.
        SetCase{"line_in_its_codepage",
                {"codepage=CP936_GBK", "line1=中文 OK"},
                9600,
                R"({"Expand_Char_No": 25, "wel_mess1": "中文 OK",
                    "wel_mess1_hex": "D6 D0 CE C4 20 4F 4B"})"},
        // Everything at once: the speed last, the read-back at the new speed.
        SetCase{"all",
                {"baud=115200", "command=PD3000", "brightness=50", "line1=A", "line2=B",
                 "scroll=off", "charset=USA", "codepage=WCP1252"},
                115200,
                R"({"Baud_Rate": 4, "Comm_No": 13, "back_light": 2, "wel_mess1": "A",
                    "wel_mess1_hex": "41", "wel_mess2": "B", "wel_mess2_hex": "42",
                    "temp2": 2, "Expand_Char_No": 16})"}),
    [](const testing::TestParamInfo<SetCase>& info) { return std::string(info.param.Name); });
