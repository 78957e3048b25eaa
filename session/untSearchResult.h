// SPDX-License-Identifier: Apache-2.0
#pragma once

// A search for the display: what it asks, and what it found, port by port and speed by speed.

#include "ByteString.h"
#include "untSystemInfo.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TSearchTiming {
    // A display starts its answer to the settings request this soon at its own speed (it
    // completes a whole handshake answer within 200 ms); a speed that stays silent this long is
    // passed over.
    int FirstByteMs = 200;
    // Once the answer has begun, a pause this long ends it. Generous: it costs time only where
    // something answered, and a display's own pause (or a busy machine's) must not cut its
    // document short.
    int GapMs = 1000;
    // The settings request's own reply time-out: the whole document.
    int ReplyMs = 10000;
    // The second pass's wait for the first byte: a display up to a second late.
    int LateFirstByteMs = 1200;
    // Reading a speed's reply ends after this long from its first byte, or this many bytes.
    int ReadMs = 2000;
    std::size_t MostBytes = 4096;
};

struct TSearchRequest {
    std::vector<std::string> Ports; // searched side by side
    int FirstRate = 9600;           // tried first when it is one of the display's speeds
    TSearchTiming Timing;
    // Called on the port's own thread before the port is opened at each speed: for progress.
    // Several ports' threads may call it at once.
    std::function<void(const std::string& port, int rate)> Trying;
};

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
