// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "VdDevice.h"
#include "untSystemInfo.h"

#include <optional>
#include <string>
#include <vector>

struct VdOptions {
    std::string Port = "DemoDisplay";
    std::optional<std::string> SettingsFile;
    std::optional<int> Baud;       // bit/s
    std::optional<int> Codepage;   // the display's number (No_new)
    std::optional<int> Charset;    // No of a character set row
    std::optional<int> Command;    // No of a command mode row
    std::optional<int> Brightness; // 1..4
    std::optional<std::string> Model;
    std::optional<int> Firmware;
    bool Jpos = true;
    bool RequireHandshake = false;
    int ReplyDelayMs = 0;
    bool Instant = false; // answers leave at once, in one write, unpaced
    int ReadDelayMs = 0;  // a slow display: it takes in each byte this long after it came
    std::optional<std::string> TraceFile;
    bool Quiet = false;
    // Misbehaviours.
    bool NoAnswer = false;
    bool WrongKey = false;
    bool NoTerminator = false;
    bool Garbage = false;
    int HangupAfter = 0;                 // 0: never
    VdDevice Device = VdDevice::Display; // another device on the port instead
};

struct VdParsed {
    enum class Outcome { Run, Help, Error } What = Outcome::Run;
    VdOptions Options;
    std::string Error; // for Outcome::Error: what was wrong, one line
};

// Exit codes of the program.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;    // the port could not be opened or published
constexpr int kExitBadOptions = 2; // unknown option, missing or bad value, unreadable settings

VdParsed ParseVdOptions(const std::vector<std::string>& args);
std::string VdHelpText();

// The starting settings: the built-in defaults with this display's model name and firmware,
// then the settings file, then the single-value options. False with a message when the file
// cannot be read or parsed, or an option names a value the display does not have.
bool BuildStartSettings(const VdOptions& options, TSystemInfo& settings, std::string& error);
