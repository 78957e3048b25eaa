// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "DisplayTrace.h"
#include "VirtualDisplayProcess.h"
#include "untDisplaySession.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
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

// CPU time of this process so far.
inline double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Waits for the action that `started` says was started; its result.
inline TActionResult Finish(TDisplaySession& session, bool started) {
    EXPECT_TRUE(started);
    return session.WaitForResult();
}
