// SPDX-License-Identifier: Apache-2.0
// The virtual display's options and its starting settings.
#include "VdOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

VdParsed Parse(std::vector<std::string> args) {
    return ParseVdOptions(args);
}

TEST(VdOptions, ValuesFlagsAndDefaults) {
    auto p = Parse({});
    ASSERT_EQ(p.What, VdParsed::Outcome::Run);
    EXPECT_EQ(p.Options.Port, "DemoDisplay");
    EXPECT_TRUE(p.Options.Jpos);
    EXPECT_EQ(p.Options.HangupAfter, 0);
    EXPECT_EQ(p.Options.Device, VdDevice::Display);

    p = Parse({"--port",
               "Desk_2",
               "--baud=19200",
               "--no-jpos",
               "--reply-delay",
               "300",
               "--read-delay",
               "250",
               "--trace",
               "/tmp/t",
               "--wrong-key",
               "--hangup-after",
               "3",
               "--require-handshake",
               "--model",
               "RV310",
               "--firmware",
               "7",
               "--garbage",
               "--no-terminator",
               "--no-answer",
               "--codepage",
               "17",
               "--brightness",
               "4"});
    ASSERT_EQ(p.What, VdParsed::Outcome::Run) << p.Error;
    const VdOptions& o = p.Options;
    EXPECT_EQ(o.Port, "Desk_2");
    EXPECT_EQ(o.Baud, 19200);
    EXPECT_FALSE(o.Jpos);
    EXPECT_EQ(o.ReplyDelayMs, 300);
    EXPECT_EQ(o.ReadDelayMs, 250);
    EXPECT_EQ(o.TraceFile, "/tmp/t");
    EXPECT_TRUE(o.WrongKey && o.Garbage && o.NoTerminator && o.NoAnswer && o.RequireHandshake);
    EXPECT_EQ(o.HangupAfter, 3);
    EXPECT_EQ(o.Model, "RV310");
    EXPECT_EQ(o.Firmware, 7);
    EXPECT_EQ(o.Codepage, 17);
    EXPECT_EQ(o.Brightness, 4);

    const std::pair<const char*, VdDevice> devices[] = {
        {"--echo", VdDevice::Echo},
        {"--stream", VdDevice::Stream},
        {"--receipt-printer", VdDevice::ReceiptPrinter}};
    for (const auto& [option, device] : devices) {
        p = Parse({option, "--baud", "19200", option});
        ASSERT_EQ(p.What, VdParsed::Outcome::Run) << option << ": " << p.Error;
        EXPECT_EQ(p.Options.Device, device) << option;
        EXPECT_EQ(p.Options.Baud, 19200) << option;
    }

    EXPECT_EQ(Parse({"--port", "x", "--help"}).What, VdParsed::Outcome::Help);
}

TEST(VdOptions, BadOptionsAreNamed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frobnicate"}, "--frobnicate"},
        {{"--port"}, "needs a value"},
        {{"--port", "../etc"}, "--port"},
        {{"--port", ""}, "--port"},
        {{"--baud", "fast"}, "--baud"},
        {{"--brightness", "5"}, "--brightness"},
        {{"--reply-delay", "-1"}, "--reply-delay"},
        {{"--read-delay", "x"}, "--read-delay"},
        {{"--hangup-after", "0"}, "--hangup-after"},
        {{"--firmware", "256"}, "--firmware"},
        {{"--quiet=yes"}, "takes no value"},
        {{"--echo=1"}, "takes no value"},
        {{"--echo", "--stream"}, "exclude each other"},
        {{"--receipt-printer", "--echo"}, "exclude each other"},
    };
    for (const auto& [args, mention] : cases) {
        const auto p = Parse(args);
        EXPECT_EQ(p.What, VdParsed::Outcome::Error) << args[0];
        EXPECT_NE(p.Error.find(mention), std::string::npos) << p.Error;
    }
}

TEST(VdOptions, StartSettingsFromDefaultsFileAndOptions) {
    TSystemInfo s;
    std::string error;
    VdOptions o;
    ASSERT_TRUE(BuildStartSettings(o, s, error)) << error;
    EXPECT_EQ(s.Comm_No, 255);
    EXPECT_EQ(s.back_light, 3);
    EXPECT_EQ(s.product_name, "VYL Virtual Display");
    EXPECT_EQ(s.firmware_version, 1);

    char path[] = "/tmp/vyl-vd-settings-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path)
        << R"({"back_light":2,"wel_mess1":"HELLO","Baud_Rate":3,"firmware_version":9})";
    o.SettingsFile = path;
    o.Model = "RV310";
    o.Codepage = 17;
    SystemInfo.back_light = 4; // the process-wide record is the utility's, not the display's
    ASSERT_TRUE(BuildStartSettings(o, s, error)) << error;
    EXPECT_EQ(SystemInfo.back_light, 4);
    EXPECT_EQ(s.back_light, 2);
    EXPECT_EQ(s.wel_mess1, u"HELLO");
    EXPECT_EQ(s.Baud_Rate, 3);
    EXPECT_EQ(s.firmware_version, 9);
    EXPECT_EQ(s.product_name, "RV310");
    EXPECT_EQ(s.Expand_Char_No, 17);
    o.Baud = 19200;
    ASSERT_TRUE(BuildStartSettings(o, s, error)) << error;
    EXPECT_EQ(s.Baud_Rate, 1);

    o.Baud = 12345;
    EXPECT_FALSE(BuildStartSettings(o, s, error));
    EXPECT_NE(error.find("12345"), std::string::npos);
    o.Baud.reset();
    o.Codepage = 254;
    EXPECT_FALSE(BuildStartSettings(o, s, error));
    o.Codepage.reset();

    std::ofstream(path) << "{not json";
    const std::string modelBefore = s.product_name;
    EXPECT_FALSE(BuildStartSettings(o, s, error));
    EXPECT_EQ(s.product_name, modelBefore); // a failure hands nothing over
    EXPECT_NE(error.find("Parsing failed!"), std::string::npos) << error;
    std::ofstream(path) << "[1,2]";
    EXPECT_FALSE(BuildStartSettings(o, s, error));
    std::remove(path);
    EXPECT_FALSE(BuildStartSettings(o, s, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

} // namespace
