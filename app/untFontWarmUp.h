// SPDX-License-Identifier: Apache-2.0
#pragma once

// Reading the system's font configuration (fontconfig: its XML files and the font caches) is the
// longest single step of a start on Linux, and the window cannot lay out a label before it is done.
// TFontWarmUp starts it on a thread of its own while the application object connects to the
// platform; Join waits for it before the first font is asked for. Where fonts come from elsewhere
// (Windows) both do nothing.

#include <thread>

class TFontWarmUp {
public:
    TFontWarmUp();
    ~TFontWarmUp();
    TFontWarmUp(const TFontWarmUp&) = delete;
    TFontWarmUp& operator=(const TFontWarmUp&) = delete;

    // Returns once the configuration is loaded (at once if it was, or on a second call).
    void Join();

private:
    std::thread thread_;
};
