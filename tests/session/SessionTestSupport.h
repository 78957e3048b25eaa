// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "DisplayTrace.h"
#include "VirtualDisplayProcess.h"
#include "untDisplaySession.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

inline const std::string VirtualDisplayProgram = VYL_VIRTUAL_DISPLAY;

using Frames = std::vector<std::string>;

// The kinds of a result's messages, in order.
inline std::vector<TMessageKind> Kinds(const TActionResult& result) {
    std::vector<TMessageKind> kinds;
    for (const TActionMessage& message : result.Messages)
        kinds.push_back(message.Kind);
    return kinds;
}

// CPU time so far of the threads that run an action: the calling thread and every session
// thread. Not the whole process: a sanitizer's own runtime thread spends time of its own.
inline double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    double seconds = static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name != "display session")
            continue;
        // utime and stime are the 14th and 15th fields, counted after the name in parentheses.
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string skip;
        for (int field = 3; field < 14; ++field)
            fields >> skip;
        double utime = 0;
        double stime = 0;
        fields >> utime >> stime;
        seconds += (utime + stime) / tick;
    }
    return seconds;
}

// Waits for the action that `started` says was started; its result.
inline TActionResult Finish(TDisplaySession& session, bool started) {
    EXPECT_TRUE(started);
    return session.WaitForResult();
}
