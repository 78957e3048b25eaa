// SPDX-License-Identifier: Apache-2.0
#pragma once

// Reading the system's font configuration (fontconfig: its XML files and the font caches) is the
// longest single step of a start on Linux, and the window cannot lay out a label before it is done.
// TFontWarmUp offers it to a thread of its own while the application object connects to the
// platform; Join, called before the first font is asked for, waits for that thread only if it
// has begun: a thread that is still waiting to run (an idle processor can take a millisecond or
// more to wake) would only be waited for, so the caller reads the configuration itself. Where
// fonts come from elsewhere (Windows) both do nothing.

#include <atomic>
#include <functional>
#include <thread>

class TFontWarmUp {
public:
    TFontWarmUp();
    ~TFontWarmUp();
    TFontWarmUp(const TFontWarmUp&) = delete;
    TFontWarmUp& operator=(const TFontWarmUp&) = delete;

    // Returns once the configuration is loaded (at once if it was, or on a second call). While
    // it is still loading on the other thread, `meanwhile` runs here first.
    void Join(const std::function<void()>& meanwhile = {});

private:
    // Whoever takes the load first (the thread or Join) does it; the other does not.
    bool TakeLoad() { return !taken_.exchange(true); }

    std::atomic<bool> taken_{false};
    bool loaded_ = false;
    std::thread thread_;
};
