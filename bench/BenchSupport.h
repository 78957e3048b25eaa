// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the session benchmarks share on Linux: the virtual display (and an X server) as
// children and the figures of this process (BenchFigures.h: what they share with Windows).

#include "BenchFigures.h"

#include <cstdint>
#include <string>
#include <vector>

// A child program started with posix_spawn; every descriptor but 0, 1 and 2 (and those it is
// given) stays behind, so a child never holds one of our ports open.
class TChild {
public:
    TChild() = default;
    ~TChild();
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    // Starts `program` with `args`; stdout goes to `stdoutPath` (or /dev/null when empty), and
    // `extraFd` (when >= 0) is handed over as descriptor 3.
    bool Spawn(const std::string& program, const std::vector<std::string>& args,
               const std::string& stdoutPath, int extraFd, std::string& error);
    // Sends the signal and reaps the child (SIGKILL after 5 s).
    void Stop(int signal);
    bool Running() const { return pid_ > 0; }
    int Pid() const { return pid_; }

private:
    int pid_ = -1;
};

// The virtual display under a fixed port name, with its trace and output in a private folder:
// started again after a kill, it publishes the same name anew.
class TBenchDisplay {
public:
    TBenchDisplay(std::string program, std::string portName, std::vector<std::string> extraArgs);
    ~TBenchDisplay();

    // Starts it and waits (10 s at most) for its publishing line.
    bool Start(std::string& error);
    void Stop(int signal) { child_.Stop(signal); }
    const std::string& PortName() const { return port_; }
    const std::string& DevicePath() const { return device_; }
    const std::string& TracePath() const { return trace_; }
    // Leaves the trace and the output behind when it ends (for a look at what went wrong).
    void KeepFiles() { keep_ = true; }

private:
    std::string program_;
    std::string port_;
    std::vector<std::string> extraArgs_;
    std::string dir_;
    std::string trace_;
    std::string device_;
    bool keep_ = false;
    TChild child_;
};

// An X server of its own (Xvfb on a free display number); DISPLAY is set while it runs.
class TXServer {
public:
    bool Start(std::string& error);
    // Starts one only for QT_QPA_PLATFORM=xcb without a DISPLAY; false when that fails.
    bool StartWhenNeeded(std::string& error);
    ~TXServer();
    const std::string& Display() const { return display_; }

private:
    TChild child_;
    std::string display_;
};

// The platform a bench shows its windows on: Qt's (QT_QPA_PLATFORM, offscreen unless it says
// otherwise), with an X server of its own for xcb without a DISPLAY.
class TBenchPlatform {
public:
    // False, with the reason printed, when the X server it needs does not start.
    bool Start();
    // "offscreen", or "xcb on Xvfb :1".
    std::string Description() const;

private:
    std::string platform_;
    TXServer xServer_;
};

// This process: open descriptors, threads, resident memory in kB.
struct TProcessFigures {
    std::size_t Fds = 0;
    std::size_t Threads = 0;
    long RssKb = 0;
};
TProcessFigures ProcessFigures();

// The machine's load averages over 1, 5 and 15 minutes, as text.
std::string LoadAverage();
