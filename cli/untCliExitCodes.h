// SPDX-License-Identifier: Apache-2.0
#pragma once

// The exit status of vylctl: what a script can tell apart.

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
