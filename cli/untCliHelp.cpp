// SPDX-License-Identifier: Apache-2.0
// The --help texts.

#include "untCliExitCodes.h"
#include "untCliOptions.h"
#include "untCliSettings.h"
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
            out += "\n" + std::string(indent, ' ');
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

std::string SetKeys() {
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

std::string General() {
    return std::string(R"(Usage: vylctl [OPTIONS] COMMAND [ARGUMENTS]

Sets up a VYL customer display (two lines of 20 characters) on a serial port: the actions,
values and settings file of the VYL Setup window, for scripts and remote shells.

Commands:
  ports              list the serial ports, with their devices and USB adapters
  find               find the display's speed on --port, or its port too (--all-ports)
  get                read the display's settings (--json: the document it sent)
  set KEY=VALUE...   change settings, then read them back to confirm
  apply FILE         send every setting of a settings file (the window's format)
  save FILE          read the display and write its settings file
  text TEXT          show a text (--row, --column, --codepage)
  clear              clear the screen
  restart            restart the display
  pattern NAME       show a character test pattern, 20-3F to E0-FF
)") + Common +
           ExitStatus() + R"(
Examples:
  vylctl find --all-ports
  vylctl --port ttyUSB0 set line1="  WELCOME" line2="Thank you" brightness=100
  vylctl --port ttyUSB0 save shop.ini
)";
}

} // namespace

std::string CliHelpText(TCliCommand command) {
    switch (command) {
    case TCliCommand::None:
        return General();
    case TCliCommand::Ports:
        return std::string(R"(Usage: vylctl ports [--json]

Lists the serial ports the window lists, one per line, fields separated by a tab: the name
(what --port takes), the device it opens, the stable /dev/serial/by-id link to it or "-", and
for a USB adapter vendor:product, manufacturer and product as the adapter reports them.
Ports published by a program on this machine (the virtual display) read "virtual" there.
With --json: an array of objects with the members name, device, stablePath, usbId,
manufacturer, product and virtual.
)") + Common + ExitStatus();
    case TCliCommand::Find:
        return std::string(R"(Usage: vylctl find [--port NAME] [--all-ports] [--baud RATE] [--json]

Finds the display on --port: the speed it listens at (--baud first when given, then 9600,
the factory speed, then the others), its model and firmware, and whether it answers the
JavaPOS handshake. A speed counts only when the display proves itself there: its settings
document, or a handshake answer that deciphers to the challenge.
--all-ports    search every listed port as well, side by side. The search request then goes
               to whatever device is on each port.
Only the settings request is sent at a speed not yet proven: a display at another speed
reads it garbled, and at worst shows stray characters; no setting changes. The handshakes
follow only where something answered.
Prints one line per display found, fields separated by a tab: port, speed, model and
firmware version ("-" when only a handshake proved the display), and the handshake it
answered ("javapos", or "standard" for a display without JavaPOS). With --json: an array of
objects with the members port, baud, model, firmware, handshake and javapos.
When no display is found, what was tried on each port goes to standard error (exit status
4; 3 when the one port asked for cannot be opened).
)") + Common + ExitStatus();
    case TCliCommand::Get:
        return std::string(R"(Usage: vylctl get --port NAME [--baud RATE] [--json]

Reads the display's settings (the JavaPOS handshake, then the settings request) and prints
the six lines of the window's summary: model, firmware version, speed, command set, character
set and code page. With --json it prints the settings document exactly as the display sent
it, followed by a line break.
)") + Common + ExitStatus();
    case TCliCommand::Set:
        return R"(Usage: vylctl set --port NAME [--baud RATE] [--force] KEY=VALUE...

Changes settings as the window's Setting buttons do (the standard handshake, the frames and
their pauses). It reads the display first: the welcome action always sends both lines and the
scroll choice, the code page action the character set and the code page, so what was not
given is taken from the display (a line from the bytes the display reports, else from its
text in the display's code page). A given line is converted into the code page given with it,
else into the display's. The speed goes last, and the read-back uses the new speed. Then the
display is read again; when it does not report what was sent, the exit status is 6.
When the standard handshake fails nothing is sent (exit status 4) unless --force; with
--force, a display whose settings cannot be read gets the window's defaults for what was not
given.

)" + SetKeys() +
               Common + ExitStatus() + R"(
Example:
  vylctl --port ttyUSB0 set line1="  WELCOME" scroll=off brightness=75%
)";
    case TCliCommand::Apply:
        return std::string(R"(Usage: vylctl apply --port NAME [--baud RATE] [--force] FILE

Sends every setting of a settings file as the window's Load Setting would show it (the same
reading rules and errors; keys the file lacks keep the display's values; the welcome lines are
converted into the file's code page), then reads the display back as 'set' does. A value that
none of the window's lists holds is refused before anything is sent. --force as for 'set'.
)") + Common + ExitStatus();
    case TCliCommand::Save:
        return std::string(R"(Usage: vylctl save --port NAME [--baud RATE] FILE

Reads the display and writes FILE byte for byte as the window's Save Setting writes after a
Get Setting (nine members, UTF-8, CR LF). FILE is written under the name given (no extension
is added) and replaced whole: it is either the new file or left as it was.
)") + Common + ExitStatus();
    case TCliCommand::Text:
        return std::string(
                   R"(Usage: vylctl text --port NAME [--row R --column C] [--codepage NAME] TEXT

Shows TEXT on the display as the window's Display Text does: as it stands, neither padded nor
centred. --row (1 or 2) and --column (1 to 20) place it; either alone takes 1 for the other.
The text is converted into --codepage, or when that is left out into the display's own code
page, which is read first.
)") + Common + ExitStatus();
    case TCliCommand::Clear:
        return std::string("Usage: vylctl clear --port NAME [--baud RATE]\n\nClears the "
                           "display's screen.\n") +
               Common + ExitStatus();
    case TCliCommand::Restart:
        return std::string("Usage: vylctl restart --port NAME [--baud RATE]\n\nRestarts the "
                           "display; it shows its welcome lines again.\n") +
               Common + ExitStatus();
    case TCliCommand::Pattern:
        return "Usage: vylctl pattern --port NAME [--baud RATE] NAME\n\n" +
               Wrapped("",
                       "Fills both lines with 32 consecutive character codes, shown in the "
                       "display's own character set and code page, as the window's test "
                       "page does: " +
                           TestPatternNames() + ".",
                       0) +
               Common + ExitStatus();
    }
    return General();
}
