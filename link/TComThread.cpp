#include "TComPort.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

// Shared by the port (through its TComThread), the thread and every hand-off in flight; the
// last of them to let go closes the descriptors.
struct TComThread::TShared {
    enum State { Idle, HandingOff, Stopped };
    std::atomic<int> state{Idle};
    TCustomComPort* port = nullptr; // UI thread only; null once the port has closed
    int epollFd = -1;
    int wakeFd = -1;

    TShared() = default;
    TShared(const TShared&) = delete;
    TShared& operator=(const TShared&) = delete;
    ~TShared() {
        if (epollFd >= 0)
            close(epollFd);
        if (wakeFd >= 0)
            close(wakeFd);
    }
};

namespace {

constexpr std::uint32_t PortTag = 0;
constexpr std::uint32_t WakeTag = 1;

[[noreturn]] void RaiseOsError(int err) {
    throw EComError(std::strerror(err), err);
}

} // namespace

TComThread::TComThread(TCustomComPort& port, int portFd) : shared_(std::make_shared<TShared>()) {
    shared_->port = &port;
    shared_->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (shared_->wakeFd < 0)
        RaiseOsError(errno);
    shared_->epollFd = epoll_create1(EPOLL_CLOEXEC);
    if (shared_->epollFd < 0)
        RaiseOsError(errno);
    // Edge-triggered: one wake-up per arrival of bytes, none while they lie unread, so a
    // port whose bytes nobody reads costs no CPU.
    epoll_event portEvent{};
    portEvent.events = EPOLLIN | EPOLLET;
    portEvent.data.u32 = PortTag;
    if (epoll_ctl(shared_->epollFd, EPOLL_CTL_ADD, portFd, &portEvent) != 0)
        RaiseOsError(errno);
    epoll_event wakeEvent{};
    wakeEvent.events = EPOLLIN;
    wakeEvent.data.u32 = WakeTag;
    if (epoll_ctl(shared_->epollFd, EPOLL_CTL_ADD, shared_->wakeFd, &wakeEvent) != 0)
        RaiseOsError(errno);
    try {
        thread_ = std::thread(&TComThread::Run, shared_);
    } catch (const std::system_error&) {
        throw EComError("Can't create thread", 0);
    }
}

TComThread::~TComThread() {
    Stop();
}

void TComThread::Stop() {
    if (!shared_)
        return;
    shared_->port = nullptr; // hand-offs still queued now do nothing
    const int previous = shared_->state.exchange(TShared::Stopped);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(shared_->wakeFd, &one, sizeof one);
    if (thread_.joinable()) {
        // A thread blocked handing an event to this (the UI) thread cannot finish before
        // we return: it is left to end by itself, owning its share of the state.
        if (previous == TShared::HandingOff)
            thread_.detach();
        else
            thread_.join();
    }
    shared_.reset();
}

void TComThread::Run(std::shared_ptr<TShared> shared) {
    for (;;) {
        epoll_event events[4];
        const int n = epoll_wait(shared->epollFd, events, 4, -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (shared->state.load() == TShared::Stopped)
            return;
        bool arrived = false;
        bool failed = n < 0;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.u32 == WakeTag)
                return;
            // Hang-up first: a hung-up tty also reports readable, and reading it gives 0.
            if (events[i].events & (EPOLLHUP | EPOLLERR))
                failed = true;
            else if (events[i].events & EPOLLIN)
                arrived = true;
        }
        QCoreApplication* app = QCoreApplication::instance();
        if (failed) {
            // The device has gone: the port closes on the UI thread, and the next write
            // raises there.
            if (app != nullptr)
                QMetaObject::invokeMethod(
                    app,
                    [shared] {
                        if (shared->port != nullptr)
                            shared->port->Close();
                    },
                    Qt::QueuedConnection);
            return;
        }
        if (!arrived || app == nullptr)
            continue;
        int expected = TShared::Idle;
        if (!shared->state.compare_exchange_strong(expected, TShared::HandingOff))
            return;
        QMetaObject::invokeMethod(
            app,
            [shared] {
                if (shared->port != nullptr)
                    shared->port->DispatchRxChar();
            },
            Qt::BlockingQueuedConnection);
        expected = TShared::HandingOff;
        if (!shared->state.compare_exchange_strong(expected, TShared::Idle))
            return;
    }
}
