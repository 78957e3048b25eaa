// SPDX-License-Identifier: Apache-2.0
#include "CliProcess.h"

CliProcess::CliProcess(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    // The messages in English, unless the test says otherwise.
    std::vector<std::string> settings{"LC_ALL=C.UTF-8"};
    settings.insert(settings.end(), env.begin(), env.end());
    child_.Start(VylctlProgram, args, settings);
}

void CliProcess::Signal(int signal) {
    child_.Signal(signal);
}

CliResult CliProcess::Wait(std::chrono::milliseconds limit) {
    const ChildProcess::TExit exit = child_.Wait(limit);
    return {exit.Status, exit.Signal, child_.Stdout(), child_.Stderr()};
}

std::string CliProcess::StderrSoFar() const {
    return child_.Stderr();
}

CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    CliProcess process(args, env);
    return process.Wait();
}
