// SPDX-License-Identifier: Apache-2.0
// Soak of the real window against the virtual display: its buttons clicked as a user would, each
// action's real message boxes shown and dismissed, offscreen. Quick actions in turn (brightness,
// command set, speed, Get Setting, a test page range, Display Text, Find Display), then welcome and
// code page Settings (their pauses are long). Printed at 0, half way and the end of the quick
// actions: heap in use (mallinfo2), resident memory, threads and descriptors; and the heap's
// slope over the second half, fitted through samples taken every 10 actions.
//
// Usage: vyl_window_soak_bench [quick actions, default 1000] [welcome and code page Settings each,
//        default 20] [--check] [--paced]
// The display answers at once unless --paced (then at its line speed, as the hardware does).
// With --check the program fails (exit 1) when the heap grows by more than 0.1 kB per action
// over the second half, or when threads or descriptors are not back to where they were at 0.

#include "BenchSupport.h"
#include "BoxCloser.h"
#include "frmuVylSetup.h"
#include "untApplication.h"
#include "untDisplaySession.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

constexpr double SlopeLimitKbPerAction = 0.1;
constexpr int SampleEvery = 10;

std::size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Anonymous resident memory (heaps, thread stacks), in kB.
long RssAnonKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, "RssAnon:", 8) == 0)
            kb = std::strtol(line + 8, nullptr, 10);
    std::fclose(status);
    return kb;
}

struct TSample {
    int Actions = 0;
    std::size_t Heap = 0;
    long AnonKb = 0;
    TProcessFigures Process;
};

TSample Sample(int actions) {
    // Work the window has posted to itself (the end of an action) is done first.
    QCoreApplication::processEvents();
    return {actions, HeapInUse(), RssAnonKb(), ProcessFigures()};
}

// The offscreen platform says at every box that it cannot pass size hints on: said once is enough.
QtMessageHandler StandardHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    static bool told = false;
    if (text.contains(QLatin1String("propagateSizeHints"))) {
        if (told)
            return;
        told = true;
    }
    StandardHandler(type, context, text);
}

// Least-squares slope of heap over actions, in bytes per action.
double Slope(const std::vector<TSample>& samples) {
    const double n = static_cast<double>(samples.size());
    if (n < 2)
        return 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const TSample& s : samples) {
        const double x = s.Actions;
        const double y = static_cast<double>(s.Heap);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double d = n * sxx - sx * sx;
    return d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

void Print(const char* when, const TSample& s) {
    std::printf("  %-24s heap in use %8.1f kB  VmRSS %7.1f MB (anonymous %7.1f MB)  threads %2zu  "
                "descriptors %3zu\n",
                when, static_cast<double>(s.Heap) / 1024.0, s.Process.RssKb / 1024.0,
                s.AnonKb / 1024.0, s.Process.Threads, s.Process.Fds);
}

// Clicks and serves the event loop until the window's action, its boxes and its queued end are
// over. The elapsed milliseconds, or -1 when the action did not end within `limit`.
double Press(TfrmVylSetup& form, QAbstractButton* button, Clock::duration limit) {
    const auto start = Clock::now();
    button->click();
    while (form.ActionRunning()) {
        if (Clock::now() - start > limit)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void SettleFor(Clock::duration span) {
    const auto limit = Clock::now() + span;
    while (Clock::now() < limit) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Waits until the process's threads are back to `idle` (a joined thread leaves a moment later).
void SettleThreads(std::size_t idle) {
    const auto limit = Clock::now() + std::chrono::seconds(2);
    while (ProcessFigures().Threads > idle && Clock::now() < limit) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool check = std::erase(args, std::string("--check")) > 0;
    const bool paced = std::erase(args, std::string("--paced")) > 0;
    const int quick = args.size() > 0 ? std::max(2, std::atoi(args[0].c_str())) : 1000;
    const int slow = args.size() > 1 ? std::max(0, std::atoi(args[1].c_str())) : 20;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    StandardHandler = qInstallMessageHandler(QuietHandler);

    TBenchDisplay display(VYL_VIRTUAL_DISPLAY, "VylWindowSoak-" + std::to_string(getpid()),
                          paced ? std::vector<std::string>{}
                                : std::vector<std::string>{"--instant"});
    std::string error;
    if (!display.Start(error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }

    TVylApplication application(argc, argv);
    TBoxCloser boxes;
    application.installEventFilter(&boxes);
    TfrmVylSetup form;
    form.show();
    form.btn_enumComPorts->click();
    const int port = form.cbb_SerialPort->findText(QString::fromStdString(display.PortName()));
    if (port < 0) {
        std::printf("the window does not list port %s\n", display.PortName().c_str());
        return 1;
    }
    form.cbb_SerialPort->setCurrentIndex(port);
    emit form.cbb_SerialPort->activated(port);
    // The speed Setting sends the speed the display has, so every action finds it there.
    form.cbb_BaudRate_Set->setCurrentIndex(form.cbb_BaudRate->currentIndex());

    const std::vector<std::pair<const char*, QAbstractButton*>> quickButtons = {
        {"brightness", form.btn_brightness_set}, {"command set", form.btn_commandSet},
        {"speed", form.btn_baudrateSet},         {"Get Setting", form.btn_GetSetting},
        {"test range", form.btn_809F()},         {"Display Text", form.btn_TextSend()},
        {"Find Display", form.btn_FindDisplay},
    };
    std::printf("window soak: %d quick actions, then %d welcome and %d code page Settings; "
                "virtual display %s on %s\n",
                quick, slow, slow, paced ? "paced at 9600 bit/s" : "--instant",
                display.PortName().c_str());

    // One of each first, not counted: what the first use of each loads is no growth.
    for (const auto& [name, button] : quickButtons)
        if (Press(form, button, std::chrono::seconds(15)) < 0) {
            std::printf("warm-up: %s did not end\n", name);
            return 1;
        }
    // The warm-up's threads have ended; the window's own (Qt's, the session's) remain.
    SettleFor(std::chrono::milliseconds(300));
    // The bench's own records are reserved before the first sample: their growth is not the
    // window's.
    std::vector<TSample> samples;
    samples.reserve(static_cast<std::size_t>(quick / SampleEvery + 2));
    std::map<std::string, std::vector<double>> millis;
    for (const auto& [name, button] : quickButtons)
        millis[name].reserve(static_cast<std::size_t>(quick) / quickButtons.size() + 1);
    samples.push_back(Sample(0));
    const TSample idle = samples.front();
    int stuck = 0;
    const auto t0 = Clock::now();
    for (int i = 1; i <= quick; ++i) {
        const auto& [name, button] =
            quickButtons[static_cast<std::size_t>(i) % quickButtons.size()];
        const double ms = Press(form, button, std::chrono::seconds(15));
        if (ms < 0) {
            ++stuck;
            break;
        }
        millis[name].push_back(ms);
        if (i % SampleEvery == 0)
            samples.push_back(Sample(i));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    SettleThreads(idle.Process.Threads);
    const TSample end = Sample(quick);

    for (int i = 0; i < slow && stuck == 0; ++i)
        for (QAbstractButton* button : {static_cast<QAbstractButton*>(form.btn_DownloadSetting),
                                        static_cast<QAbstractButton*>(form.btn_DownloadCodePage())})
            if (Press(form, button, std::chrono::seconds(30)) < 0)
                ++stuck;
    SettleThreads(idle.Process.Threads);
    const TSample afterSlow = Sample(quick + 2 * slow);

    std::printf("quick actions: %d in %.1f s\n", quick, seconds);
    for (const auto& [name, ms] : millis) {
        const TDistribution d = Distribution(ms);
        std::printf("  %-13s median %7.2f ms  p99 %7.2f ms  max %7.2f ms  n %zu\n", name.c_str(),
                    d.Median, d.P99, d.Max, d.N);
    }
    std::printf("this process:\n");
    Print("at 0", idle);
    const auto half = std::find_if(samples.begin(), samples.end(),
                                   [&](const TSample& s) { return s.Actions >= quick / 2; });
    if (half != samples.end())
        Print(("at " + std::to_string(half->Actions)).c_str(), *half);
    Print(("at " + std::to_string(quick)).c_str(), end);
    if (slow > 0)
        Print(("after " + std::to_string(2 * slow) + " long Settings").c_str(), afterSlow);
    std::vector<TSample> secondHalf(half, samples.end());
    const double slopeKb = Slope(secondHalf) / 1024.0;
    std::printf("heap slope over the second half: %.3f kB per action (limit %.1f)\n", slopeKb,
                SlopeLimitKbPerAction);
    std::printf("message boxes:");
    for (const auto& [text, count] : boxes.Shown)
        std::printf(" \"%s\" x%d", text.c_str(), count);
    std::printf("\n");

    bool failed = stuck > 0;
    if (stuck > 0)
        std::printf("FAILED: an action did not end\n");
    if (check && slopeKb > SlopeLimitKbPerAction) {
        std::printf("FAILED: the heap grows by %.3f kB per action\n", slopeKb);
        failed = true;
    }
    const auto backToIdle = [&](const TSample& s) {
        return s.Process.Threads <= idle.Process.Threads && s.Process.Fds <= idle.Process.Fds;
    };
    if (check && !(backToIdle(end) && backToIdle(afterSlow))) {
        std::printf("FAILED: threads or descriptors not back to idle\n");
        failed = true;
    }
    return failed ? 1 : 0;
}
