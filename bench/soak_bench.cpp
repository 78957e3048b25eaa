// SPDX-License-Identifier: Apache-2.0
// Soak of the display session against the virtual display: first many device actions in a row
// (get settings, command set, brightness, clear, text), then cycles in which the display program
// is killed (SIGKILL) at a random moment during an action and started again under the same port
// name. Printed: this process's descriptors, threads and resident memory along the way, every
// distinct outcome with its count, and the slowest action of each phase. Nothing is asserted.
//
// The kill comes after a delay drawn uniformly between 0 and the median length of that kind of
// action in the first phase, so that it falls anywhere from the open to the close.
// Usage: vyl_soak_bench [actions, default 1000] [kill cycles, default 200] [bit/s, default 115200]
// With VYL_SOAK_VERBOSE set, every kill cycle is printed as it ends; with VYL_SOAK_KEEP_TRACE set,
// the display's trace is left behind.

#include "BenchSupport.h"
#include "untDisplaySession.h"
#include "untSystemInfo.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

struct TActionKind {
    const char* Name;
    const char* Expected; // the outcome against a display that stays
    std::function<bool(TDisplaySession&, int)> Start;
};

const std::vector<TActionKind>& ActionKinds() {
    static const std::vector<TActionKind> kinds = {
        {"GetSettings", "Summary",
         [](TDisplaySession& s, int) { return s.GetSettings(TSystemInfo{}); }},
        {"SetCommand", "Done", [](TDisplaySession& s, int i) { return s.SetCommand(i % 15); }},
        {"SetBrightness", "Done",
         [](TDisplaySession& s, int i) { return s.SetBrightness(1 + i % 4); }},
        {"Clear", "no message", [](TDisplaySession& s, int) { return s.Clear(); }},
        {"DisplayText", "no message",
         [](TDisplaySession& s, int i) {
             return s.DisplayText(u"Soak " +
                                      std::u16string(1, static_cast<char16_t>(u'0' + i % 10)),
                                  437, TTextPosition{1 + i % 2, 1 + i % 20});
         }},
    };
    return kinds;
}

const char* KindName(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::OpenFailed:
        return "OpenFailed";
    case TMessageKind::HandShakeFailed:
        return "HandShakeFailed";
    case TMessageKind::Done:
        return "Done";
    case TMessageKind::Fail:
        return "Fail";
    case TMessageKind::GetSettingsError:
        return "GetSettingsError";
    case TMessageKind::ParseError:
        return "ParseError";
    case TMessageKind::Summary:
        return "Summary";
    case TMessageKind::Disconnected:
        return "Disconnected";
    case TMessageKind::Error:
        return "Error";
    }
    return "?";
}

const char* FailureName(TOpenFailure failure) {
    switch (failure) {
    case TOpenFailure::None:
        return "None";
    case TOpenFailure::NoPortName:
        return "NoPortName";
    case TOpenFailure::Permission:
        return "Permission";
    case TOpenFailure::Busy:
        return "Busy";
    case TOpenFailure::Missing:
        return "Missing";
    case TOpenFailure::Other:
        return "Other";
    }
    return "?";
}

// One line per distinct outcome: the messages in order, and what the record says besides.
std::string Outcome(const TActionResult& r, bool sendsFrames) {
    std::string text;
    for (const TActionMessage& m : r.Messages) {
        text += text.empty() ? "" : ", ";
        text += KindName(m.Kind);
        if (m.Kind == TMessageKind::Error || m.Kind == TMessageKind::ParseError)
            text += " \"" + m.Text + "\"";
    }
    if (text.empty())
        text = "no message";
    if (r.OpenFailure != TOpenFailure::None)
        text += std::string(" [open failed: ") + FailureName(r.OpenFailure) + ", " +
                std::strerror(r.OpenErrno) + "]";
    if (r.Opened && r.HandShake > 0)
        text += " [handshake " + std::to_string(r.HandShake) + "]";
    if (sendsFrames && r.Opened && !r.Sent)
        text += " [not sent]";
    if (r.Disconnected)
        text += " [disconnected]";
    if (r.Cancelled)
        text += " [cancelled]";
    return text;
}

// Now in the trace's time format, to find the moment in the display's trace.
std::string UtcNow() {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%06lldZ", tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<long long>(micros % 1000000));
    return text;
}

struct TSlowest {
    double Ms = -1;
    std::string What;
};

struct TPhase {
    std::map<std::string, int> Outcomes; // "<action>: <outcome>"
    TSlowest Slowest;
    std::map<std::string, std::vector<double>> MillisByKind;
};

void PrintFigures(const char* when, const TProcessFigures& f) {
    std::printf("  %-28s descriptors %3zu  threads %2zu  VmRSS %6.1f MB\n", when, f.Fds, f.Threads,
                f.RssKb / 1024.0);
}

void PrintPhase(const char* title, const TPhase& phase, double seconds) {
    int total = 0;
    for (const auto& entry : phase.Outcomes)
        total += entry.second;
    std::printf("%s: %d actions in %.1f s\n", title, total, seconds);
    for (const auto& [outcome, count] : phase.Outcomes)
        std::printf("  %5d  %s\n", count, outcome.c_str());
    for (const auto& [kind, millis] : phase.MillisByKind) {
        const TDistribution d = Distribution(millis);
        std::printf("  %-13s median %7.2f ms  p99 %7.2f ms  max %7.2f ms  n %zu\n", kind.c_str(),
                    d.Median, d.P99, d.Max, d.N);
    }
    if (total > 0)
        std::printf("  slowest: %.2f ms, %s\n", phase.Slowest.Ms, phase.Slowest.What.c_str());
}

// Runs one action to its end; `duringAction` runs on this thread while the action runs, given
// the moment the action was started.
TActionResult RunAction(TDisplaySession& session, const TSessionTarget& target,
                        const TActionKind& kind, int i,
                        const std::function<void(Clock::time_point)>& duringAction, double& ms) {
    const auto start = Clock::now();
    session.SetTarget(target);
    if (!kind.Start(session, i)) {
        ms = 0;
        TActionResult refused;
        refused.Messages.push_back({TMessageKind::Error, TMessageStyle::Error, "not started"});
        return refused;
    }
    if (duringAction)
        duringAction(start);
    const TActionResult result = session.WaitForResult();
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return result;
}

void Record(TPhase& phase, const TActionKind& kind, int i, const TActionResult& result, double ms,
            const std::string& note = {}) {
    // Get Setting only asks: it has no frame whose sending counts.
    const std::string outcome = Outcome(result, std::string(kind.Name) != "GetSettings");
    ++phase.Outcomes[std::string(kind.Name) + ": " + outcome];
    phase.MillisByKind[kind.Name].push_back(ms);
    if (ms > phase.Slowest.Ms)
        phase.Slowest = {ms, std::string(kind.Name) + " #" + std::to_string(i) + " (" + outcome +
                                 ")" + note};
}

} // namespace

int main(int argc, char** argv) {
    const int actions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int kills = argc > 2 ? std::max(0, std::atoi(argv[2])) : 200;
    const int rate = argc > 3 ? std::atoi(argv[3]) : 115200;
    const bool verbose = std::getenv("VYL_SOAK_VERBOSE") != nullptr;
    const bool keepTrace = std::getenv("VYL_SOAK_KEEP_TRACE") != nullptr;
    QCoreApplication application(argc, argv);

    TBenchDisplay display(VYL_VIRTUAL_DISPLAY, "VylSoak-" + std::to_string(getpid()),
                          {"--baud", std::to_string(rate)});
    if (keepTrace)
        display.KeepFiles();
    std::string error;
    if (!display.Start(error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    const TSessionTarget target{display.PortName(), rate};
    std::printf("soak: %d actions, then %d kills of the display mid-action; display at %d bit/s "
                "(paced) on port %s\n",
                actions, kills, rate, display.PortName().c_str());

    std::vector<std::pair<const char*, TProcessFigures>> figures;
    figures.emplace_back("at start (no session)", ProcessFigures());
    auto session = std::make_unique<TDisplaySession>();
    session->SetAutoContinue(true);
    const auto& kinds = ActionKinds();

    TPhase steady;
    int unexpected = 0;
    const auto t0 = Clock::now();
    for (int i = 0; i < actions; ++i) {
        const TActionKind& kind = kinds[i % kinds.size()];
        double ms = 0;
        const TActionResult result = RunAction(*session, target, kind, i, {}, ms);
        Record(steady, kind, i, result, ms);
        const std::string outcome = Outcome(result, std::string(kind.Name) != "GetSettings");
        if (outcome != kind.Expected && ++unexpected <= 20)
            std::printf("unexpected: %s #%d ended %s after %.2f ms: %s\n", kind.Name, i,
                        UtcNow().c_str(), ms, outcome.c_str());
        if (static_cast<std::size_t>(i) == kinds.size() - 1)
            figures.emplace_back("after one of each action", ProcessFigures());
    }
    const double steadySeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    figures.emplace_back("after the actions", ProcessFigures());

    std::map<std::string, double> medianMs;
    for (const auto& [kind, millis] : steady.MillisByKind)
        medianMs[kind] = Distribution(millis).Median;

    TPhase killed;
    std::mt19937 random(std::random_device{}());
    int restartFailures = 0;
    const auto t1 = Clock::now();
    for (int c = 0; c < kills; ++c) {
        const TActionKind& kind = kinds[c % kinds.size()];
        std::uniform_real_distribution<double> delay(0.0, std::max(medianMs[kind.Name], 1.0));
        const double delayMs = delay(random);
        // When the signal went (a loaded machine sends it late) and when the display was gone
        // (a killed process still needs the processor to end; until then its pty lives).
        double killAfterMs = 0;
        double goneAfterMs = 0;
        double ms = 0;
        const TActionResult result = RunAction(
            *session, target, kind, c,
            [&](Clock::time_point start) {
                std::this_thread::sleep_until(
                    start + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double, std::milli>(delayMs)));
                killAfterMs =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                display.Stop(SIGKILL);
                goneAfterMs =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            },
            ms);
        char note[96];
        std::snprintf(note, sizeof note, ", display killed at %.2f ms, gone by %.2f ms",
                      killAfterMs, goneAfterMs);
        Record(killed, kind, c, result, ms, note);
        if (verbose)
            std::printf("kill %3d: %-13s killed at %6.2f ms, gone by %6.2f ms, ended after %6.2f "
                        "ms: %s\n",
                        c, kind.Name, killAfterMs, goneAfterMs, ms,
                        Outcome(result, std::string(kind.Name) != "GetSettings").c_str());
        if (!display.Start(error)) {
            ++restartFailures;
            std::printf("restart %d: %s\n", c, error.c_str());
            break;
        }
    }
    const double killedSeconds = std::chrono::duration<double>(Clock::now() - t1).count();
    figures.emplace_back("after the kills", ProcessFigures());
    session.reset();
    // The session's thread has finished its work when it is joined; the system drops the task a
    // moment later.
    const auto settle = Clock::now() + std::chrono::seconds(1);
    while (ProcessFigures().Threads > figures.front().second.Threads && Clock::now() < settle)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    figures.emplace_back("after the session's end", ProcessFigures());

    PrintPhase("actions in a row", steady, steadySeconds);
    PrintPhase("display killed mid-action, then restarted", killed, killedSeconds);
    if (restartFailures > 0)
        std::printf("  the display could not be restarted: the cycles stopped early\n");
    std::printf("this process:\n");
    for (const auto& [when, f] : figures)
        PrintFigures(when, f);
    if (keepTrace)
        std::printf("the display's trace: %s\n", display.TracePath().c_str());
    return 0;
}
