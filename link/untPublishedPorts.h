// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <vector>

// Virtual ports published by programs on this machine (the virtual display): a private folder
// holds NAME (a symlink to the program's pty slave) and NAME.lock (flock'ed while it lives).

// The folder, created 0700 when `create`; nullopt when it is missing or unsafe (a symlink,
// someone else's, open to group or others).
std::optional<std::string> PublishedPortsDir(bool create);

// True for names made only of letters, digits, '-' and '_'.
bool IsValidPublishedPortName(const std::string& name);

// The device path a published port name leads to, nullopt when it is not published.
std::optional<std::string> ResolvePublishedPort(const std::string& name);

// Holds one published port for as long as it lives; withdraws it on destruction.
class TPortPublication {
public:
    // Throws std::runtime_error with the reason when the port cannot be published
    // (bad name, unsafe folder, the name held by a live publisher).
    TPortPublication(const std::string& name, const std::string& devicePath);
    // The same in the given folder (checked as PublishedPortsDir checks the user's own).
    TPortPublication(const std::string& name, const std::string& devicePath,
                     const std::string& folder);
    ~TPortPublication();
    TPortPublication(const TPortPublication&) = delete;
    TPortPublication& operator=(const TPortPublication&) = delete;

    // Removes the link and the lock file; safe to call more than once and from a
    // signal handler's follow-up code path.
    void Withdraw();

private:
    std::string linkPath_;
    std::string lockPath_;
    int lockFd_ = -1;
};
