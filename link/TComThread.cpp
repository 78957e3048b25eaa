// SPDX-License-Identifier: Apache-2.0
#include "TComPort.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/epoll.h>
#include <unistd.h>

struct TComThread::TShared {
    TCustomComPort* port = nullptr;
    int epollFd = -1;
    // Owned here; null where the opening thread has no event loop (nothing is delivered).
    QSocketNotifier* notifier = nullptr;

    TShared() = default;
    TShared(const TShared&) = delete;
    TShared& operator=(const TShared&) = delete;
    ~TShared() {
        // Qt allows a notifier to be deleted from inside its own activation, which is where a
        // handler that closes the port ends up.
        delete notifier;
        if (epollFd >= 0)
            close(epollFd);
    }
};

namespace {

[[noreturn]] void RaiseOsError(int err) {
    throw EComError(std::strerror(err), err);
}

} // namespace

// Takes the events the epoll set holds (which makes the notifier quiet again until the next
// edge) and hands them to the port. The port, and this watcher with it, may be gone when a
// handler returns: nothing is touched after a hand-off.
void TComThread::Deliver(TShared& shared) {
    epoll_event events[4];
    int n;
    do
        n = epoll_wait(shared.epollFd, events, 4, 0);
    while (n < 0 && errno == EINTR);
    bool arrived = false;
    bool hungUp = n < 0;
    for (int i = 0; i < n; ++i) {
        // Hang-up first: a hung-up tty also reports readable, and reading it gives 0.
        if (events[i].events & (EPOLLHUP | EPOLLERR))
            hungUp = true;
        else if (events[i].events & EPOLLIN)
            arrived = true;
    }
    TCustomComPort* const port = shared.port;
    if (port == nullptr)
        return;
    if (hungUp)
        port->DispatchHangUp();
    else if (arrived)
        port->DispatchRxChar();
}

TComThread::TComThread(TCustomComPort& port, int portFd) : shared_(std::make_unique<TShared>()) {
    shared_->port = &port;
    shared_->epollFd = epoll_create1(EPOLL_CLOEXEC);
    if (shared_->epollFd < 0)
        RaiseOsError(errno);
    // Edge-triggered: one wake-up per arrival of bytes, none while they lie unread, so a
    // port whose bytes nobody reads costs no CPU.
    epoll_event portEvent{};
    portEvent.events = EPOLLIN | EPOLLET;
    if (epoll_ctl(shared_->epollFd, EPOLL_CTL_ADD, portFd, &portEvent) != 0)
        RaiseOsError(errno);
    if (QAbstractEventDispatcher::instance() == nullptr)
        return;
    shared_->notifier = new QSocketNotifier(shared_->epollFd, QSocketNotifier::Read);
    TShared* const shared = shared_.get();
    QObject::connect(shared_->notifier, &QSocketNotifier::activated, shared_->notifier,
                     [shared] { Deliver(*shared); });
}

TComThread::~TComThread() {
    Stop();
}

void TComThread::Stop() {
    if (!shared_)
        return;
    shared_->port = nullptr;
    if (shared_->notifier != nullptr)
        shared_->notifier->setEnabled(false);
    shared_.reset();
}
