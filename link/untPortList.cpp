// SPDX-License-Identifier: Apache-2.0
#include "untPortList.h"
#include "untComm.h"
#include "untPublishedPorts.h"
#include "untPublishedPortsIn.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

bool ExistsAt(int dirFd, const std::string& relativePath) {
    struct stat st {};
    return fstatat(dirFd, relativePath.c_str(), &st, 0) == 0;
}

// Whether a /sys/class/tty entry links to a virtual device (which never has one behind it).
bool IsVirtualTty(int dirFd, const std::string& name) {
    char target[PATH_MAX];
    const ssize_t length = readlinkat(dirFd, name.c_str(), target, sizeof target);
    return length > 0 &&
           std::string_view(target, static_cast<std::size_t>(length)).find("/devices/virtual/") !=
               std::string_view::npos;
}

// The fixed 8250 slots exist whether or not a UART sits behind them; `type` tells them
// apart (0: no UART). Reading it never touches the port's control lines, opening would.
bool UartPresent(const std::string& entryDir) {
    std::ifstream in(entryDir + "/type");
    long type = 0;
    return static_cast<bool>(in >> type) && type != 0;
}

} // namespace

std::string PortDevicePath(const std::string& portName) {
    if (!portName.empty() && portName.front() == '/')
        return portName;
    const std::string devPath = "/dev/" + portName;
    if (Exists(devPath))
        return devPath;
    if (auto published = ResolvePublishedPort(portName))
        return *published;
    return devPath;
}

bool ListComPortsFrom(const std::string& sysTtyDir, const std::string& devDir,
                      const std::optional<std::string>& publishedDir,
                      std::vector<std::string>& target) {
    DIR* dir = opendir(sysTtyDir.c_str());
    if (dir == nullptr)
        return false;
    std::vector<std::string> names;
    const int dirFd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string entryDir = sysTtyDir + "/" + name;
        // Virtual terminals, ptys and consoles have no device behind them. Most entries are
        // those: their link into the virtual devices says so for a third of the cost of
        // looking for the device through it.
        if (IsVirtualTty(dirFd, name) || !ExistsAt(dirFd, name + "/device"))
            continue;
        if (name.rfind("ttyS", 0) == 0 && !UartPresent(entryDir))
            continue;
        if (!Exists(devDir + "/" + name))
            continue;
        names.push_back(name);
    }
    closedir(dir);
    if (publishedDir) {
        const auto published = ListPublishedPortsIn(*publishedDir);
        names.insert(names.end(), published.begin(), published.end());
    }
    SortPortNames(names);
    target = std::move(names);
    return true;
}

bool ListComPorts(std::vector<std::string>& target) {
    return ListComPortsFrom("/sys/class/tty", "/dev", PublishedPortsDir(false), target);
}
