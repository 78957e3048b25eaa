// SPDX-License-Identifier: Apache-2.0
// The commands of vylctl, one row each: its name, what it takes, its own options, its help
// and its handler. The parser, the help and the dispatch read these rows.

#include "untCliCommandTable.h"

#include "untCliCommands.h"
#include "untCliHelp.h"

namespace {

// clang-format off
const std::vector<TCliCommandRow> Rows = {
    {TCliCommand::Ports, "ports", "ports",
     "list the serial ports, with their devices and USB adapters",
     "ports [--json]", 0, 0, TCliText::NoArguments, {},
     R"(
Lists the serial ports the window lists, one per line, fields separated by a tab: the name
(what --port takes), the device it opens, the stable /dev/serial/by-id link to it or "-", and
for a USB adapter vendor:product, manufacturer and product as the adapter reports them.
Ports published by a program on this machine (the virtual display) read "virtual" there.
With --json: an array of objects with the members name, device, stablePath, usbId,
manufacturer, product and virtual.
)",
     nullptr, {}, CliPorts},
    {TCliCommand::Find, "find", "find",
     "find the display's speed on --port, or its port too (--all-ports)",
     "find [--port NAME] [--all-ports] [--baud RATE] [--json]", 0, 0, TCliText::NoArguments, {"--all-ports"},
     R"(
Finds the display on --port: the speed it listens at (--baud first when given, then 9600,
the factory speed, then the others), its model and firmware, and whether it answers the
JavaPOS handshake. A speed counts only when the display proves itself there: its settings
document, or a handshake answer that deciphers to the challenge.
--all-ports    search every listed port as well, side by side. The search request then goes
               to whatever device is on each port.
A first pass waits briefly at each speed; when it proves no display, a second pass waits
about 1.2 s at each, for a display that starts its answer late. A document naming another
speed counts only when the display answers at that speed. Reading at a speed stops when its
first printable byte is not '{', when the bytes echo the request, or after 4 KiB or 2 s.
What is sent: at a speed not yet proven only the settings request, 02 07 16 05 (STX BEL SYN
ENQ); the handshakes follow only where the reply looks like the display's (it ends in 00,
holds more than that, and is no echo of the request). Each open of a port toggles its DTR
and RTS lines. What other devices may receive: a receipt printer may beep, print or open its
cash drawer on the request; a display at another speed reads it garbled, and one whose
receiver keeps characters with framing errors may clear its screen or show stray
characters.
Prints one line per display found, fields separated by a tab: port, speed, model and
firmware version ("-" when only a handshake proved the display), and the handshake it
answered ("javapos", or "standard" for a display without JavaPOS). With --json: an array of
objects with the members port, baud, model, firmware, handshake and javapos.
When no display is found, what was tried on each port goes to standard error (exit status
4; 3 when the one port asked for cannot be opened).
)",
     nullptr, {}, CliFind},
    {TCliCommand::Get, "get", "get",
     "read the display's settings (--json: the document it sent)",
     "get --port NAME [--baud RATE] [--json]", 0, 0, TCliText::NoArguments, {},
     R"(
Reads the display's settings (the JavaPOS handshake, then the settings request) and prints
the six lines of the window's summary: model, firmware version, speed, command set, character
set and code page. With --json it prints the settings document exactly as the display sent
it, followed by a line break.
)",
     nullptr, {}, CliGet},
    {TCliCommand::Set, "set", "set KEY=VALUE...",
     "change settings, then read them back to confirm",
     "set --port NAME [--baud RATE] [--force] KEY=VALUE...", 1, -1, TCliText::KeyValues, {"--force"},
     R"(
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

)",
     SetKeysHelp, R"(
Example:
  vylctl --port ttyUSB0 set line1="  WELCOME" scroll=off brightness=75%
)", CliSet},
    {TCliCommand::Apply, "apply", "apply FILE",
     "send every setting of a settings file (the window's format)",
     "apply --port NAME [--baud RATE] [--force] FILE", 1, 1, TCliText::OneFileName, {"--force"},
     R"(
Sends every setting of a settings file as the window's Load Setting would show it (the same
reading rules and errors; keys the file lacks keep the display's values; the welcome lines are
converted into the file's code page), then reads the display back as 'set' does. A value that
none of the window's lists holds is refused before anything is sent. --force as for 'set'.
)",
     nullptr, {}, CliApply},
    {TCliCommand::Save, "save", "save FILE",
     "read the display and write its settings file",
     "save --port NAME [--baud RATE] FILE", 1, 1, TCliText::OneFileName, {},
     R"(
Reads the display and writes FILE byte for byte as the window's Save Setting writes after a
Get Setting (nine members, UTF-8, CR LF). FILE is written under the name given (no extension
is added) and replaced whole: it is either the new file or left as it was.
)",
     nullptr, {}, CliSave},
    {TCliCommand::Text, "text", "text TEXT",
     "show a text (--row, --column, --codepage)",
     "text --port NAME [--row R --column C] [--codepage NAME] TEXT", 1, 1, TCliText::OneText, {"--row", "--column", "--codepage"},
     R"(
Shows TEXT on the display as the window's Display Text does: as it stands, neither padded nor
centred. --row (1 or 2) and --column (1 to 20) place it; either alone takes 1 for the other.
The text is converted into --codepage, or when that is left out into the display's own code
page, which is read first.
)",
     nullptr, {}, CliShowText},
    {TCliCommand::Clear, "clear", "clear",
     "clear the screen",
     "clear --port NAME [--baud RATE]", 0, 0, TCliText::NoArguments, {},
     "\nClears the display's screen.\n",
     nullptr, {}, CliClear},
    {TCliCommand::Restart, "restart", "restart",
     "restart the display",
     "restart --port NAME [--baud RATE]", 0, 0, TCliText::NoArguments, {},
     "\nRestarts the display; it shows its welcome lines again.\n",
     nullptr, {}, CliRestart},
    {TCliCommand::Pattern, "pattern", "pattern NAME",
     "show a character test pattern, 20-3F to E0-FF",
     "pattern --port NAME [--baud RATE] NAME", 1, 1, TCliText::OnePatternName, {},
     "\n",
     PatternHelp, {}, CliPattern},
};
// clang-format on

} // namespace

const std::vector<TCliCommandRow>& CliCommands() {
    return Rows;
}

const TCliCommandRow* CliCommandRow(TCliCommand command) {
    for (const TCliCommandRow& row : Rows)
        if (row.Command == command)
            return &row;
    return nullptr;
}
