// SPDX-License-Identifier: Apache-2.0
// Serial link figures over a pty pair:
//  - exchange overhead: from the far end's last reply byte to the exchange returning
//    (median and p99 over 1000 exchanges; target median <= 1 ms);
//  - CPU of the whole process during an exchange that gets no answer and during an idle
//    open port with unread bytes queued (target <= 1% of one core).
// Usage: vyl_link_bench [seconds per CPU figure, default 10]
#include "PtyPair.h"
#include "untComm.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double ProcessCpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(use.ru_utime) + seconds(use.ru_stime);
}

void ExchangeOverhead(int exchanges) {
    PtyPair pair;
    TCommConnection connection;
    if (!connection.Open(pair.PortName(), 115200)) {
        std::printf("open failed: %s\n", connection.LastOpenError().Text.c_str());
        return;
    }
    const ByteString request("\x02\x07\x12\x00\x01\x02\x03\x04", 8);
    std::atomic<int> answered{-1};
    std::atomic<Clock::rep> lastByteAt{0};
    std::thread farEnd([&] {
        for (int i = 0; i < exchanges; ++i) {
            const ByteString got = pair.Read(request.size(), 5s);
            if (got.size() != request.size())
                return;
            lastByteAt = Clock::now().time_since_epoch().count();
            answered = i;
            pair.Write(got); // the reply goes out in one write: its last byte is this moment
        }
    });
    std::vector<double> micros;
    int failures = 0;
    for (int i = 0; i < exchanges; ++i) {
        connection.SetQueryTimeout(1000);
        ByteString reply;
        int length = static_cast<int>(request.size());
        const int result = connection.Query(request, reply, length, false, 0);
        const auto done = Clock::now().time_since_epoch().count();
        if (result != COMM_OK || answered.load() != i) {
            ++failures;
            continue;
        }
        micros.push_back(static_cast<double>(done - lastByteAt.load()) / 1000.0);
    }
    farEnd.join();
    connection.Close();
    std::sort(micros.begin(), micros.end());
    if (micros.empty()) {
        std::printf("exchange overhead: no exchange succeeded\n");
        return;
    }
    const auto at = [&](double q) {
        return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))];
    };
    std::printf("exchange overhead over %zu exchanges (%d failed): median %.1f us, p99 %.1f us, "
                "max %.1f us\n",
                micros.size(), failures, at(0.5), at(0.99), micros.back());
}

void CpuDuringUnansweredExchange(int seconds) {
    PtyPair pair;
    TCommConnection connection;
    if (!connection.Open(pair.PortName(), 115200))
        return;
    connection.SetQueryTimeout(seconds * 1000);
    ByteString reply;
    int length = 10;
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    const int result = connection.Query("no answer", reply, length, false, 0);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = ProcessCpuSeconds() - cpu0;
    connection.Close();
    std::printf("unanswered exchange: result %d after %.3f s, CPU %.3f s = %.3f%% of one core\n",
                result, wall, cpu, 100.0 * cpu / wall);
}

void CpuOfIdlePortWithUnreadBytes(int seconds) {
    PtyPair pair;
    TCommConnection connection;
    if (!connection.Open(pair.PortName(), 115200))
        return;
    pair.Write("bytes nobody reads");
    connection.Wait(50);
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    connection.Wait(seconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = ProcessCpuSeconds() - cpu0;
    connection.Close();
    std::printf("idle open port with unread bytes: %.3f s, CPU %.3f s = %.3f%% of one core\n", wall,
                cpu, 100.0 * cpu / wall);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    ExchangeOverhead(1000);
    CpuDuringUnansweredExchange(seconds);
    CpuOfIdlePortWithUnreadBytes(seconds);
    return 0;
}
