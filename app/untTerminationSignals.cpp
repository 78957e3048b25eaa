// SPDX-License-Identifier: Apache-2.0
// SIGTERM, SIGHUP and SIGINT: the handler writes a byte, the event loop closes the windows.
#include "untApplication.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> TerminationSignals{SIGTERM, SIGHUP, SIGINT};

// The handler may only write to a descriptor; the event loop does the rest.
int SignalPipe[2] = {-1, -1};
std::array<struct sigaction, TerminationSignals.size()> PreviousActions{};

extern "C" void OnTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TTerminationSignals::TTerminationSignals() {
    if (SignalPipe[0] >= 0)
        throw std::logic_error("TTerminationSignals exists already");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, SignalPipe) != 0)
        throw std::runtime_error("socketpair failed");
    auto notifier = std::make_unique<QSocketNotifier>(SignalPipe[1], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
        char bytes[16];
        while (::read(SignalPipe[1], bytes, sizeof bytes) > 0) {
        }
        // A window that runs an action closes when it ends; the last window ends the program.
        QApplication::closeAllWindows();
    });
    watch_ = std::move(notifier);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < TerminationSignals.size(); ++i)
        ::sigaction(TerminationSignals[i], &action, &PreviousActions[i]);
}

TTerminationSignals::~TTerminationSignals() {
    for (std::size_t i = 0; i < TerminationSignals.size(); ++i)
        ::sigaction(TerminationSignals[i], &PreviousActions[i], nullptr);
    watch_.reset();
    ::close(SignalPipe[0]);
    ::close(SignalPipe[1]);
    SignalPipe[0] = SignalPipe[1] = -1;
}
