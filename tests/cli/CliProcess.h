// SPDX-License-Identifier: Apache-2.0
#pragma once

// vylctl as a child of a test: its arguments and environment, its output in files, its exit
// status; a run can be signalled part-way.

#include "ChildProcess.h"

#include <chrono>
#include <string>
#include <vector>

// The program built beside the tests.
inline const std::string VylctlProgram = VYL_VYLCTL;
inline const std::string DisplayProgram = VYL_VIRTUAL_DISPLAY;

struct CliResult {
    int Status = -1; // the exit status; -1 when it did not exit by itself
    int Signal = 0;  // the signal that ended it, when one did
    std::string Stdout;
    std::string Stderr;
};

class CliProcess {
public:
    // Starts vylctl with `args`. The environment is the test's with the messages in English
    // (LC_ALL=C.UTF-8), then `env` ("NAME=value") on top.
    explicit CliProcess(const std::vector<std::string>& args,
                        const std::vector<std::string>& env = {});

    void Signal(int signal);
    // Waits for the end (killed after `limit`) and collects the output.
    CliResult Wait(std::chrono::milliseconds limit = std::chrono::seconds(90));
    std::string StderrSoFar() const;

private:
    ChildProcess child_;
};

CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
