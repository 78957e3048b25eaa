// SPDX-License-Identifier: Apache-2.0
// The command line's words without a display: options anywhere, values as the window's lists
// show them, the typing limits of the welcome lines, the usage errors.

#include "untCliCommandTable.h"
#include "untCliHelp.h"
#include "untCliOptions.h"
#include "untCliSettings.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    std::vector<std::string> Args;
    const char* Error; // a part of the usage error; "" when the words are good
};

} // namespace

TEST(CliArguments, UsageErrorsAndOptionsAnywhere) {
    const ParseCase cases[] = {
        {{"--port", "ttyUSB0", "get"}, ""},
        {{"get", "--port=ttyUSB0", "--baud", "115200", "--json"}, ""},
        {{"set", "line1=x", "--port", "DemoDisplay", "--force", "--quiet"}, ""},
        {{"--port", "p", "text", "--row=2", "--", "--not-an-option"}, ""},
        {{"ports"}, ""},
        {{"find", "--all-ports", "--baud", "38400", "--json"}, ""},
        {{"find"}, "name one with --port, or search every listed port with --all-ports"},
        {{"get", "--port", "p", "--all-ports"}, "'--all-ports' does not apply to 'get'"},
        {{"--help"}, ""},
        {{"set", "--help"}, ""},
        {{"nonsense", "--version"}, ""},
        {{}, "no command given"},
        {{"fetch", "--port", "p"}, "unknown command 'fetch'"},
        {{"--port", "p"}, "no command given"},
        {{"get"}, "no port given"},
        {{"get", "--port"}, "'--port' needs a value"},
        {{"get", "--port", "p", "--json=yes"}, "'--json' takes no value"},
        {{"get", "--port", "p", "--baud", "9601"}, "bad speed '9601'"},
        {{"get", "--port", "p", "extra"}, "'get' takes no arguments"},
        {{"set", "--port", "p"}, "'set' takes one or more KEY=VALUE"},
        {{"save", "--port", "p", "a", "b"}, "'save' takes one file name"},
        {{"apply", "--port", "p", "--force", "--row", "1", "f"}, "'--row' does not apply"},
        {{"get", "--port", "p", "--force"}, "'--force' does not apply to 'get'"},
        {{"text", "--port", "p", "--column", "21", "x"}, "--column '21': 1 to 20"},
        {{"text", "--port", "p", "--codepage", "CP999", "x"}, "bad value 'CP999' for --codepage"},
        {{"-x", "get"}, "unknown option '-x'"},
    };
    for (const ParseCase& c : cases) {
        const TCliParse parse = ParseCliArguments(c.Args);
        const std::string error = parse.Error.toStdString();
        std::string words;
        for (const std::string& arg : c.Args)
            words += arg + " ";
        if (*c.Error == '\0')
            EXPECT_EQ(error, "") << words;
        else
            EXPECT_NE(error.find(c.Error), std::string::npos) << words << "-> " << error;
    }

    const TCliParse parse =
        ParseCliArguments({"text", "--row", "2", "--port=/dev/serial/by-id/usb-x", "--codepage",
                           "cp866", "--", "--baud=57600"});
    ASSERT_EQ(parse.Error.toStdString(), "");
    EXPECT_EQ(parse.Options.Command, TCliCommand::Text);
    EXPECT_EQ(parse.Options.Arguments, (std::vector<std::string>{"--baud=57600"}));
    EXPECT_EQ(parse.Options.Port, "/dev/serial/by-id/usb-x");
    EXPECT_EQ(parse.Options.Row, 2);
    EXPECT_EQ(parse.Options.Column, std::nullopt);
    EXPECT_EQ(parse.Options.CodePage, 13); // the row of CP866
    EXPECT_EQ(parse.Options.BaudRate, std::nullopt);
}

TEST(CliArguments, ACommandsHelpNamesItsOwnOptionsAndPointsToTheCommonOnes) {
    const std::string all = CliHelpText(TCliCommand::None);
    EXPECT_NE(all.find("Options of every command:"), std::string::npos);
    EXPECT_NE(all.find("Exit status:"), std::string::npos);
    for (const TCliCommandRow& row : CliCommands()) {
        const std::string help = CliHelpText(row.Command);
        EXPECT_EQ(help.find("Options of every command:"), std::string::npos) << row.Name;
        EXPECT_EQ(help.find("Exit status:"), std::string::npos) << row.Name;
        EXPECT_NE(help.find("and the exit status: vylctl --help"), std::string::npos) << row.Name;
    }
    // What the search sends, in the words of the README and the manual page.
    const std::string find = CliHelpText(TCliCommand::Find);
    for (const char* words : {"02 07 16 05 (STX BEL SYN", "toggles its DTR", "cash", "framing"})
        EXPECT_NE(find.find(words), std::string::npos) << words;
}

TEST(CliArguments, SettingsAsTheWindowShowsThem) {
    struct Case {
        const char* Argument;
        const char* Error; // "" when good
    };
    const Case cases[] = {
        {"command=EPSON ESC/POS", ""},
        {"command=logic control", ""},
        {"command=15", "bad value '15' for command"},
        {"baud=57600", ""},
        {"baud=4800", "bad value '4800' for baud: one of 9600, 19200, 38400, 57600, 115200"},
        {"brightness=75%", ""},
        {"brightness=0", "bad value '0' for brightness"},
        {"scroll=ON", ""},
        {"scroll=yes", "bad value 'yes' for scroll: one of on, off"},
        {"charset=denmark ii", ""},
        {"charset=Other", ""},
        {"charset=Atlantis", "bad value 'Atlantis' for charset"},
        {"codepage=UTF-8", ""},
        {"codepage=437", "bad value '437' for codepage"},
        {"line1=", ""},                                         // an empty line is a line
        {"line1=12345678901234567890", ""},                     // 20 fit
        {"line1=一二三四五六七八九十一二三四五六七八九十", ""}, // characters, not bytes
        {"line1=123456789012345678901", "line1 has 21 characters; at most 20 fit"},
        {"line2=with = sign", ""},
        {"line2=1234567890123456789012345678901234567890123456789012345678901",
         "line2 has 61 characters; at most 60 fit"},
        {"Line2=", ""},
        {"speed=9600", "unknown setting 'speed'"},
        {"=5", "'=5' is not KEY=VALUE"},
        {"brightness", "'brightness' is not KEY=VALUE"},
    };
    for (const Case& c : cases) {
        TSettingRequest request;
        const std::string error = AddSettingArgument(c.Argument, request).toStdString();
        if (*c.Error == '\0')
            EXPECT_EQ(error, "") << c.Argument;
        else
            EXPECT_NE(error.find(c.Error), std::string::npos) << c.Argument << " -> " << error;
    }

    TSettingRequest request;
    for (const char* argument : {"command=AUTO", "baud=115200", "brightness=25", "scroll=off",
                                 "charset=Japan", "codepage=cp936_gbk", "line2=a=b"})
        ASSERT_EQ(AddSettingArgument(argument, request).toStdString(), "") << argument;
    EXPECT_EQ(request.CommandMode, 15); // the last row, code 255
    EXPECT_EQ(request.BaudRate, 4);
    EXPECT_EQ(request.Brightness, 0);
    EXPECT_EQ(request.Scroll, false);
    EXPECT_EQ(request.InterChar, 8);
    EXPECT_EQ(request.CodePage, 18);
    EXPECT_EQ(request.Line2, u"a=b");
    EXPECT_EQ(request.Line1, std::nullopt);
    EXPECT_NE(AddSettingArgument("brightness=50", request).toStdString().find("given twice"),
              std::string::npos);
}
