// SPDX-License-Identifier: Apache-2.0
#pragma once

// The command line's own messages, in the process language (the window's texts come from the
// shared tables).

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
    FindPortRequired,
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
    FileLacksMembers,
    StoppedPartWay,
    PortListUnreadable,
    ActionDone,
    // Finding the display.
    Searching,
    SpeedFound,
    NoPortsListed,
    // What a command takes, for ArgumentCount.
    NoArguments,
    KeyValues,
    OneFileName,
    OneText,
    OnePatternName,
};

// The text in the chosen language; %1... are filled with QString::arg by the caller.
QString CliText(TCliText text);
