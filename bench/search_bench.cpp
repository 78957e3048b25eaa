// SPDX-License-Identifier: Apache-2.0
// How long finding the display takes, with the search's own limits:
//  - one port with the virtual display at each of its five speeds in turn, answering the
//    JavaPOS handshake or not, searched from 9600 (the window's first speed) and from every
//    other start (the worst start is the one that tries the display's speed last);
//    targets: found within 1.2 s when it answers JavaPOS, 2.5 s otherwise;
//  - one port where nothing answers (a pty nobody reads);
//  - eight such ports at once, and eight of which one has a display at 115200;
//    target: nothing on one port or on eight reported within 8 s (the second pass waits long
//    at each speed for a late display);
//  - a display answering 300 ms and 1 s late, at 9600 and at 115200 (its speed tried last);
//    target: found at its own speed within 8 s;
//  - a modem that echoes and a scale that streams, at 9600 and at 115200;
//    target: nothing reported within 8 s.
// The virtual display paces its answers at its line speed, as a real one does. On a busy
// machine it may miss a search: a pty carries no speed with its bytes, and a virtual display
// that slept through one speed's close, the next open and its probe judges that probe at the
// old speed (the "found" column counts the searches that found it where it is).
// Usage: vyl_search_bench [runs per figure, default 3]

#include "BenchSupport.h"
#include "PtyPair.h"
#include "untDisplaySearch.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

const std::vector<int> Speeds = {9600, 19200, 38400, 57600, 115200};

// The virtual display at `baud` under a port name of its own, with more options.
std::unique_ptr<TBenchDisplay> StartDevice(int baud, std::vector<std::string> more) {
    static int counter = 0;
    std::vector<std::string> args{"--baud", std::to_string(baud)};
    args.insert(args.end(), more.begin(), more.end());
    auto display = std::make_unique<TBenchDisplay>(
        VYL_VIRTUAL_DISPLAY,
        "VylSearchBench-" + std::to_string(getpid()) + "-" + std::to_string(counter++), args);
    std::string error;
    if (!display->Start(error)) {
        std::printf("  the virtual display at %d did not start: %s\n", baud, error.c_str());
        return nullptr;
    }
    return display;
}

std::unique_ptr<TBenchDisplay> StartDisplay(int baud, bool jpos) {
    return StartDevice(baud,
                       jpos ? std::vector<std::string>{} : std::vector<std::string>{"--no-jpos"});
}

struct TTimed {
    double Ms = 0;
    TSearchResult Result;
};

TTimed TimedSearch(const std::vector<std::string>& ports, int firstRate) {
    TSearchRequest request;
    request.Ports = ports;
    request.FirstRate = firstRate;
    const auto start = Clock::now();
    TTimed timed;
    timed.Result = FindDisplay(request);
    timed.Ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return timed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Max(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

const char* Verdict(double ms, double target) {
    return ms <= target ? "within" : "OVER";
}

void OneDisplay(int runs, bool jpos) {
    const double target = jpos ? 1200 : 2500;
    std::printf("\nOne port, a display %s the JavaPOS handshake (target %.0f ms):\n",
                jpos ? "answering" : "not answering", target);
    std::printf("  %-7s %13s %22s %8s  %s\n", "speed", "from 9600 ms", "worst start ms (tried)",
                "found", "as");
    for (int baud : Speeds) {
        const std::unique_ptr<TBenchDisplay> vd = StartDisplay(baud, jpos);
        if (!vd)
            continue;
        // The worst start tries the display's speed last of all starts.
        std::size_t worst = 0;
        std::size_t mostTried = 0;
        for (std::size_t s = 0; s < Speeds.size(); ++s) {
            const std::vector<int> order = SearchOrder(Speeds[s]);
            const auto tried = static_cast<std::size_t>(
                std::find(order.begin(), order.end(), baud) - order.begin() + 1);
            if (tried > mostTried) {
                mostTried = tried;
                worst = s;
            }
        }
        // Per start, the times of the runs that found it at its speed.
        std::vector<std::vector<double>> ms(Speeds.size());
        int found = 0;
        std::string foundAs;
        for (int run = 0; run < runs; ++run) {
            for (std::size_t s = 0; s < Speeds.size(); ++s) {
                const TTimed t = TimedSearch({vd->PortName()}, Speeds[s]);
                const TFoundDisplay* display = t.Result.Found();
                if (display == nullptr || display->BaudRate != baud)
                    continue;
                ++found;
                foundAs = display->HandShake == TAnsweredHandShake::JavaPos    ? "JavaPOS"
                          : display->HandShake == TAnsweredHandShake::Standard ? "standard"
                                                                               : "no handshake";
                ms[s].push_back(t.Ms);
            }
        }
        std::printf("  %-7d %13.0f %13.0f (%6d, %zu) %3d of %-3d %s   worst %s target\n", baud,
                    Median(ms[0]), Max(ms[worst]), Speeds[worst], mostTried, found,
                    runs * static_cast<int>(Speeds.size()), foundAs.c_str(),
                    Verdict(Max(ms[worst]), target));
    }
}

void SilentPorts(int runs, std::size_t count, bool withDisplay) {
    std::vector<std::unique_ptr<PtyPair>> silent;
    std::vector<std::string> ports;
    std::unique_ptr<TBenchDisplay> vd;
    if (withDisplay && !(vd = StartDisplay(115200, true)))
        return;
    for (std::size_t i = 0; i < count; ++i) {
        if (withDisplay && i == count / 2) {
            ports.push_back(vd->PortName());
            continue;
        }
        silent.push_back(std::make_unique<PtyPair>());
        ports.push_back(silent.back()->PortName());
    }
    std::vector<double> ms;
    std::size_t foundRight = 0;
    for (int run = 0; run < runs; ++run) {
        const TTimed t = TimedSearch(ports, 9600);
        ms.push_back(t.Ms);
        const TFoundDisplay* found = t.Result.Found();
        foundRight += withDisplay ? (found != nullptr && found->BaudRate == 115200 ? 1 : 0)
                                  : (found == nullptr ? 1 : 0);
    }
    std::printf("%zu port%s, %s: median %.0f ms, max %.0f ms (%zu of %d runs right)%s\n", count,
                count == 1 ? "" : "s",
                withDisplay ? "one display at 115200, the rest silent" : "nothing answering",
                Median(ms), Max(ms), foundRight, runs,
                !withDisplay
                    ? (std::string("   ") + Verdict(Max(ms), 8000) + " the 8000 ms target").c_str()
                    : "");
}

// One port with a late display or another device, searched from 9600; `display` is the speed
// it must be found at (0: none).
void OddPort(int runs, const char* what, int baud, const std::vector<std::string>& args,
             int display) {
    const std::unique_ptr<TBenchDisplay> vd = StartDevice(baud, args);
    if (!vd)
        return;
    std::vector<double> ms;
    int right = 0;
    for (int run = 0; run < runs; ++run) {
        const TTimed t = TimedSearch({vd->PortName()}, 9600);
        ms.push_back(t.Ms);
        const TFoundDisplay* found = t.Result.Found();
        right += display == 0 ? (found == nullptr ? 1 : 0)
                              : (found != nullptr && found->BaudRate == display ? 1 : 0);
    }
    std::printf("  %-26s at %6d: median %5.0f ms, max %5.0f ms (%d of %d runs right)   %s the "
                "8000 ms target\n",
                what, baud, Median(ms), Max(ms), right, runs, Verdict(Max(ms), 8000));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const TSearchTiming limits;
    std::printf("Display search, %d run%s per figure; limits: first byte %d ms (second pass %d "
                "ms), gap %d ms, reading %d ms or %zu bytes\n",
                runs, runs == 1 ? "" : "s", limits.FirstByteMs, limits.LateFirstByteMs,
                limits.GapMs, limits.ReadMs, limits.MostBytes);
    OneDisplay(runs, true);
    OneDisplay(runs, false);
    std::printf("\nPorts where nothing or one display answers (searched from 9600):\n");
    SilentPorts(runs, 1, false);
    SilentPorts(runs, 8, false);
    SilentPorts(runs, 8, true);
    std::printf("\nLate displays (found at their own speed) and other devices (nothing found):\n");
    for (int baud : {9600, 115200}) {
        OddPort(runs, "display 300 ms late", baud, {"--reply-delay", "300"}, baud);
        OddPort(runs, "display 1 s late", baud, {"--reply-delay", "1000"}, baud);
    }
    for (int baud : {9600, 115200}) {
        OddPort(runs, "echoing modem", baud, {"--echo"}, 0);
        OddPort(runs, "streaming scale", baud, {"--stream"}, 0);
    }
    return 0;
}
