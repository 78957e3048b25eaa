// SPDX-License-Identifier: Apache-2.0
#pragma once

// Ctrl-C (SIGINT) and SIGTERM while vylctl runs: the signal is only noted, and the event loop
// of the thread that created the watch then runs the reaction (cancel the running action), so
// that the action ends at its next wait and closes the port itself.

#include <QObject>

#include <functional>

class QSocketNotifier;

class TInterruptWatch : public QObject {
public:
    // One watch at a time; it restores the previous handlers when it goes.
    explicit TInterruptWatch(std::function<void()> onInterrupt);
    ~TInterruptWatch() override;
    TInterruptWatch(const TInterruptWatch&) = delete;
    TInterruptWatch& operator=(const TInterruptWatch&) = delete;

    // The number of the last signal that came, 0 when none did.
    int Signal() const;

private:
    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
};
