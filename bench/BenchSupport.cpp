// SPDX-License-Identifier: Apache-2.0
#include "BenchSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t EntriesOf(const char* folder) {
    std::size_t n = 0;
    if (DIR* d = opendir(folder)) {
        while (const dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                ++n;
        closedir(d);
    }
    return n;
}

} // namespace

TChild::~TChild() {
    Stop(SIGTERM);
}

bool TChild::Spawn(const std::string& program, const std::vector<std::string>& args,
                   const std::string& stdoutPath, int extraFd, std::string& error) {
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                     stdoutPath.empty() ? "/dev/null" : stdoutPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int keepFrom = 3;
    if (extraFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
        keepFrom = 4;
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, keepFrom);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        error = "cannot start " + program + ": " + std::strerror(failed);
        return false;
    }
    pid_ = pid;
    return true;
}

void TChild::Stop(int signal) {
    if (pid_ <= 0)
        return;
    kill(pid_, signal);
    const auto limit = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > limit) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    pid_ = -1;
}

TBenchDisplay::TBenchDisplay(std::string program, std::string portName,
                             std::vector<std::string> extraArgs)
    : program_(std::move(program)), port_(std::move(portName)), extraArgs_(std::move(extraArgs)) {
    std::string pattern = "/tmp/vyl-bench-XXXXXX";
    if (mkdtemp(pattern.data()))
        dir_ = pattern;
    trace_ = dir_ + "/trace";
}

TBenchDisplay::~TBenchDisplay() {
    child_.Stop(SIGTERM);
    if (!dir_.empty() && !keep_) {
        unlink(trace_.c_str());
        unlink((dir_ + "/stdout").c_str());
        rmdir(dir_.c_str());
    }
}

bool TBenchDisplay::Start(std::string& error) {
    if (dir_.empty()) {
        error = "no temporary folder";
        return false;
    }
    std::vector<std::string> args{"--port", port_, "--trace", trace_, "--quiet"};
    args.insert(args.end(), extraArgs_.begin(), extraArgs_.end());
    const std::string out = dir_ + "/stdout";
    if (!child_.Spawn(program_, args, out, -1, error))
        return false;
    const std::string marker = "Publishing port " + port_ + " (";
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < limit) {
        const std::string text = ReadAll(out);
        if (const auto at = text.find(marker); at != std::string::npos) {
            const auto close = text.find(')', at + marker.size());
            if (close != std::string::npos) {
                device_ = text.substr(at + marker.size(), close - at - marker.size());
                return true;
            }
        }
        int status = 0;
        if (waitpid(child_.Pid(), &status, WNOHANG) == child_.Pid()) {
            error = "the virtual display ended at start";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    error = "the virtual display did not publish its port within 10 s";
    return false;
}

bool TXServer::Start(std::string& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    // Xvfb picks a free display number and writes it to descriptor 3.
    const bool spawned = child_.Spawn(
        "/usr/bin/Xvfb", {"-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"},
        {}, fds[1], error);
    close(fds[1]);
    std::string number;
    if (spawned) {
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
    }
    close(fds[0]);
    if (!spawned)
        return false;
    if (number.empty()) {
        error = "Xvfb gave no display number";
        return false;
    }
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
    return true;
}

bool TXServer::StartWhenNeeded(std::string& error) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string(platform) != "xcb" || std::getenv("DISPLAY") != nullptr)
        return true;
    return Start(error);
}

TXServer::~TXServer() {
    child_.Stop(SIGTERM);
}

bool TBenchPlatform::Start() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform_ = std::getenv("QT_QPA_PLATFORM");
    std::string error;
    if (xServer_.StartWhenNeeded(error))
        return true;
    std::printf("no X server: %s\n", error.c_str());
    return false;
}

std::string TBenchPlatform::Description() const {
    return xServer_.Display().empty() ? platform_ : platform_ + " on Xvfb " + xServer_.Display();
}

TProcessFigures ProcessFigures() {
    TProcessFigures f;
    f.Fds = EntriesOf("/proc/self/fd");
    f.Threads = EntriesOf("/proc/self/task");
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            f.RssKb = std::strtol(line.c_str() + 6, nullptr, 10);
    return f;
}

std::string LoadAverage() {
    double load[3] = {};
    if (getloadavg(load, 3) != 3)
        return "?";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}
