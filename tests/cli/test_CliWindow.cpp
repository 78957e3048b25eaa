// SPDX-License-Identifier: Apache-2.0
// `vylctl save` writes what the window's Save Setting writes after a Get Setting of the same
// display, byte for byte, also where the window's rules change what the display reported.

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "CliProcess.h"
#include "TestSystem.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(CliWindow, SaveEqualsTheWindowsSaveAfterGetSetting) {
    TempDir dir;
    // A command mode and a character set of no row (the window stores 255), no brightness
    // level (0), high bits in temp2 with line 1 still (bit 0x04 set on capture), GBK text with
    // quotes, a backslash and a tab, and members the file does not hold.
    const std::string start = dir.Path() + "/start.json";
    std::ofstream(start, std::ios::binary)
        << R"({"Comm_No": 99, "Char_No": 19, "Expand_Char_No": 25, "back_light": 0,
             "temp2": 241, "temp1": 7, "wel_mess1": "中文 \"A\\B\"",
             "wel_mess2": "tab\there", "product_name": "RV-Save", "firmware_version": 9})";
    VirtualDisplayProcess display(VirtualDisplayProgram, {"--settings", start});
    ASSERT_TRUE(display.Started()) << display.Stderr();

    const std::string cli = dir.Path() + "/cli.ini";
    const CliResult run =
        RunCli({"--port", display.PortName(), "--baud", "9600", "save", cli, "--quiet"});
    ASSERT_EQ(run.Status, 0) << run.Stderr;
    EXPECT_EQ(run.Stderr, "");

    TDialogScript script;
    auto window = NewWindow();
    ASSERT_TRUE(ChoosePort(*window, display.PortName()));
    Press(*window, window->btn_GetSetting);
    const QString saved = QString::fromStdString(dir.Path() + "/window.ini");
    script.FileAnswers.push_back(saved);
    window->btn_savesettings->click();
    ASSERT_EQ(script.BoxTexts().size(), 2) << script.BoxTexts().join("|").toStdString();
    EXPECT_EQ(script.BoxTexts().back(), "Save Settings File Success:" + saved);

    const std::string bytes = ReadFileBytes(cli);
    EXPECT_EQ(bytes, ReadFileBytes(saved.toStdString()));
    for (const char* line :
         {"    \"temp1\": 0,\r\n", "    \"temp2\": 245,\r\n", "    \"Char_No\": 255,\r\n",
          "    \"Comm_No\": 255,\r\n", "    \"wel_mess1\": \"中文 \\\"A\\\\B\\\"\",\r\n",
          "    \"wel_mess2\": \"tab\\there\",\r\n", "    \"back_light\": 0\r\n"})
        EXPECT_NE(bytes.find(line), std::string::npos) << line << "\n" << bytes;
}
