// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a search for the display found, port by port and speed by speed.

#include "ByteString.h"
#include "untSystemInfo.h"

#include <optional>
#include <string>
#include <vector>

// Which handshake the display answered at the speed it was found at. The JavaPOS one is tried
// first; the standard one only when that stayed unanswered.
enum class TAnsweredHandShake { None, JavaPos, Standard };

enum class TSpeedOutcome {
    Silent,    // nothing came back
    Unproven,  // something answered, but neither a document nor a handshake proved the display
    Confirmed, // the display
};

struct TSpeedTry {
    int BaudRate = 0;
    TSpeedOutcome Outcome = TSpeedOutcome::Silent;
    // The display's document came, naming this other speed as its own: a late answer to the
    // request sent there, which proves nothing here (0: none such).
    int NamedSpeed = 0;
};

struct TFoundDisplay {
    std::string PortName;
    int BaudRate = 0;
    // Its settings reply read as its document; when false only a handshake proved it, and
    // nothing is known of model and firmware.
    bool ByDocument = false;
    TAnsweredHandShake HandShake = TAnsweredHandShake::None;
    std::string Model;
    int FirmwareVersion = 0;
    std::optional<TSystemInfo> Settings; // the document read into a blank record, jpos set
    ByteString SettingsReply;            // the document as it came, up to its 00
};

struct TPortSearch {
    std::string PortName;
    std::vector<TSpeedTry> Tried; // in the order tried
    // The port could not be opened at some speed: the search of this port ended there.
    bool OpenFailed = false;
    int OpenErrno = 0;
    std::string OpenError;     // the OS's text
    bool Disconnected = false; // the line hung up; the search of this port ended there
    bool Cancelled = false;
    std::optional<TFoundDisplay> Found;
};

struct TSearchResult {
    std::vector<TPortSearch> Ports; // in the order asked
    bool Cancelled = false;

    // The display on the first port, in the order asked, that has one.
    const TFoundDisplay* Found() const {
        for (const TPortSearch& port : Ports)
            if (port.Found)
                return &*port.Found;
        return nullptr;
    }
};
