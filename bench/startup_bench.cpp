// SPDX-License-Identifier: Apache-2.0
// Start-up figures of the program: from launching a fresh process to the main window's first
// paint, and the process's peak memory (VmHWM) at that moment, side by side with a minimal Qt
// Widgets window (a QWidget holding one label) started the same way: the floor. The two
// alternate run by run, so that whatever loads the machine loads both alike. Targets: first
// paint within 1.3 times the floor's, <= 80 MB.
//
// Each run is a new process (this program started again with --once or --floor), so dynamic
// loading, the application object, fonts, the window with all its controls, the port list and
// the first paint are all in the figure. Where the time goes is printed too: the medians of the
// moments each run reached main, had its application object, its window made and shown, and its
// first paint done, counted from the launch. The window is shown on the platform Qt picks
// (offscreen unless QT_QPA_PLATFORM says otherwise); with xcb and no DISPLAY the bench starts
// an X server of its own (Xvfb).
// Usage: vyl_startup_bench [runs, default 10]

#include "BenchSupport.h"
#include "frmuVylSetup.h"
#include "untApplication.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using Clock = std::chrono::steady_clock;

namespace {

// The launch's moment, handed to each run in its environment, and the run's phases counted
// from it.
const char* const LaunchVariable = "VYL_STARTUP_BENCH_LAUNCH_NS";

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

enum TPhase { Main, Application, Window, Shown, Painted, PhaseCount };
const char* const PhaseNames[PhaseCount] = {"main", "application", "window made", "shown",
                                            "painted"};
double phaseMs[PhaseCount] = {-1, -1, -1, -1, -1};

void Reach(TPhase phase) {
    const char* launch = std::getenv(LaunchVariable);
    if (launch != nullptr)
        phaseMs[phase] = static_cast<double>(MonotonicNs() - std::atoll(launch)) / 1e6;
}

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
                Reach(Painted);
                std::printf("%ld", PeakMemoryKb());
                for (const double ms : phaseMs)
                    std::printf(" %.3f", ms);
                std::printf("\n");
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
    Reach(Main);
    TVylApplication application(argc, argv);
    Reach(Application);
    TfrmVylSetup form;
    Reach(Window);
    TFirstPaint firstPaint;
    form.installEventFilter(&firstPaint);
    form.show();
    Reach(Shown);
    return TVylApplication::exec();
}

// The floor: the least a Qt Widgets program does to show a window.
int RunFloor(int argc, char** argv) {
    Reach(Main);
    QApplication application(argc, argv);
    Reach(Application);
    QWidget window;
    window.resize(829, 664);
    QLabel label(QStringLiteral("VYL Setup"), &window);
    Reach(Window);
    TFirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    Reach(Shown);
    return QApplication::exec();
}

struct TRun {
    double Ms = 0;
    long PeakKb = -1;
    double PhaseMs[PhaseCount] = {};
};

// Starts this program with `mode` (--once or --floor) and waits for its report line.
bool MeasureOnce(const char* mode, TRun& run) {
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char self[] = "/proc/self/exe";
    std::string modeArg = mode;
    char* args[] = {self, modeArg.data(), nullptr};
    setenv(LaunchVariable, std::to_string(MonotonicNs()).c_str(), 1);
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
    std::istringstream report(line);
    report >> run.PeakKb;
    for (double& ms : run.PhaseMs)
        report >> ms;
    return true;
}

void Summarise(const char* name, const std::vector<TRun>& results) {
    std::vector<double> times;
    long peak = 0;
    for (const TRun& run : results) {
        times.push_back(run.Ms);
        peak = std::max(peak, run.PeakKb);
    }
    const TDistribution d = Distribution(times);
    std::printf("  %-8s median %6.1f ms  min %6.1f ms  max %6.1f ms  peak memory (VmHWM) %.1f MB\n",
                name, d.Median, *std::min_element(times.begin(), times.end()), d.Max,
                peak / 1024.0);
}

// The medians of each phase, floor and program side by side.
void SummarisePhases(const std::vector<TRun>& floor, const std::vector<TRun>& program) {
    const auto median = [](const std::vector<TRun>& results, int phase) {
        std::vector<double> times;
        for (const TRun& run : results)
            times.push_back(run.PhaseMs[phase]);
        return Distribution(times).Median;
    };
    std::printf("  where the time goes (medians, ms from the launch)\n");
    std::printf("    %-12s %7s %8s\n", "", "floor", "program");
    for (int phase = 0; phase < PhaseCount; ++phase)
        std::printf("    %-12s %7.1f %8.1f\n", PhaseNames[phase], median(floor, phase),
                    median(program, phase));
}

double Median(const std::vector<TRun>& results) {
    std::vector<double> times;
    for (const TRun& run : results)
        times.push_back(run.Ms);
    return Distribution(times).Median;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--once")
        return RunOnce(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--floor")
        return RunFloor(argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    TBenchPlatform platform;
    if (!platform.Start())
        return 1;
    std::vector<TRun> program;
    std::vector<TRun> floor;
    // One of each first, not counted: the first run reads from disk what later runs find cached.
    for (int i = -1; i < runs; ++i)
        for (const auto& [mode, results] :
             {std::pair<const char*, std::vector<TRun>*>{"--floor", &floor},
              std::pair<const char*, std::vector<TRun>*>{"--once", &program}}) {
            TRun run;
            if (!MeasureOnce(mode, run)) {
                std::printf("run %d (%s) failed: the window reported no paint\n", i + 1, mode);
                return 1;
            }
            if (i >= 0)
                results->push_back(run);
        }
    std::printf("start-up to the window's first paint over %d runs each, alternating (new process "
                "each, platform %s, load average %s):\n",
                runs, platform.Description().c_str(), LoadAverage().c_str());
    Summarise("floor", floor);
    Summarise("program", program);
    SummarisePhases(floor, program);
    const double ratio = Median(program) / Median(floor);
    std::printf("  ratio of the medians %.2fx   (target <= 1.3x)\n", ratio);
    return 0;
}
