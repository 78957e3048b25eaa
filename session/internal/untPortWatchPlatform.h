// SPDX-License-Identifier: Apache-2.0
#pragma once

// The operating system's side of TPortWatch, one implementation per OS.

#include "untPortWatch.h"

#include <functional>

class TPortWatch::TPlatform {
public:
    // Once started, `notify` runs on the owner's thread at every change seen.
    TPlatform(QObject* owner, std::function<void()> notify);
    ~TPlatform();
    TPlatform(const TPlatform&) = delete;
    TPlatform& operator=(const TPlatform&) = delete;

    void Start();

private:
    struct TState;
    std::unique_ptr<TState> state_;
};
