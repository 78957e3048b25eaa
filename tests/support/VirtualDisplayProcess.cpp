// SPDX-License-Identifier: Apache-2.0
#include "VirtualDisplayProcess.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string MakeTempDir() {
    std::string pattern = "/tmp/vyl-vd-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

int Spawn(const std::string& program, const std::vector<std::string>& args, const std::string& out,
          const std::string& err) {
    // Everything the child needs is made before the fork: a threaded parent's child may not
    // allocate.
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    dup2(o, STDOUT_FILENO);
    dup2(e, STDERR_FILENO);
    dup2(in, STDIN_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
}

int WaitFor(int pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0)
            return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

VirtualDisplayProcess::VirtualDisplayProcess(const std::string& program,
                                             const std::vector<std::string>& extraArgs) {
    static std::atomic<int> counter{0};
    dir_ = MakeTempDir();
    port_ = "VylTest-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    std::vector<std::string> args{"--port", port_, "--trace", dir_ + "/trace", "--quiet"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = Spawn(program, args, dir_ + "/stdout", dir_ + "/stderr");
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
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

VirtualDisplayProcess::~VirtualDisplayProcess() {
    if (pid_ > 0)
        Stop(SIGTERM);
    if (!dir_.empty()) {
        for (const char* f : {"/trace", "/stdout", "/stderr"})
            unlink((dir_ + f).c_str());
        rmdir(dir_.c_str());
    }
}

std::string VirtualDisplayProcess::Trace() const {
    return ReadAll(dir_ + "/trace");
}
std::string VirtualDisplayProcess::Stdout() const {
    return ReadAll(dir_ + "/stdout");
}
std::string VirtualDisplayProcess::Stderr() const {
    return ReadAll(dir_ + "/stderr");
}

std::vector<std::string> VirtualDisplayProcess::TraceEvents(const std::string& event) const {
    std::vector<std::string> found;
    std::istringstream lines(Trace());
    for (std::string line; std::getline(lines, line);) {
        const auto first = line.find(' ');
        if (first == std::string::npos)
            continue;
        const auto second = line.find(' ', first + 1);
        const std::string name = line.substr(first + 1, second - first - 1);
        if (name == event)
            found.push_back(second == std::string::npos ? "" : line.substr(second + 1));
    }
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
    if (pid_ <= 0)
        return -1;
    kill(pid_, signal);
    return Wait(limit);
}

int VirtualDisplayProcess::Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0)
        return -1;
    const int status = WaitFor(pid_, limit);
    pid_ = -1;
    return status;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ProgramRun run;
    const std::string dir = MakeTempDir();
    const int pid = Spawn(program, args, dir + "/stdout", dir + "/stderr");
    run.Status = WaitFor(pid, std::chrono::seconds(10));
    run.Stdout = ReadAll(dir + "/stdout");
    run.Stderr = ReadAll(dir + "/stderr");
    unlink((dir + "/stdout").c_str());
    unlink((dir + "/stderr").c_str());
    rmdir(dir.c_str());
    return run;
}
