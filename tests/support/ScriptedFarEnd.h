// SPDX-License-Identifier: Apache-2.0
#pragma once

// A display played by a test on the master of a PtyPair: it waits for one request of a known
// length, then (after an optional delay) writes whatever the test's answer function returns.

#include "ByteString.h"
#include "PtyPair.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

class ScriptedFarEnd {
public:
    using Answer = std::function<ByteString(const ByteString& request)>;

    ScriptedFarEnd(PtyPair& pty, std::size_t requestLength, Answer answer,
                   std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    ~ScriptedFarEnd(); // waits for the script to end (it gives up 5 s after its start)
    ScriptedFarEnd(const ScriptedFarEnd&) = delete;
    ScriptedFarEnd& operator=(const ScriptedFarEnd&) = delete;

    // The request as the far end read it; call after the exchange.
    ByteString Request();

private:
    std::mutex mutex_;
    ByteString request_;
    std::thread thread_;
};
