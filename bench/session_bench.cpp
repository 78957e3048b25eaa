// SPDX-License-Identifier: Apache-2.0
// How fast the utility answers a display, seen from the display: the time from the display's
// handshake answer to the next frame it receives, for the window's "Setting" of the command set
// (handshake, then 02 43 xx) run through the display session while the window is shown, against
// a minimal client on raw termios doing the same exchange on the same kind of pty. Both are
// timed alike, from the virtual display's trace (it answers at once: --instant).
//
// The three series run interleaved, so that whatever else loads the machine loads them alike:
//  - window:  a click on the command set's "Setting", until the window is idle again;
//  - session: the same action started on a display session of its own (the window shown, idle);
//  - minimal: open, raw 8N1, handshake request, read 35 bytes with poll, the frame at once, close.
//
// The platform is Qt's: offscreen unless QT_QPA_PLATFORM says otherwise. With xcb and no
// DISPLAY the bench starts an X server of its own (Xvfb).
// Usage: vyl_session_bench [actions per series, default 300] [--real-boxes]
// With --real-boxes the window's message boxes ("Done!") are the real ones, shown and dismissed
// at once; otherwise a hook answers them unseen.
// VYL_BENCH_BUSY_AFTER_WRITE_US=N keeps the minimal client busy for N us after its frame's write
// (before it closes): its answer-to-frame time then grows by about N on a loaded machine, the
// cost a program pays for work it does on the writing thread right after its last frame.
// Targets (printed, not asserted): the window's median and p99 within 1.5 times the minimal
// client's.

#include "BenchHandshake.h"
#include "BenchSeries.h"
#include "BenchSupport.h"
#include "BoxCloser.h"
#include "frmuVylSetup.h"
#include "untApplication.h"
#include "untDisplaySession.h"
#include "untMessageBox.h"
#include "untSystemInfo.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <poll.h>
#include <random>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// The floor: the same exchange with nothing between the program and the pty but the system.
// True when the display answered the challenge rightly.
bool MinimalExchange(const std::string& device, const TRequest& request, const ByteString& frame,
                     std::chrono::microseconds busyAfterWrite, std::string& error) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = "open " + device + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    tcflush(fd, TCIFLUSH);
    ByteString reply;
    bool written = write(fd, request.Frame.data(), request.Frame.size()) ==
                   static_cast<ssize_t>(request.Frame.size());
    const auto limit = Clock::now() + 500ms;
    while (written && reply.size() < 35) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(limit - Clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count()) + 1) != 1)
            break;
        char buf[64];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        reply.append(buf, static_cast<std::size_t>(n));
    }
    if (reply.size() >= 35) {
        written = write(fd, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size());
        // A pty hands written bytes to its reader through a kernel worker, which on a busy
        // machine waits for the writer's processor: staying busy after the write delays the
        // frame's arrival by as long (see the usage note).
        const auto busyUntil = Clock::now() + busyAfterWrite;
        while (Clock::now() < busyUntil) {
        }
    }
    close(fd);
    if (reply.size() < 35 || !written) {
        error = "the display did not answer the handshake";
        return false;
    }
    // Checked after the frame has gone: the floor does no more than the wire needs.
    if (!AnswersChallenge(reply, request)) {
        error = "the display's answer did not decipher to the challenge";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool realBoxes = std::erase(args, std::string("--real-boxes")) > 0;
    const int actions = args.empty() ? 300 : std::max(1, std::atoi(args[0].c_str()));
    const char* busy = std::getenv("VYL_BENCH_BUSY_AFTER_WRITE_US");
    const std::chrono::microseconds busyAfterWrite(busy != nullptr ? std::atoi(busy) : 0);
    TBenchPlatform platform;
    if (!platform.Start())
        return 1;
    std::string error;

    TBenchDisplay display(VYL_VIRTUAL_DISPLAY, "VylBench-" + std::to_string(getpid()),
                          {"--instant"});
    if (!display.Start(error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }

    TVylApplication application(argc, argv);
    TfrmVylSetup form;
    std::map<std::string, int> hooked;
    TBoxCloser closer;
    if (realBoxes)
        application.installEventFilter(&closer);
    else
        SetMessageBoxHook([&hooked](const TMessageBoxCall& call) {
            ++hooked[call.Text.toStdString()];
            return TMsgResult::Ok;
        });
    const std::map<std::string, int>& boxes = realBoxes ? closer.Shown : hooked;
    form.show();
    if (!PumpUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 10s))
        std::printf("note: the window was not exposed within 10 s\n");

    form.btn_enumComPorts->click();
    const int index = form.cbb_SerialPort->findText(QString::fromStdString(display.PortName()));
    if (index < 0) {
        std::printf("the window does not list port %s\n", display.PortName().c_str());
        return 1;
    }
    form.cbb_SerialPort->setCurrentIndex(index);
    emit form.cbb_SerialPort->activated(index);

    TDisplaySession ownSession;
    ownSession.SetTarget({display.PortName(), form.CurrentBaudRate()});
    TTraceReader reader(display.TracePath());
    reader.ReadNew();
    std::mt19937 random(std::random_device{}());
    const ByteString commandFrame("\x02\x43\x30", 3);

    TSeries window{"window", {}, {}, 0};
    TSeries session{"session", {}, {}, 0};
    TSeries minimal{"minimal", {}, {}, 0};
    const auto runWindow = [&] {
        // The loop sleeps until the session has finished: no timer of ours wakes this thread
        // while the exchange runs. The window ends its action in a queued call after the result,
        // which comes before the quit queued here.
        QEventLoop loop;
        const auto finished = QObject::connect(&form.Session(), &TDisplaySession::Finished, &loop,
                                               &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(10s, &loop, &QEventLoop::quit);
        form.btn_commandSet->click();
        if (form.ActionRunning())
            loop.exec();
        QObject::disconnect(finished);
        return PumpUntil([&] { return !form.ActionRunning(); }, 10s);
    };
    const auto runSession = [&] {
        if (!ownSession.SetCommand(0))
            return false;
        const TActionResult result = ownSession.WaitForResult();
        return result.HandShake == 0 && result.Sent;
    };
    const auto runMinimal = [&] {
        const TRequest request = StandardRequest(random);
        std::string why;
        const bool ok =
            MinimalExchange(display.DevicePath(), request, commandFrame, busyAfterWrite, why);
        if (!ok)
            std::printf("minimal client: %s\n", why.c_str());
        return ok;
    };

    std::printf("platform %s, %d actions per series, virtual display --instant on %s, load "
                "average %s\n",
                platform.Description().c_str(), actions, display.DevicePath().c_str(),
                LoadAverage().c_str());
    if (busyAfterWrite.count() > 0)
        std::printf("the minimal client stays busy %lld us after its frame's write\n",
                    static_cast<long long>(busyAfterWrite.count()));
    const auto t0 = Clock::now();
    // One of each first, not counted: the first run loads what later runs find ready.
    for (int i = -1; i < actions; ++i) {
        Measure(window, reader, runWindow, i >= 0);
        Measure(session, reader, runSession, i >= 0);
        Measure(minimal, reader, runMinimal, i >= 0);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();

    std::printf("from the display's handshake answer to the next frame it received (its trace):\n");
    PrintSeries(window);
    PrintSeries(session);
    PrintSeries(minimal);
    const TDistribution w = Distribution(window.GapMicros);
    const TDistribution s = Distribution(session.GapMicros);
    const TDistribution m = Distribution(minimal.GapMicros);
    if (m.N > 0 && m.Median > 0) {
        std::printf("ratio to the minimal client: window median %.2fx, p99 %.2fx; session median "
                    "%.2fx, p99 %.2fx\n",
                    w.Median / m.Median, w.P99 / m.P99, s.Median / m.Median, s.P99 / m.P99);
        std::printf("targets: window median <= 1.5x minimal (%s), window p99 <= 1.5x minimal "
                    "(%s)\n",
                    w.Median <= 1.5 * m.Median ? "met" : "missed",
                    w.P99 <= 1.5 * m.P99 ? "met" : "missed");
    }
    std::printf("message boxes shown%s:", realBoxes ? " (real, dismissed at once)" : "");
    for (const auto& [text, count] : boxes)
        std::printf(" \"%s\" x%d", text.c_str(), count);
    std::printf("\nran %.1f s, load average now %s\n", seconds, LoadAverage().c_str());
    SetMessageBoxHook({});
    return 0;
}
