// SPDX-License-Identifier: Apache-2.0
// What vylctl tells a script: the exit status and message of each kind of failure, the
// messages in Chinese, Ctrl-C during an action, and the frames of the test page's commands.

#include "CliTestSupport.h"
#include "DisplayTrace.h"
#include "TestSystem.h"
#include "untHex.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

struct OutcomeCase {
    const char* Name;
    std::vector<std::string> DisplayArgs;   // empty: no display; the port does not exist
    std::vector<std::string> Args;          // after --port/--baud; "@" stands for a file path
    std::optional<std::string> FileContent; // written to the "@" path; none: no file there
    int Status;
    std::vector<std::string> Messages; // on standard error
    bool SettingFramesSent;            // false: the display saw no setting frame
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.Name;
}

class CliOutcome : public testing::TestWithParam<OutcomeCase> {};

const std::string NoSuchPort = "VylNoSuchPort-" + std::to_string(getpid());

} // namespace

TEST_P(CliOutcome, ExitStatusAndMessage) {
    const OutcomeCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.Path() + "/settings.ini";
    if (c.FileContent)
        WriteFile(file, *c.FileContent);
    std::vector<std::string> args;
    for (const std::string& arg : c.Args)
        args.push_back(arg == "@" ? file : arg == "@dir" ? dir.Path() : arg);

    std::unique_ptr<VirtualDisplayProcess> display;
    if (!c.DisplayArgs.empty()) {
        display = std::make_unique<VirtualDisplayProcess>(DisplayProgram, c.DisplayArgs);
        ASSERT_TRUE(display->Started()) << display->Stderr();
        args = On(*display, args);
    } else {
        args.insert(args.begin(), {"--port", NoSuchPort});
    }
    const CliResult run = RunCli(args);
    EXPECT_EQ(run.Status, c.Status) << run.Stderr;
    for (const std::string& message : c.Messages)
        EXPECT_TRUE(Contains(run.Stderr, message)) << "missing: " << message << "\n" << run.Stderr;
    EXPECT_EQ(run.Stdout, "");
    if (display && !c.SettingFramesSent) {
        for (const std::string& frame : display->TraceEvents("RX"))
            EXPECT_FALSE(frame.rfind("1F 58", 0) == 0 || frame.rfind("02 07 16 06", 0) == 0)
                << "a setting frame went out: " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CliOutcome,
    testing::Values(
        // Usage (the words alone are CliArguments' cases): nothing is opened.
        OutcomeCase{"bad_brightness",
                    {},
                    {"set", "brightness=30"},
                    std::nullopt,
                    2,
                    {"'30' for brightness", "25%, 50%, 75%, 100%"},
                    false},
        OutcomeCase{"line1_over_20",
                    {},
                    {"set", "line1=123456789012345678901"},
                    std::nullopt,
                    2,
                    {"line1 has 21 characters; at most 20"},
                    false},
        OutcomeCase{
            "unknown_pattern", {}, {"pattern", "20-30"}, std::nullopt, 2, {"'20-30'"}, false},
        // The port.
        OutcomeCase{
            "missing_port",
            {},
            {"get"},
            std::nullopt,
            3,
            {"SerialPort Open Failed: " + NoSuchPort, "No such file or directory", "vylctl ports"},
            false},
        // The display.
        OutcomeCase{"silent_display",
                    {"--no-answer"},
                    {"set", "brightness=50"},
                    std::nullopt,
                    4,
                    {"Get Settings Error!", "no display answered"},
                    false},
        OutcomeCase{"handshake_fails",
                    {"--wrong-key", "--require-handshake"},
                    {"set", "brightness=50"},
                    std::nullopt,
                    4,
                    {"The customer display handshake failed", "no display answered"},
                    false},
        OutcomeCase{"garbage_answer",
                    {"--garbage"},
                    {"get"},
                    std::nullopt,
                    5,
                    {"something unusable"},
                    false},
        // Sent anyway, ignored by the display: the read-back says so.
        OutcomeCase{"not_confirmed",
                    {"--wrong-key", "--require-handshake"},
                    {"set", "brightness=50", "--force"},
                    std::nullopt,
                    6,
                    {"--force", "not confirmed: brightness reads 75%, not 50%"},
                    true},
        // Files: nothing is sent when the file is no settings file.
        OutcomeCase{"unreadable_file",
                    {"--require-handshake"},
                    {"apply", "@"},
                    std::nullopt,
                    7,
                    {"settings.ini"},
                    false},
        OutcomeCase{"folder_for_a_file",
                    {"--require-handshake"},
                    {"apply", "@dir"},
                    std::nullopt,
                    7,
                    {"Load Settings Error!", "not a regular file"},
                    false},
        OutcomeCase{"empty_file",
                    {"--require-handshake"},
                    {"apply", "@"},
                    std::string(),
                    7,
                    {"Load Settings Error!"},
                    false},
        OutcomeCase{"blank_file",
                    {"--require-handshake"},
                    {"apply", "@"},
                    " ",
                    7,
                    {"Explain Settings Error: Parsing failed!"},
                    false},
        OutcomeCase{"value_of_no_list",
                    {"--require-handshake"},
                    {"apply", "@"},
                    R"({"Comm_No": 99})",
                    7,
                    {"Comm_No (99) is none of the list"},
                    false},
        OutcomeCase{"unwritable_file",
                    {"--require-handshake"},
                    {"save", "@dir"},
                    std::nullopt,
                    7,
                    {},
                    false}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.Name); });

TEST(CliOutcome, MessagesInChineseWhenTheSystemIsChinese) {
    VirtualDisplayProcess display(DisplayProgram, {"--wrong-key", "--require-handshake"});
    ASSERT_TRUE(display.Started()) << display.Stderr();
    const CliResult get = RunCli(On(display, {"get"}), {"LC_ALL=zh_CN.UTF-8"});
    EXPECT_EQ(get.Status, 0) << get.Stderr;
    EXPECT_EQ(get.Stdout, "型号： VYL Virtual Display\n固件版本： 1\n波特率： 9600\n"
                          "指令集： AUTO\n国家： USA\n代码页： CP437\n");
    const CliResult set = RunCli(On(display, {"set", "scroll=off"}), {"LC_ALL=zh_CN.UTF-8"});
    EXPECT_EQ(set.Status, 4);
    EXPECT_TRUE(Contains(set.Stderr, "客显握手失败，可能有以下原因：\n\n1.串口号不正确"))
        << set.Stderr;
    EXPECT_TRUE(Contains(set.Stderr, "没有客显应答")) << set.Stderr;
    // zh_TW stays English, as the window does.
    const CliResult english = RunCli(On(display, {"set", "scroll=off"}), {"LC_ALL=zh_TW.UTF-8"});
    EXPECT_TRUE(Contains(english.Stderr, "no display answered")) << english.Stderr;
}

TEST(CliOutcome, CtrlCEndsTheActionAndReleasesThePort) {
    TempDir dir;
    {
        // In the pause after welcome line 1: line 2 never goes out.
        VirtualDisplayProcess display(DisplayProgram, {});
        ASSERT_TRUE(display.Started()) << display.Stderr();
        CliProcess run(On(display, {"set", "line1=Interrupted"}));
        display.WaitForEvents("RX", 4, std::chrono::seconds(20)); // HSJ, request, HS, line 1
        run.Signal(SIGINT);
        const CliResult result = run.Wait(std::chrono::seconds(20));
        EXPECT_EQ(result.Signal, 0);
        EXPECT_EQ(result.Status, 130) << result.Stderr;
        EXPECT_TRUE(Contains(result.Stderr, "interrupted")) << result.Stderr;
        for (const std::string& frame : display.TraceEvents("RX"))
            EXPECT_NE(frame.rfind("02 07 16 07", 0), 0u) << "line 2 went out";
        // The port is free again at once.
        EXPECT_EQ(RunCli(On(display, {"get"})).Status, 0);
    }
    {
        // While the settings are read: the file is not written, the old one stays.
        VirtualDisplayProcess display(DisplayProgram, {"--reply-delay", "8000"});
        ASSERT_TRUE(display.Started()) << display.Stderr();
        const std::string file = dir.Path() + "/kept.ini";
        WriteFile(file, "old");
        CliProcess run(On(display, {"save", file}));
        display.WaitForEvents("RX", 1, std::chrono::seconds(20));
        run.Signal(SIGTERM);
        const CliResult result = run.Wait(std::chrono::seconds(20));
        EXPECT_EQ(result.Status, 128 + SIGTERM) << result.Stderr;
        EXPECT_EQ(FileBytes(file), "old");
    }
}

TEST(CliOutcome, TestPageCommandsSendTheWindowsFrames) {
    VirtualDisplayProcess display(DisplayProgram, {"--codepage", "17"}); // CP866
    ASSERT_TRUE(display.Started()) << display.Stderr();
    const std::vector<std::vector<std::string>> runs = {
        {"text", "--row", "2", "--column", "5", "--codepage", "WCP1251", "Да"},
        {"text", "--column", "3", "Ё"}, // the display's code page, read first
        {"text", "--codepage", "CP437", "--", "-5.00"},
        {"clear"},
        {"restart"},
        {"pattern", "a0-bf"},
    };
    for (const auto& args : runs) {
        const CliResult run = RunCli(On(display, args));
        EXPECT_EQ(run.Status, 0) << args.front() << ": " << run.Stderr;
    }
    const auto connections = Connections(display, 7); // one read before the second text
    ASSERT_EQ(connections.size(), 7u);
    using Frames = std::vector<std::string>;
    EXPECT_EQ(connections[0], (Frames{"1F 24 05 02 C4 E0"}));
    EXPECT_EQ(connections[1].back(), "02 07 16 05"); // the settings request
    EXPECT_EQ(connections[2], (Frames{"1F 24 03 01 F0"}));
    EXPECT_EQ(connections[3], (Frames{"2D 35 2E 30 30"}));
    EXPECT_EQ(connections[4], (Frames{"0C"}));
    EXPECT_EQ(connections[5], (Frames{"02 1D AA 55"}));
    // The pattern's first byte moves the cursor home; the codes follow as text.
    EXPECT_EQ(
        connections[6],
        (Frames{"0B", BytesToSpacedHex(HexBytes("A0A1A2A3A4A5A6A7A8A9AAABACADAEAF20202020"
                                                "B0B1B2B3B4B5B6B7B8B9BABBBCBDBEBF20202020"))}));
}

TEST(CliOutcome, PortsListsTheVirtualDisplay) {
    VirtualDisplayProcess display(DisplayProgram, {});
    ASSERT_TRUE(display.Started()) << display.Stderr();
    const CliResult run = RunCli({"ports"});
    EXPECT_EQ(run.Status, 0) << run.Stderr;
    EXPECT_TRUE(Contains(run.Stdout,
                         display.PortName() + "\t" + display.DevicePath() + "\t-\tvirtual\t-\t-\n"))
        << run.Stdout;
    const CliResult json = RunCli({"ports", "--json"});
    const nlohmann::json ports = nlohmann::json::parse(json.Stdout, nullptr, false);
    ASSERT_TRUE(ports.is_array()) << json.Stdout;
    bool listed = false;
    for (const auto& port : ports)
        listed = listed || (port["name"] == display.PortName() && port["virtual"] == true &&
                            port["device"] == display.DevicePath());
    EXPECT_TRUE(listed) << json.Stdout;
    // A device path opens like a name.
    EXPECT_EQ(RunCli({"--port", display.DevicePath(), "--baud", "9600", "clear"}).Status, 0);
}
