// SPDX-License-Identifier: Apache-2.0
#pragma once

// A program started as a child of a test: its arguments and environment, standard input from
// /dev/null, standard output and error in files of a private temporary folder (readable while
// it runs), its exit. Everything else the test starts goes through here.

#include <chrono>
#include <string>
#include <vector>

// The whole content of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

class ChildProcess {
public:
    // Makes the private folder; Start() then starts the program.
    ChildProcess();
    // Starts `program` (a name without a slash is looked up in PATH) with `args`; false when
    // it could not be. `env` ("NAME=value") replaces the variables of those names in the
    // test's environment.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env = {});
    // Kills a child still running and removes its folder (files the child left there too).
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The private folder: where its output lies, and room for files of the test's own.
    const std::string& Dir() const { return dir_; }
    std::string Stdout() const { return ReadFileBytes(dir_ + "/stdout"); }
    std::string Stderr() const { return ReadFileBytes(dir_ + "/stderr"); }

    void Signal(int signal);
    // True once it has exited (or was never started); does not wait.
    bool Exited();

    struct TExit {
        int Status = -1; // the exit status; -1 when it did not exit by itself
        int Signal = 0;  // the signal that ended it, when one did
    };
    // Waits for its end, killed after `limit`.
    TExit Wait(std::chrono::milliseconds limit);

private:
    int pid_ = -1;
    bool exited_ = false;
    TExit exit_;
    std::string dir_;
};
