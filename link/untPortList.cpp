// SPDX-License-Identifier: Apache-2.0
#include "untPortList.h"
#include "untComm.h"
#include "untPublishedPorts.h"
#include "untPublishedPortsIn.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
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
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string entryDir = sysTtyDir + "/" + name;
        // Virtual terminals, ptys and consoles have no device behind them.
        if (!Exists(entryDir + "/device"))
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
