// SPDX-License-Identifier: Apache-2.0
#include "untFontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

// FcInit keeps what it loads as fontconfig's current configuration, which Qt's own FcInit then
// finds ready. Qt must not start its own load meanwhile (both would load, one in vain): the
// application object joins before any font is resolved.
TFontWarmUp::TFontWarmUp() {
    try {
        thread_ = std::thread([this] {
            if (TakeLoad())
                FcInit();
        });
    } catch (const std::system_error&) {
        // No thread to be had: Join loads it.
    }
}

TFontWarmUp::~TFontWarmUp() {
    // A thread that lost the load to Join ends as soon as it runs.
    if (thread_.joinable())
        thread_.join();
}

void TFontWarmUp::Join(const std::function<void()>& meanwhile) {
    if (loaded_)
        return;
    loaded_ = true;
    if (TakeLoad()) {
        FcInit();
        return;
    }
    if (meanwhile)
        meanwhile();
    if (thread_.joinable())
        thread_.join();
}
