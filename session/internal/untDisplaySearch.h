// SPDX-License-Identifier: Apache-2.0
#pragma once

// Finding the display: on which port, at which of its five speeds. A speed counts only when a
// reply there proves the display: its settings document, or an answer to a handshake that
// deciphers to the challenge.
//
// The one probe sent at a speed not yet proven is the settings request. A display at another
// speed reads it garbled, and every garbled form of it at every pair of the five speeds is
// made of bytes that start no command (no 02, 0B, 0C or 1F): at worst stray characters appear
// on the display's screen; no setting changes and no answer comes. The handshakes, whose
// ciphertext is random, go out only at a speed where something answered the request.

#include "ByteString.h"
#include "untSearchResult.h"

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

// One speed on a connection open at `rate`: sends the probe, and the handshakes only when
// something answered it. Needs the thread's event loop; never raises.
TSpeedTry ProbeSpeed(TCommConnection& connection, const std::string& portName, int rate,
                     const TSearchTiming& timing, std::optional<TFoundDisplay>& found);

// One port, speed after speed, on the calling thread (with its event loop): opens the port at
// each speed in turn and stops at the first one proven. Before each speed `stopped` is asked,
// then `trying` is told.
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
