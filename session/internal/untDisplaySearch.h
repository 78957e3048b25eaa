// SPDX-License-Identifier: Apache-2.0
#pragma once

// Finding the display: on which port, at which of its five speeds. A speed counts only when a
// reply to the request sent at that speed proves the display: its settings document (naming
// that speed, or none), or an answer to a handshake that deciphers to the challenge. A document
// that names another speed is a late answer to the request sent there: that speed is probed
// again, and counts only when it answers there.
//
// The one probe sent at a speed not yet proven is the settings request, 02 07 16 05 (STX BEL
// SYN ENQ). A display at another speed reads it garbled. Its receiver is assumed to drop each
// character that has a framing error; every garbled form of the probe that keeps only the
// characters without one, at every pair of the five speeds, is made of bytes that start no
// command (no 02, 0B, 0C or 1F): at worst stray characters appear on the display's screen; no
// setting changes and no answer comes. A receiver that keeps characters with framing errors
// may take one for a command, and clear its screen or show stray characters. Other devices
// hear the probe as it is: a receipt printer may beep, print or open its cash drawer on ENQ.
// Each open toggles DTR and RTS.
//
// The handshakes, whose ciphertext is random, go out at a speed not yet proven only when the
// reply there looks like the display's: it ends in 00, holds more than that and is no echo of
// the probe.
//
// Reading at a speed is bounded: it stops when the first printable byte is not '{', when the
// bytes echo the probe, or after 4 KiB or 2 s of reading, so that a device that sends on its
// own costs little.
//
// Two passes: the first gives each speed a short wait for the first byte, so that a prompt
// display is found quickly; when that proves no display, the second gives each speed a long
// one, for a display that starts its answer late.

#include "ByteString.h"
#include "untSearchResult.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TCommConnection;

// The bytes sent at a speed not yet proven: the settings request.
const ByteString& SearchProbe();

// The display's speeds in the order they are tried: `firstRate` (when it is one of them), then
// 9600 (the factory speed), then the others from the slowest up.
std::vector<int> SearchOrder(int firstRate);

// One speed on a connection open at `rate`: sends the probe, and the handshakes only when the
// reply looks like the display's. Needs the thread's event loop; never raises.
TSpeedTry ProbeSpeed(TCommConnection& connection, const std::string& portName, int rate,
                     const TSearchTiming& timing, std::optional<TFoundDisplay>& found);

// One port, speed after speed, on the calling thread (with its event loop): opens the port at
// each speed in turn, in two passes, and stops at the first one proven. Before each speed
// `stopped` is asked, then `trying` is told.
TPortSearch SearchPort(TCommConnection& connection, const std::string& portName,
                       const std::vector<int>& rates, const TSearchTiming& timing,
                       const std::function<bool()>& stopped = {},
                       const std::function<void(int rate)>& trying = {});

// Several ports side by side, each on a thread of its own with its own connection.
class TDisplaySearch {
public:
    TDisplaySearch();
    ~TDisplaySearch();
    TDisplaySearch(const TDisplaySearch&) = delete;
    TDisplaySearch& operator=(const TDisplaySearch&) = delete;

    // Searches every port of the request (each once, in the order first named) and returns
    // when all are done; the calling thread's
    // event loop runs meanwhile (a QCoreApplication must exist). When that loop is told to
    // quit, the search ends at once as cancelled.
    TSearchResult Run(const TSearchRequest& request);
    // From the thread running Run (a queued call, a signal handled in its loop): every port's
    // search ends at its next wait, the ports released; the result says so.
    void Cancel();

private:
    struct TState;
    std::shared_ptr<TState> state_;
};

// The whole search on the calling thread (see TDisplaySearch::Run).
TSearchResult FindDisplay(const TSearchRequest& request);
// The speed of the display on one port, for a caller that was given none: the port's search,
// starting at `firstRate`.
TPortSearch FindDisplayOnPort(const std::string& portName, int firstRate = 9600,
                              const TSearchTiming& timing = {});
