// SPDX-License-Identifier: Apache-2.0
#include "ProcessCounts.h"

#include <dirent.h>
#include <string>
#include <thread>

namespace {
std::size_t EntryCount(const char* folder) {
    DIR* dir = opendir(folder);
    if (dir == nullptr)
        return 0;
    std::size_t count = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            ++count;
    }
    closedir(dir);
    return count;
}
} // namespace

// The listing's own descriptor is counted too; it is the same in every call.
std::size_t OpenFdCount() {
    return EntryCount("/proc/self/fd");
}

std::size_t ThreadCount() {
    return EntryCount("/proc/self/task");
}

std::size_t WaitForThreadCount(std::size_t count, std::chrono::milliseconds limit,
                               const std::function<void()>& pump) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::size_t now = ThreadCount();
    while (now > count && std::chrono::steady_clock::now() < deadline) {
        if (pump)
            pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        now = ThreadCount();
    }
    return now;
}
