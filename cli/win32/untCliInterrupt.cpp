// SPDX-License-Identifier: Apache-2.0
// Ctrl-C, Ctrl-Break, closing the console window, logging off and shutting down: Windows calls
// the console handler on a thread of its own. It only notes the event and wakes the watch's
// event loop; for the three that end the process as soon as the handler returns, it waits
// (at most a second) until the program has ended its action and is on its way out.
#include "untCliInterrupt.h"

#include <QWinEventNotifier>

#include <atomic>
#include <csignal>

#include <windows.h>

namespace {

HANDLE wakeEvent = nullptr;
HANDLE doneEvent = nullptr;
std::atomic<int> lastSignal{0};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    // The exit code says which: 128 + SIGINT for an interrupt, 128 + SIGTERM for the rest.
    lastSignal = interrupt ? SIGINT : SIGTERM;
    SetEvent(wakeEvent);
    if (!interrupt)
        WaitForSingleObject(doneEvent, 1000);
    return TRUE;
}

} // namespace

TInterruptWatch::TInterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)) {
    wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    doneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    lastSignal = 0;
    auto* const notifier = new QWinEventNotifier(wakeEvent, this);
    connect(notifier, &QWinEventNotifier::activated, this, [this] {
        if (onInterrupt_)
            onInterrupt_();
    });
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

TInterruptWatch::~TInterruptWatch() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    // A handler waiting for the end may let the system end the process now.
    SetEvent(doneEvent);
    delete findChild<QWinEventNotifier*>();
    CloseHandle(wakeEvent);
    wakeEvent = nullptr;
}

int TInterruptWatch::Signal() const {
    return lastSignal;
}
