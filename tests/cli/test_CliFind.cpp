// SPDX-License-Identifier: Apache-2.0
// vylctl without a speed: `find` and every other command find the display's speed first, say
// who answered, and tell a port that does not open from a display that does not answer.

#include "CliTestSupport.h"
#include "TestSystem.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct FindCase {
    const char* Name;
    std::vector<std::string> DisplayArgs; // empty: no display; the port does not exist
    std::vector<std::string> Args;        // after --port
    int Status;
    std::string Stdout;                // "PORT" stands for the display's port name
    std::vector<std::string> Messages; // on standard error
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.Name;
}

class CliFind : public testing::TestWithParam<FindCase> {};

std::string Replaced(std::string text, const std::string& port) {
    for (std::size_t at = text.find("PORT"); at != std::string::npos; at = text.find("PORT", at))
        text.replace(at, 4, port);
    return text;
}

} // namespace

TEST_P(CliFind, SpeedFoundOrWhyNot) {
    const FindCase& c = GetParam();
    std::unique_ptr<VirtualDisplayProcess> display;
    std::string port = "VylNoSuchPort-" + std::to_string(getpid());
    if (!c.DisplayArgs.empty()) {
        display = std::make_unique<VirtualDisplayProcess>(DisplayProgram, c.DisplayArgs);
        ASSERT_TRUE(display->Started()) << display->Stderr();
        port = display->PortName();
    }
    // A display that answers is read before and after.
    const bool answers = display && c.Status == 0;
    const nlohmann::json before =
        answers ? ReadDocument(*display, std::stoi(c.DisplayArgs[1])) : nlohmann::json();
    std::vector<std::string> args{"--port", port};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const CliResult run = RunCli(args);
    EXPECT_EQ(run.Status, c.Status) << run.Stderr;
    if (c.Stdout != "*") {
        EXPECT_EQ(run.Stdout, Replaced(c.Stdout, port)) << run.Stderr;
    }
    for (const std::string& message : c.Messages)
        EXPECT_TRUE(Contains(run.Stderr, Replaced(message, port))) << "missing: " << message << "\n"
                                                                   << run.Stderr;
    // Whatever the search sent at the wrong speeds changed nothing, the speed included.
    if (answers) {
        EXPECT_EQ(ReadDocument(*display, std::stoi(c.DisplayArgs[1])), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Searches, CliFind,
    testing::Values(
        FindCase{"javapos_at_38400",
                 {"--baud", "38400", "--model", "Shop Display", "--firmware", "12"},
                 {"find"},
                 0,
                 "PORT\t38400\tShop Display\t12\tjavapos\n",
                 {"searching PORT for the display, 9600 bit/s first", "Stray characters"}},
        FindCase{"standard_only_as_json",
                 {"--baud", "19200", "--no-jpos"},
                 {"find", "--json", "--baud", "19200"},
                 0,
                 "[\n    {\"port\": \"PORT\", \"baud\": 19200, \"model\": \"VYL Virtual Display\", "
                 "\"firmware\": 1, \"handshake\": \"standard\", \"javapos\": false}\n]\n",
                 {"19200 bit/s first"}},
        // Every other command finds the speed first when none is given.
        FindCase{"get_without_a_speed", {"--baud", "115200"}, {"get", "--quiet"}, 0, "*", {}},
        FindCase{"silent_display",
                 {"--baud", "9600", "--no-answer"},
                 {"find"},
                 4,
                 "",
                 {"No display was found.",
                  "PORT: tried 9600, 19200, 38400, 57600, 115200 bit/s; nothing answered.",
                  "no display answered"}},
        FindCase{"missing_port",
                 {},
                 {"clear"},
                 3,
                 "",
                 {"SerialPort Open Failed: PORT", "No such file or directory"}}),
    [](const testing::TestParamInfo<FindCase>& info) { return std::string(info.param.Name); });
