// SPDX-License-Identifier: Apache-2.0
#include "VdOptions.h"

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untCommandMode.h"
#include "untInterChar.h"
#include "untPublishedPorts.h"
#include "untUtf16.h"
#include "untUtf8File.h"

#include <charconv>
#include <functional>
#include <map>

namespace {

bool ReadInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc{} && ptr == end;
}

} // namespace

std::string VdHelpText() {
    return R"HELP(Usage: vyl-virtual-display [OPTIONS]

A customer display (two lines of 20 columns) on the far end of a pseudo-terminal. It publishes
the pty as a serial port that VYL Setup lists, answers both handshakes and the settings request,
applies every command frame, and shows its two lines and each frame it receives.

Port and start settings:
  --port NAME           port name to publish (letters, digits, '-', '_'; default DemoDisplay)
  --settings FILE       start from this settings document (JSON, UTF-8; keys as the display
                        reports them, missing keys keep their defaults)
  --baud RATE           start at this line speed: 9600, 19200, 38400, 57600 or 115200
  --codepage NO         start with this code page (the display's number, e.g. 0 for CP437)
  --charset NO          start with this international character set (0..18, 255)
  --command NO          start in this command mode (0..14, 255 for AUTO)
  --brightness N        start at this brightness level (1..4)
  --model NAME          model name it reports (default "VYL Virtual Display")
  --firmware N          firmware version it reports (0..255, default 1)

Behaviour:
  --require-handshake   ignore setting frames that no answered handshake preceded on the same
                        connection (a connection lasts from the host's open of the port to its
                        close)
  --no-jpos             do not answer the JavaPOS handshake (02 07 12)
  --reply-delay MS      wait MS milliseconds before each answer (the settings document
                        starts MS milliseconds late; so do a device's answers)
  --instant             send each answer at once, in one write, instead of pacing it at the
                        line speed (for measuring the host's own delays)
  --read-delay MS       take in each byte MS milliseconds after it came: a slow display,
                        which reads bytes late, after the host may have closed the port,
                        reopened it or changed its speed (each byte is still judged at the
                        speed the host had when it sent it, as part of the connection that
                        sent it)
  --trace FILE          append every frame received and every answer sent to FILE
  --quiet               show nothing but the publishing line

Misbehaviours, for tests:
  --no-answer           answer nothing at all
  --wrong-key           answer handshakes enciphered with a key the host does not expect
  --no-terminator       send the settings document without its ending 00 byte
  --garbage             answer with random bytes (handshakes 35 bytes, settings ended by 00)
  --hangup-after N      after the N-th frame (and its answer) close the line and exit

Another device on the port instead of the display (one of them):
  --echo                a modem with echo on: sends every byte it reads straight back
  --stream              a scale that sends on its own: lines of printable text, each ended
                        by CR LF ("ST,GS,+0000.005kg"), one after the other at its line
                        speed, for as long as a host has the port open
  --receipt-printer     a receipt printer: answers each ENQ byte (05) with the status byte 12
  Each is published and listed as the display is, hears the line at its own speed (--baud,
  default 9600) as the display does, and understands none of the display's frames. The trace
  shows what it receives as RX lines (cut into frames as the display would cut them) and the
  echo's and the printer's answers as TX lines; the stream's lines are not traced.

  --help                show this text

At start it prints one line "Publishing port NAME (/dev/pts/N)". It runs until SIGINT,
SIGTERM or SIGHUP and then withdraws the port.

It understands the host only while the speed the host set on the line equals its own: bytes
sent at another speed reach it as on a real line, read by its receiver at its own speed
(characters with a framing error lost). After a speed frame it switches to the new speed. Answers are paced at its speed (ten bit
times per byte) unless --instant.

Trace file: one line per event, fields separated by one space:
  <time> <EVENT> [<hex bytes>] [<more>]
  <time>   UTC, ISO 8601 with microseconds: 2025-01-31T12:34:56.123456Z
  RX <hex>     a frame received at matching speed, bytes as upper-case hex pairs separated
               by spaces ("RX 02 07 16 05"); a text frame is a run of text bytes, and a
               cursor frame carries the text that followed it ("RX 1F 24 05 02 41 42")
  IGNORED <hex>  the frame just received was not applied (no handshake, value unknown)
  TX <hex>     an answer, written when its last byte has been sent
  DROP <hex>   bytes the host sent while its speed differed from the display's; then
               "host <bit/s> display <bit/s> read [<hex>]": the bytes the display read of
               them, which it decodes as frames like any others
  SPEED <bit/s>  the display switched its line speed
  OPEN / CLOSE   the host opened / closed the port
  LOST <hex>     the unsent rest of an answer when the host closed the port (what was sent
                 and not read is dropped too, as on a real line)
  HANGUP         the display closed its line (--hangup-after)
Readers should skip events they do not know.

Exit status: 0 after a signal or a hang-up, 1 when the port cannot be opened or published,
2 for bad options or an unreadable settings file.
)HELP";
}

VdParsed ParseVdOptions(const std::vector<std::string>& args) {
    VdParsed parsed;
    VdOptions& o = parsed.Options;
    auto fail = [&parsed](std::string message) {
        parsed.What = VdParsed::Outcome::Error;
        parsed.Error = std::move(message);
        return parsed;
    };

    const std::map<std::string, bool*> flags = {
        {"--no-jpos", nullptr},       {"--require-handshake", &o.RequireHandshake},
        {"--quiet", &o.Quiet},        {"--no-answer", &o.NoAnswer},
        {"--wrong-key", &o.WrongKey}, {"--no-terminator", &o.NoTerminator},
        {"--garbage", &o.Garbage},    {"--instant", &o.Instant},
    };
    auto intOption = [](std::optional<int>& target, int low, int high) {
        return [&target, low, high](const std::string& v) {
            int n = 0;
            if (!ReadInt(v, n) || n < low || n > high)
                return false;
            target = n;
            return true;
        };
    };
    const std::map<std::string, VdDevice> devices = {
        {"--echo", VdDevice::Echo},
        {"--stream", VdDevice::Stream},
        {"--receipt-printer", VdDevice::ReceiptPrinter},
    };
    std::optional<int> replyDelay, readDelay, hangup;
    const std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--port",
         [&o](const std::string& v) {
             o.Port = v;
             return IsValidPublishedPortName(v);
         }},
        {"--settings",
         [&o](const std::string& v) {
             o.SettingsFile = v;
             return !v.empty();
         }},
        {"--trace",
         [&o](const std::string& v) {
             o.TraceFile = v;
             return !v.empty();
         }},
        {"--model",
         [&o](const std::string& v) {
             o.Model = v;
             return true;
         }},
        {"--baud", intOption(o.Baud, 1, 4000000)},
        {"--codepage", intOption(o.Codepage, 0, 255)},
        {"--charset", intOption(o.Charset, 0, 255)},
        {"--command", intOption(o.Command, 0, 255)},
        {"--brightness", intOption(o.Brightness, 1, 4)},
        {"--firmware", intOption(o.Firmware, 0, 255)},
        {"--reply-delay", intOption(replyDelay, 0, 600000)},
        {"--read-delay", intOption(readDelay, 0, 600000)},
        {"--hangup-after", intOption(hangup, 1, 1000000)},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            parsed.What = VdParsed::Outcome::Help;
            return parsed;
        }
        if (const auto f = flags.find(name); f != flags.end()) {
            if (value)
                return fail("option " + name + " takes no value");
            if (name == "--no-jpos")
                o.Jpos = false;
            else
                *f->second = true;
            continue;
        }
        if (const auto d = devices.find(name); d != devices.end()) {
            if (value)
                return fail("option " + name + " takes no value");
            if (o.Device != VdDevice::Display && o.Device != d->second)
                return fail("--echo, --stream and --receipt-printer exclude each other");
            o.Device = d->second;
            continue;
        }
        const auto v = valued.find(name);
        if (v == valued.end())
            return fail("unknown option " + args[i] + " (see --help)");
        if (!value) {
            if (i + 1 >= args.size())
                return fail("option " + name + " needs a value");
            value = args[++i];
        }
        if (!v->second(*value))
            return fail("bad value for " + name + ": \"" + *value + "\"");
    }
    o.ReplyDelayMs = replyDelay.value_or(0);
    o.ReadDelayMs = readDelay.value_or(0);
    o.HangupAfter = hangup.value_or(0);
    return parsed;
}

bool BuildStartSettings(const VdOptions& options, TSystemInfo& settings, std::string& error) {
    // Built apart and handed over only when complete: a failure leaves `settings` as it was.
    TSystemInfo s;
    try {
        ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()), s);
        s.product_name = "VYL Virtual Display";
        s.firmware_version = 1;
        s.chip = "virtual";
        if (options.SettingsFile) {
            const TParseResult r = ParseSettingsJson(ReadUtf8File(*options.SettingsFile), s);
            if (!r.Success) {
                error = *options.SettingsFile + ": " + r.Error;
                return false;
            }
        }
    } catch (const std::exception& e) {
        error = (options.SettingsFile ? *options.SettingsFile + ": " : std::string()) + e.what();
        return false;
    }
    if (options.Baud) {
        const int code = NoAtIndex(BaudRateTable, IndexOfBitsPerSecond(*options.Baud));
        if (code < 0) {
            error = "--baud " + std::to_string(*options.Baud) + ": not a speed of the display";
            return false;
        }
        s.Baud_Rate = static_cast<std::uint8_t>(code);
    }
    auto pick = [&error](const char* name, std::optional<int> value, bool known,
                         std::uint8_t& field) {
        if (!value)
            return true;
        if (!known) {
            error = std::string(name) + " " + std::to_string(*value) + ": the display has none";
            return false;
        }
        field = static_cast<std::uint8_t>(*value);
        return true;
    };
    const int none = -1000;
    if (!pick("--codepage", options.Codepage,
              IndexOfNo(CodePageTable, options.Codepage.value_or(none)) >= 0, s.Expand_Char_No) ||
        !pick("--charset", options.Charset,
              IndexOfNo(InterCharTable, options.Charset.value_or(none)) >= 0, s.Char_No) ||
        !pick("--command", options.Command,
              IndexOfNo(CommandModeTable, options.Command.value_or(none)) >= 0, s.Comm_No) ||
        !pick("--brightness", options.Brightness, true, s.back_light) ||
        !pick("--firmware", options.Firmware, true, s.firmware_version))
        return false;
    if (options.Model)
        s.product_name = *options.Model;
    settings = s;
    return true;
}
