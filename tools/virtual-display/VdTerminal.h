// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a person watching the virtual display sees: a log line per event and, below it, the two
// 20-column lines as the display shows them. On a terminal the picture is redrawn in place.

#include "VdState.h"

#include <string>

class VdTerminal {
public:
    VdTerminal(bool quiet, bool tty) : quiet_(quiet), tty_(tty) {}
    void Log(const std::string& line);
    // Draws the screen when it changed since it was last drawn (or was scrolled off by a log).
    void Refresh(const DisplayState& state);
    bool Interactive() const { return tty_ && !quiet_; }

private:
    void EraseBox();

    bool quiet_;
    bool tty_;
    bool boxShown_ = false;
    std::string lastBox_;
};
