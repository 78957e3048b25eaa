// SPDX-License-Identifier: Apache-2.0
#pragma once

// The one way this program waits on a thread with an event loop: the thread sleeps in a nested
// event loop, so receive events, queued calls and (on the UI thread) painting go on. A wait
// ends at its deadline, when woken, or at once when the thread's event loop is quitting: after
// QThread::quit() a nested loop returns immediately, and a wait that went on looping would spin
// until its deadline.

#include <chrono>

class QEventLoop;

class TEventWait {
public:
    using Clock = std::chrono::steady_clock;
    enum class TEnd { Deadline, Woken, Quit };

    TEventWait() = default;
    TEventWait(const TEventWait&) = delete;
    TEventWait& operator=(const TEventWait&) = delete;

    // Without an application object the thread simply sleeps until the deadline.
    TEnd WaitUntil(Clock::time_point deadline);
    // From the waiting thread (a receive event, a queued call): ends the wait in progress.
    // Without a wait in progress it does nothing.
    void Wake();

private:
    QEventLoop* loop_ = nullptr;
};
