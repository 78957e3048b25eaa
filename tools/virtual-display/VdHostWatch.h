// SPDX-License-Identifier: Apache-2.0
#pragma once

// Sees the host open and close the pty slave. The display keeps its own slave fd open, so the
// line itself never reports the host leaving; inotify on the slave's device node does (every
// open and close by another process). A connection lasts while the host has the port open.

#include <string>
#include <vector>

class VdHostWatch {
public:
    explicit VdHostWatch(const std::string& slavePath);
    ~VdHostWatch();
    VdHostWatch(const VdHostWatch&) = delete;
    VdHostWatch& operator=(const VdHostWatch&) = delete;

    // -1 when inotify is not available; then no connection boundaries are seen.
    int Fd() const { return fd_; }
    bool Active() const { return fd_ >= 0; }

    enum class Change { Opened, Closed };
    // Reads the pending notifications: Opened when the host went from no open fd to one,
    // Closed when its last fd went, in the order they happened.
    std::vector<Change> Read();

private:
    int fd_ = -1;
    int opens_ = 0;
};
