// SPDX-License-Identifier: Apache-2.0
#pragma once

// The command line's own messages in both languages (the window's texts come from the shared
// tables), and the language chosen as the window chooses it.

#include <QString>

enum class TCliText {
    // Usage.
    NoCommand,
    UnknownCommand,
    UnknownOption,
    OptionNeedsValue,
    OptionHasNoValue,
    OptionNotForCommand,
    ArgumentCount,
    PortRequired,
    BadBaudRate,
    NotKeyValue,
    UnknownKey,
    KeyTwice,
    BadValue,
    LineTooLong,
    BadPosition,
    UnknownPattern,
    TryHelp,
    // Actions.
    NoDisplay,
    Unusable,
    NotConfirmed,
    Differs,
    NoReadBack,
    Interrupted,
    Forced,
    DefaultsTaken,
    ValueWithoutRow,
    FileValueWithoutRow,
    PortListUnreadable,
    ActionDone,
    // Finding the display.
    Searching,
    SpeedFound,
    NoPortsListed,
};

// True when messages are Chinese: the system's language identifier is 0x0804, as for the window.
bool CliChinese();
void SetCliChinese(bool chinese);

// The text in the chosen language; %1... are filled with QString::arg by the caller.
QString CliText(TCliText text);
