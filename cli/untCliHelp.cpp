// SPDX-License-Identifier: Apache-2.0
// The --help texts, printed from the command table's rows.

#include "untCliHelp.h"

#include "untCliCommandTable.h"
#include "untCliExitCodes.h"
#include "untListNames.h"
#include "untTestPatterns.h"

#include <algorithm>
#include <sstream>

namespace {

const char* const Common = R"(
Options of every command:
  --port NAME     the port: a name as 'vylctl ports' lists it (ttyUSB0, DemoDisplay) or a
                  device path such as a /dev/serial/by-id/... link; required but for 'ports'
                  and 'find --all-ports'
  --baud RATE     the display's current speed: 9600, 19200, 38400, 57600 or 115200; when
                  left out, the display's speed is found first as 'find' finds it (stray
                  characters may appear on the display while other speeds are tried)
  --json          data as JSON ('ports', 'find', 'get')
  --quiet         no progress messages; errors are still shown
  --help, -h      this text; 'vylctl COMMAND --help' shows a command's
  --version       the program's version
Options may stand before or after the command; '--' ends them (for a text that starts with
'-'). Data goes to standard output, messages to standard error, in Chinese when the system
language is zh_CN and in English otherwise. Nothing is asked and nothing is kept between
runs. Ctrl-C ends a running action: the port is released and no file is left half-written.
)";

// A command's own help names only its own options; the common ones are told once.
const char* const CommonPointer =
    "\nOptions of every command (--port, --baud, --json, --quiet) and the exit status: "
    "vylctl --help\n";

// `first` and then the words of `text`, lines broken before column 92 and continued at
// `indent`.
std::string Wrapped(const std::string& first, const std::string& text, std::size_t indent) {
    std::string out = first;
    std::size_t column = first.size();
    bool lineEmpty = first.empty();
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!lineEmpty && column + 1 + word.size() > 92) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + "\n";
}

std::string ExitStatus() {
    std::string text = "\nExit status:\n";
    for (const TExitStatusRow& row : ExitStatusTable) {
        std::string codes = "  " + std::string(row.Codes);
        codes.resize(std::max<std::size_t>(codes.size() + 2, 7), ' ');
        text += Wrapped(codes.substr(0, codes.size() - 1), std::string(row.Meaning), 7);
    }
    return text;
}

} // namespace

std::string SetKeysHelp() {
    const std::size_t at = 19; // where the descriptions start
    return "Settings (values as the window's lists show them, case ignored):\n" +
           Wrapped("  command=NAME     command mode:", ListNames(TSettingList::CommandMode), at) +
           Wrapped("  baud=RATE        the display's speed:", ListNames(TSettingList::BaudRate),
                   at) +
           Wrapped("  brightness=LEVEL",
                   ListNames(TSettingList::Brightness) + " (the % may be left out)", at) +
           "  line1=TEXT       welcome line 1, at most 20 characters\n"
           "  line2=TEXT       welcome line 2, at most 60 characters\n"
           "  scroll=on|off    whether welcome line 2 scrolls\n" +
           Wrapped("  charset=NAME     international character set:",
                   ListNames(TSettingList::InterChar), at) +
           Wrapped("  codepage=NAME    code page:", ListNames(TSettingList::CodePage), at);
}

std::string PatternHelp() {
    return Wrapped("",
                   "Fills both lines with 32 consecutive character codes, shown in the "
                   "display's own character set and code page, as the window's test page "
                   "does: " +
                       TestPatternNames() + ".",
                   0);
}

std::string CliHelpText(TCliCommand command) {
    const TCliCommandRow* row = CliCommandRow(command);
    if (row == nullptr) {
        std::string commands;
        for (const TCliCommandRow& r : CliCommands()) {
            std::string synopsis = "  " + std::string(r.Synopsis);
            synopsis.resize(std::max<std::size_t>(synopsis.size() + 1, 21), ' ');
            commands += synopsis + std::string(r.Summary) + "\n";
        }
        return R"(Usage: vylctl [OPTIONS] COMMAND [ARGUMENTS]

Sets up a VYL customer display (two lines of 20 characters) on a serial port: the actions,
values and settings file of the VYL Setup window, for scripts and remote shells.

Commands:
)" + commands + Common +
               ExitStatus() + R"(
Examples:
  vylctl find --all-ports
  vylctl --port ttyUSB0 set line1="  WELCOME" line2="Thank you" brightness=100
  vylctl --port ttyUSB0 save shop.ini
)";
    }
    return "Usage: vylctl " + std::string(row->Usage) + "\n" + std::string(row->Description) +
           (row->Generated != nullptr ? row->Generated() : std::string()) + CommonPointer +
           std::string(row->Example);
}
