// SPDX-License-Identifier: Apache-2.0
#include "BenchSeries.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

bool PumpUntil(const std::function<bool()>& done, Clock::duration limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void Measure(TSeries& series, TTraceReader& reader, const std::function<bool()>& run,
             bool counted) {
    TConnectionTrace trace{reader, {}};
    const auto start = Clock::now();
    const bool ok = run();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const bool closed = PumpUntil([&] { return trace.Closed(); }, 5s);
    const double gap = ReplyToNextFrameMicros(trace.Events);
    if (!counted)
        return;
    if (!ok || !closed || gap < 0) {
        ++series.Failures;
        return;
    }
    series.GapMicros.push_back(gap);
    series.ActionMillis.push_back(ms);
}

void PrintSeries(const TSeries& s) {
    const TDistribution gap = Distribution(s.GapMicros);
    const TDistribution action = Distribution(s.ActionMillis);
    std::printf("  %-8s answer -> next frame: median %7.1f us  p99 %7.1f us  max %7.1f us  n %zu"
                "  (failed %d)\n",
                s.Name, gap.Median, gap.P99, gap.Max, gap.N, s.Failures);
    std::printf("  %-8s whole action:         median %7.2f ms  p99 %7.2f ms  max %7.2f ms\n", "",
                action.Median, action.P99, action.Max);
}
