// SPDX-License-Identifier: Apache-2.0
// Start-up figures of the program: from launching a fresh process to the main window's first
// paint, and the process's peak memory (VmHWM) at that moment. Targets: <= 300 ms, <= 80 MB.
//
// Each run is a new process (this program started again with --once), so dynamic loading, the
// application object, fonts, the window with all its controls, the port list and the first
// paint are all in the figure. The window is shown on the platform Qt picks (offscreen unless
// QT_QPA_PLATFORM says otherwise).
// Usage: vyl_startup_bench [runs, default 10]

#include "frmuVylSetup.h"
#include "untApplication.h"

#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using Clock = std::chrono::steady_clock;

namespace {

long PeakMemoryKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Reports on the first paint of the window, then ends the event loop.
class TFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // The figure is taken after this paint has been handled.
            QTimer::singleShot(0, [] {
                std::printf("%ld\n", PeakMemoryKb());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

int RunOnce(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TVylApplication application(argc, argv);
    TfrmVylSetup form;
    TFirstPaint firstPaint;
    form.installEventFilter(&firstPaint);
    form.show();
    return TVylApplication::exec();
}

struct TRun {
    double Ms = 0;
    long PeakKb = -1;
};

// Starts this program with --once and waits for its report line.
bool MeasureOnce(TRun& run) {
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char self[] = "/proc/self/exe";
    char once[] = "--once";
    char* args[] = {self, once, nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return false;
    }
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    run.Ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (line.empty())
        return false;
    run.PeakKb = std::strtol(line.c_str(), nullptr, 10);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--once")
        return RunOnce(argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<TRun> results;
    for (int i = 0; i < runs; ++i) {
        TRun run;
        if (!MeasureOnce(run)) {
            std::printf("run %d failed: the window reported no paint\n", i + 1);
            return 1;
        }
        results.push_back(run);
    }
    std::vector<double> times;
    long peak = 0;
    for (const TRun& run : results) {
        times.push_back(run.Ms);
        peak = std::max(peak, run.PeakKb);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to window shown over %d runs (new process each, platform %s):\n", runs,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen");
    std::printf("  median %.1f ms, min %.1f ms, max %.1f ms   (target <= 300 ms)\n",
                times[times.size() / 2], times.front(), times.back());
    std::printf("  peak memory (VmHWM) %.1f MB   (target <= 80 MB)\n", peak / 1024.0);
    return 0;
}
