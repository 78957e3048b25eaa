// SPDX-License-Identifier: Apache-2.0
#pragma once

// The exit status of vylctl: what a script can tell apart.

#include <array>
#include <string_view>

enum class TExitCode : int {
    Success = 0,
    Failed = 1,         // frames not handed to the port, the display disconnected, an error
    Usage = 2,          // unknown command, option or setting; a bad value
    PortNotOpened = 3,  // the port cannot be opened (the OS's reason is printed)
    NoDisplay = 4,      // no display answered: handshake failed, no settings reply, none found
    Unusable = 5,       // the display answered with something that is no settings document
    NotConfirmed = 6,   // the display's settings read back differ from what was sent
    FileError = 7,      // a file cannot be read or written, or is no settings file
    InterruptBase = 128 // + the signal's number (130 for Ctrl-C)
};

// Every exit status with its meaning, as the help prints them (the manual page and the README
// carry the same table; a test keeps them in step).
struct TExitStatusRow {
    std::string_view Codes;
    std::string_view Meaning;
};

inline constexpr std::array<TExitStatusRow, 9> ExitStatusTable{{
    {"0", "success"},
    {"1", "the action failed otherwise: frames not handed to the port, the display "
          "disconnected; settings applied before it stay applied (standard error names them)"},
    {"2", "usage error: unknown command, option or setting, a bad value"},
    {"3", "the port cannot be opened (the system's reason is shown)"},
    {"4", "no display answered: the standard handshake failed (nothing is sent unless "
          "--force), no settings came back, or the search proved no display at any speed; "
          "settings applied before it stay applied (standard error names them)"},
    {"5", "the display answered with something that is no settings document"},
    {"6", "not confirmed: the settings read back differ from what was sent"},
    {"7", "a file cannot be read or written, or holds no usable settings"},
    {"130, 143", "interrupted by Ctrl-C or SIGTERM (128 + the signal's number): the running "
                 "action ends, the port is released and no file is left half-written"},
}};
