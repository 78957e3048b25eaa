// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a device action reports: its messages in order, and the records the front end applies.

#include "ByteString.h"
#include "untSearchResult.h"
#include "untSystemInfo.h"

#include <QMetaType>

#include <optional>
#include <string>
#include <vector>

// Where the session's actions talk to the display.
struct TSessionTarget {
    std::string PortName;
    int BaudRate = 9600;
};

struct TTextPosition {
    int Row = 1;
    int Column = 1;
};

enum class TMessageKind {
    OpenFailed,       // "SerialPort Open Failed"; the reason is in the result
    HandShakeFailed,  // the standard handshake failed; the action goes on after Continue()
    Done,             // "Done!"
    Fail,             // "Fail!"
    GetSettingsError, // "Get Settings Error!": no reply
    ParseError,       // the settings reply could not be read; Text is the parser's text
    Summary,          // the settings read; the values are in the result's Summary
    Disconnected,     // the line hung up during the action; nothing more was sent
    Error,            // an unexpected error; Text is its message
};

enum class TMessageStyle { Error, Warning, Information };

struct TActionMessage {
    TMessageKind Kind = TMessageKind::Error;
    TMessageStyle Style = TMessageStyle::Error;
    std::string Text; // the system's own text (English; the front end may translate by Kind)
};

// Why a port could not be opened, as a front end explains it.
enum class TOpenFailure { None, NoPortName, Permission, Busy, Missing, Other };
// An open failure's reason from the OS's error number.
TOpenFailure OpenFailureOf(const std::string& portName, int error);

// The values of the "Get Setting" summary; the front end adds its labels.
struct TSettingsSummary {
    std::string Model;
    int FirmwareVersion = 0;
    std::string BaudRate;
    std::string CommandSet;
    std::string InterChar;
    std::u16string CodePage;
};

struct TActionResult {
    std::vector<TActionMessage> Messages;
    bool Opened = false; // the port opened (a setting action's values then count as captured)
    TOpenFailure OpenFailure = TOpenFailure::None;
    int OpenErrno = 0;
    std::string OpenError; // the OS's text
    int HandShake = -1;    // the standard handshake's result, -1 when it did not run
    // "Get Setting": the record as it now stands (jpos always; the members read, also those
    // applied before a parse failure), whether it was read whole, the reply as the display sent
    // it (up to its 00), and the summary.
    std::optional<TSystemInfo> Settings;
    bool SettingsComplete = false;
    ByteString SettingsReply;
    std::optional<TSettingsSummary> Summary;
    std::optional<int> NewBaudRate;      // bit/s, after a speed change that went out
    bool Sent = false;                   // every frame of the action was handed to the port
    std::optional<TSearchResult> Search; // the search for the display, port by port
    bool Disconnected = false;
    bool Cancelled = false;
};

Q_DECLARE_METATYPE(TActionMessage)
Q_DECLARE_METATYPE(TActionResult)
