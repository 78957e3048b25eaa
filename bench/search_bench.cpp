// SPDX-License-Identifier: Apache-2.0
// How long finding the display takes, with the search's own limits:
//  - one port with the virtual display at each of its five speeds in turn, answering the
//    JavaPOS handshake or not, searched from 9600 (the window's first speed) and from every
//    other start (the worst start is the one that tries the display's speed last);
//    targets: found within 1.2 s when it answers JavaPOS, 2.5 s otherwise;
//  - one port where nothing answers (a pty nobody reads);
//  - eight such ports at once, and eight of which one has a display at 115200;
//    target: nothing on eight ports reported within 1.5 s.
// The virtual display paces its answers at its line speed, as a real one does.
// Usage: vyl_search_bench [runs per figure, default 3]

#include "PtyPair.h"
#include "untDisplaySearch.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

const std::vector<int> Speeds = {9600, 19200, 38400, 57600, 115200};

// The virtual display as a child process, publishing a port of its own.
class VirtualDisplay {
public:
    VirtualDisplay(int baud, bool jpos) {
        static std::atomic<int> counter{0};
        port_ = "VylSearchBench-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        std::vector<std::string> args{VYL_VIRTUAL_DISPLAY, "--port", port_,
                                      "--quiet",           "--baud", std::to_string(baud)};
        if (!jpos)
            args.emplace_back("--no-jpos");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        // Up once it names its port; its output after that is not read.
        std::string text;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (Clock::now() < deadline && text.find(port_ + " (") == std::string::npos) {
            pollfd p{out[0], POLLIN, 0};
            if (poll(&p, 1, 100) > 0 && read(out[0], &c, 1) == 1)
                text += c;
            else if (p.revents & POLLHUP)
                break;
        }
        up_ = text.find(port_ + " (") != std::string::npos;
        close(out[0]);
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Up() const { return up_; }
    const std::string& Port() const { return port_; }

private:
    pid_t pid_ = -1;
    bool up_ = false;
    std::string port_;
};

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
    std::printf("  %-7s %13s %15s %11s %s\n", "speed", "from 9600 ms", "worst start ms", "tried",
                "found as");
    for (int baud : Speeds) {
        VirtualDisplay vd(baud, jpos);
        if (!vd.Up()) {
            std::printf("  %-7d the virtual display did not start\n", baud);
            continue;
        }
        // Per start: the times, and how many speeds it tried.
        std::vector<std::vector<double>> ms(Speeds.size());
        std::vector<std::size_t> tried(Speeds.size(), 0);
        bool allFound = true;
        std::string foundAs;
        for (int run = 0; run < runs; ++run) {
            for (std::size_t s = 0; s < Speeds.size(); ++s) {
                const TTimed t = TimedSearch({vd.Port()}, Speeds[s]);
                const TFoundDisplay* found = t.Result.Found();
                allFound = allFound && found != nullptr && found->BaudRate == baud;
                if (found != nullptr)
                    foundAs = found->HandShake == TAnsweredHandShake::JavaPos    ? "JavaPOS"
                              : found->HandShake == TAnsweredHandShake::Standard ? "standard"
                                                                                 : "document";
                ms[s].push_back(t.Ms);
                tried[s] = t.Result.Ports.front().Tried.size();
            }
        }
        const std::size_t w =
            static_cast<std::size_t>(std::max_element(tried.begin(), tried.end()) - tried.begin());
        const std::vector<double>& fromFactory = ms[0];
        const std::vector<double>& worst = ms[w];
        const int worstStart = Speeds[w];
        const std::size_t mostTried = tried[w];
        std::printf("  %-7d %13.0f %9.0f (%6d) %8zu of 5 %s%s   worst %s target\n", baud,
                    Median(fromFactory), Max(worst), worstStart, mostTried, foundAs.c_str(),
                    allFound ? "" : "  NOT ALWAYS FOUND", Verdict(Max(worst), target));
    }
}

void SilentPorts(int runs, std::size_t count, bool withDisplay) {
    std::vector<std::unique_ptr<PtyPair>> silent;
    std::vector<std::string> ports;
    std::unique_ptr<VirtualDisplay> vd;
    if (withDisplay) {
        vd = std::make_unique<VirtualDisplay>(115200, true);
        if (!vd->Up()) {
            std::printf("the virtual display did not start\n");
            return;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (withDisplay && i == count / 2) {
            ports.push_back(vd->Port());
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
                count == 8 && !withDisplay
                    ? (std::string("   ") + Verdict(Max(ms), 1500) + " the 1500 ms target").c_str()
                    : "");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("Display search, %d run%s per figure; limits: first byte %d ms, gap %d ms\n", runs,
                runs == 1 ? "" : "s", TSearchTiming{}.FirstByteMs, TSearchTiming{}.GapMs);
    OneDisplay(runs, true);
    OneDisplay(runs, false);
    std::printf("\nPorts where nothing or one display answers (searched from 9600):\n");
    SilentPorts(runs, 1, false);
    SilentPorts(runs, 8, false);
    SilentPorts(runs, 8, true);
    return 0;
}
