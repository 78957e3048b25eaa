// SPDX-License-Identifier: Apache-2.0
#include "untCliInterrupt.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int wakeRead = -1;
int wakeWrite = -1;
volatile std::sig_atomic_t lastSignal = 0;
struct sigaction previousInt {};
struct sigaction previousTerm {};

void OnSignal(int signal) {
    lastSignal = signal;
    const char byte = 1;
    // Nothing else is safe here; a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &byte, 1);
}

} // namespace

TInterruptWatch::TInterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    wakeRead = fds[0];
    wakeWrite = fds[1];
    lastSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on: the signal is handled in the event loop, not where it hit.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
    notifier_ = new QSocketNotifier(wakeRead, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeRead, bytes, sizeof bytes) > 0) {
        }
        if (onInterrupt_)
            onInterrupt_();
    });
}

TInterruptWatch::~TInterruptWatch() {
    if (wakeRead < 0)
        return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    delete notifier_;
    ::close(wakeRead);
    ::close(wakeWrite);
    wakeRead = -1;
    wakeWrite = -1;
}

int TInterruptWatch::Signal() const {
    return lastSignal;
}
