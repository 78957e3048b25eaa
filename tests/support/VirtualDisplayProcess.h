// SPDX-License-Identifier: Apache-2.0
#pragma once

// Runs the virtual display program as a child for a test: a unique port name, a trace file and
// the output in files of a private temporary folder; stopped with SIGTERM on destruction.

#include "ChildProcess.h"

#include <chrono>
#include <string>
#include <vector>

class VirtualDisplayProcess {
public:
    // Starts `program` with `--port <unique name> --trace <file> --quiet` and `extraArgs`, and
    // waits (up to 10 s) for its "Publishing port" line. Started() tells whether it came up.
    VirtualDisplayProcess(const std::string& program, const std::vector<std::string>& extraArgs);
    ~VirtualDisplayProcess();
    VirtualDisplayProcess(const VirtualDisplayProcess&) = delete;
    VirtualDisplayProcess& operator=(const VirtualDisplayProcess&) = delete;

    bool Started() const { return started_; }
    const std::string& PortName() const { return port_; }
    // The pty slave it published ("/dev/pts/N"), read from its publishing line.
    const std::string& DevicePath() const { return device_; }
    std::string Trace() const; // the trace file's content so far
    std::string Stdout() const;
    std::string Stderr() const;
    // Trace lines whose event is `event` ("RX", "TX", ...), each without time and event.
    std::vector<std::string> TraceEvents(const std::string& event) const;
    // Waits until the trace holds at least `count` events of that kind (the display writes a
    // line a moment after the host saw its effect); the events then.
    std::vector<std::string>
    WaitForEvents(const std::string& event, std::size_t count,
                  std::chrono::milliseconds limit = std::chrono::seconds(5)) const;

    // Sends a signal and waits for the exit; the exit status, or -1 when it did not end in
    // time (it is then killed) or ended by a signal.
    // The limit only catches a display that hangs: a loaded machine may take seconds.
    int Stop(int signal, std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Waits for the child to exit by itself; as Stop otherwise.
    int Wait(std::chrono::milliseconds limit);

private:
    ChildProcess child_;
    bool started_ = false;
    bool waited_ = false;
    std::string port_;
    std::string device_;
};

// Runs `program` with `args` to its end (10 s at most); its exit status and output.
struct ProgramRun {
    int Status = -1;
    std::string Stdout;
    std::string Stderr;
};
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);
