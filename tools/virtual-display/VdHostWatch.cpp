// SPDX-License-Identifier: Apache-2.0
#include "VdHostWatch.h"

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

VdHostWatch::VdHostWatch(const std::string& slavePath) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return;
    if (inotify_add_watch(fd_, slavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        close(fd_);
        fd_ = -1;
    }
}

VdHostWatch::~VdHostWatch() {
    if (fd_ >= 0)
        close(fd_);
}

std::vector<VdHostWatch::Change> VdHostWatch::Read() {
    std::vector<Change> changes;
    if (fd_ < 0)
        return changes;
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = read(fd_, buf, sizeof buf);
        if (n <= 0)
            break;
        for (ssize_t off = 0; off < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + off);
            if ((e->mask & IN_OPEN) && opens_++ == 0)
                changes.push_back(Change::Opened);
            if ((e->mask & IN_CLOSE) && opens_ > 0 && --opens_ == 0)
                changes.push_back(Change::Closed);
            off += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
    return changes;
}
