// SPDX-License-Identifier: Apache-2.0
// `vylctl apply` and `vylctl save`: a settings file applied and saved again comes back byte for
// byte, over a change of the display's speed.

#include "CliTestSupport.h"
#include "TestSystem.h"

#include <gtest/gtest.h>

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
