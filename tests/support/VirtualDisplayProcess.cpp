// SPDX-License-Identifier: Apache-2.0
#include "VirtualDisplayProcess.h"

#include "TraceLine.h"

#include <atomic>
#include <csignal>
#include <sstream>
#include <thread>
#include <unistd.h>

VirtualDisplayProcess::VirtualDisplayProcess(const std::string& program,
                                             const std::vector<std::string>& extraArgs) {
    static std::atomic<int> counter{0};
    port_ = "VylTest-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    std::vector<std::string> args{"--port", port_, "--trace", child_.Dir() + "/trace", "--quiet"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    if (!child_.Start(program, args))
        return;
    const std::string marker = "Publishing port " + port_ + " (";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string out = Stdout();
        if (const auto at = out.find(marker); at != std::string::npos) {
            const auto close = out.find(')', at + marker.size());
            if (close != std::string::npos) {
                device_ = out.substr(at + marker.size(), close - at - marker.size());
                started_ = true;
                return;
            }
        }
        if (child_.Exited())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

VirtualDisplayProcess::~VirtualDisplayProcess() {
    // Ended as a user ends it: it withdraws its port.
    Stop(SIGTERM);
}

std::string VirtualDisplayProcess::Trace() const {
    return ReadFileBytes(child_.Dir() + "/trace");
}
std::string VirtualDisplayProcess::Stdout() const {
    return child_.Stdout();
}
std::string VirtualDisplayProcess::Stderr() const {
    return child_.Stderr();
}

std::vector<std::string> VirtualDisplayProcess::TraceEvents(const std::string& event) const {
    std::vector<std::string> found;
    std::istringstream lines(Trace());
    for (std::string line; std::getline(lines, line);)
        if (TTraceLine entry; ParseTraceLine(line, entry) && entry.Event == event)
            found.push_back(entry.Data);
    return found;
}

std::vector<std::string>
VirtualDisplayProcess::WaitForEvents(const std::string& event, std::size_t count,
                                     std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        auto events = TraceEvents(event);
        if (events.size() >= count || std::chrono::steady_clock::now() > deadline)
            return events;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int VirtualDisplayProcess::Stop(int signal, std::chrono::milliseconds limit) {
    if (child_.Exited())
        return -1;
    child_.Signal(signal);
    return Wait(limit);
}

int VirtualDisplayProcess::Wait(std::chrono::milliseconds limit) {
    if (waited_)
        return -1;
    waited_ = true;
    return child_.Wait(limit).Status;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ProgramRun run;
    ChildProcess child;
    child.Start(program, args);
    run.Status = child.Wait(std::chrono::seconds(10)).Status;
    run.Stdout = child.Stdout();
    run.Stderr = child.Stderr();
    return run;
}
