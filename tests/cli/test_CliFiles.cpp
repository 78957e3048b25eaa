// SPDX-License-Identifier: Apache-2.0
// `vylctl apply` and `vylctl save`: a settings file applied and saved again comes back byte for
// byte, over a change of the display's speed.

#include "CliTestSupport.h"
#include "TestSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(CliFiles, ApplyThenSaveGivesTheFileBack) {
    VirtualDisplayProcess display(DisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(display.Started()) << display.Stderr();
    TempDir dir;
    // The window's format with none of the display's start values: 38400 bit/s, line 2 still,
    // Russia with CP866 (its own letters in line 1), UTC/S, 25%.
    const std::string file = "{\r\n"
                             "    \"temp1\": 0,\r\n"
                             "    \"Baud_Rate\": 2,\r\n"
                             "    \"temp2\": 6,\r\n"
                             "    \"Char_No\": 12,\r\n"
                             "    \"Expand_Char_No\": 17,\r\n"
                             "    \"Comm_No\": 3,\r\n"
                             "    \"wel_mess1\": \"Привет\",\r\n"
                             "    \"wel_mess2\": \"Say \\\"hi\\\" back\\\\slash\",\r\n"
                             "    \"back_light\": 1\r\n"
                             "}";
    const std::string applied = dir.Path() + "/shop.ini";
    WriteFile(applied, file);

    const CliResult apply = RunCli(On(display, {"apply", applied}));
    ASSERT_EQ(apply.Status, 0) << apply.Stderr;
    const nlohmann::json document = ReadDocument(display, 38400);
    EXPECT_EQ(document["wel_mess1_hex"], "8F E0 A8 A2 A5 E2");

    // Saved under the name given, no extension added; an existing file is replaced whole.
    const std::string saved = dir.Path() + "/saved.settings";
    WriteFile(saved, std::string(4096, 'x'));
    const CliResult save = RunCli(On(display, {"save", saved}, 38400));
    ASSERT_EQ(save.Status, 0) << save.Stderr;
    EXPECT_EQ(FileBytes(saved), file);
    EXPECT_NE(save.Stderr.find("Save Settings File Success:" + saved), std::string::npos)
        << save.Stderr;
    EXPECT_EQ(FileBytes(saved + ".ini"), "<missing>");

    // A file of a few members changes only those; the rest stays as the display had it.
    const std::string part = dir.Path() + "/part.ini";
    WriteFile(part, R"({"Comm_No": 255, "wel_mess2": "second"})");
    const CliResult partial = RunCli(On(display, {"apply", part, "--quiet"}, 38400));
    ASSERT_EQ(partial.Status, 0) << partial.Stderr;
    EXPECT_EQ(partial.Stderr, "");
    nlohmann::json expected = document;
    expected["Comm_No"] = 255;
    expected["wel_mess2"] = "second";
    expected["wel_mess2_hex"] = "73 65 63 6F 6E 64";
    EXPECT_EQ(ReadDocument(display, 38400), expected);
}

// What `apply` and `set` send when they were given little, the display cannot be read, or the
// display goes away part-way: only the actions given, never a default for what was not, and
// what was already applied named on stderr, --quiet or not.
TEST(CliFiles, OnlyWhatWasGivenGoesOutAndAStopPartWayIsNamed) {
    struct TCase {
        const char* Name;
        std::vector<std::string> DisplayArgs;
        std::string File; // applied when not empty, else `Args` go to `set`
        std::vector<std::string> Args;
        std::vector<int> Status;                // any of them
        std::vector<std::string> SettingFrames; // the RX frames after the handshakes, by prefix
        std::string Stderr;                     // a part of it
    };
    const std::vector<TCase> cases = {
        // Unreadable (--no-answer) at 19200: no default 9600 for the speed the file lacks.
        {"two members, display unread",
         {"--baud", "19200", "--no-answer"},
         R"({"Comm_No": 2, "back_light": 1})",
         {"--force", "--quiet"},
         {6},
         {"02 43 32", "1F 58 01"},
         "not confirmed"},
        {"half the welcome, display unread",
         {"--baud", "19200", "--no-answer"},
         R"({"wel_mess1": "Hi"})",
         {"--force"},
         {7},
         {},
         "lacks wel_mess2, temp2 for the welcome"},
        // The display vanishes after the command frame (its read, then HS and the frame).
        {"set stopped part-way",
         {"--baud", "19200", "--hangup-after", "4"},
         "",
         // Gone at the next open (3), or lost during it (1), as the display's exit falls.
         {"command=AEDEX", "brightness=25%", "--quiet"},
         {1, 3},
         {"02 43 32"},
         "stopped part-way: applied: command; not applied: brightness"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        VirtualDisplayProcess display(DisplayProgram, c.DisplayArgs);
        ASSERT_TRUE(display.Started()) << display.Stderr();
        TempDir dir;
        std::vector<std::string> args = c.Args;
        if (!c.File.empty()) {
            WriteFile(dir.Path() + "/part.ini", c.File);
            args.insert(args.begin(), {"apply", dir.Path() + "/part.ini"});
        } else {
            args.insert(args.begin(), "set");
        }
        const CliResult run = RunCli(On(display, args, 19200));
        EXPECT_NE(std::find(c.Status.begin(), c.Status.end(), run.Status), c.Status.end())
            << run.Status << ": " << run.Stderr;
        EXPECT_TRUE(Contains(run.Stderr, c.Stderr)) << run.Stderr;
        std::vector<std::string> frames;
        for (const std::string& rx : display.TraceEvents("RX"))
            if (rx.rfind("02 07", 0) != 0) // not a handshake nor the settings request
                frames.push_back(rx.substr(0, 8));
        EXPECT_EQ(frames, c.SettingFrames);
        EXPECT_TRUE(display.TraceEvents("SPEED").empty());
    }
}
