// SPDX-License-Identifier: Apache-2.0
#include "untPortDetails.h"

#include "untPublishedPorts.h"
#include "untPublishedPortsIn.h"

#include <dirent.h>
#include <fstream>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

// The first line of a sysfs attribute, without its line break.
std::string Attribute(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::string StableLinkTo(const std::string& device, const std::string& byIdDir) {
    if (device.empty())
        return {};
    DIR* dir = opendir(byIdDir.c_str());
    if (dir == nullptr)
        return {};
    std::string found;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string link = byIdDir + "/" + name;
        if (RealPath(link) == device && (found.empty() || link < found))
            found = link;
    }
    closedir(dir);
    return found;
}

// The USB device a tty hangs under: the nearest folder up from its device that carries the
// vendor id (a USB serial driver's tty sits one or two levels below the USB interface).
void ReadUsbDevice(const std::string& entryDir, TPortDetails& details) {
    std::string dir = RealPath(entryDir + "/device");
    for (int level = 0; level < 8 && dir.size() > 1; ++level) {
        if (Exists(dir + "/idVendor") && Exists(dir + "/idProduct")) {
            details.UsbId = Attribute(dir + "/idVendor") + ":" + Attribute(dir + "/idProduct");
            details.Manufacturer = Attribute(dir + "/manufacturer");
            details.Product = Attribute(dir + "/product");
            return;
        }
        dir = dir.substr(0, dir.rfind('/'));
    }
}

} // namespace

TPortDetails PortDetailsFrom(const std::string& name, const std::string& sysTtyDir,
                             const std::string& devDir, const std::string& byIdDir,
                             const std::optional<std::string>& publishedDir) {
    TPortDetails details;
    details.Name = name;
    const std::string devPath = devDir + "/" + name;
    if (Exists(devPath)) {
        details.DevicePath = devPath;
        details.StablePath = StableLinkTo(RealPath(devPath), byIdDir);
        ReadUsbDevice(sysTtyDir + "/" + name, details);
        return details;
    }
    if (publishedDir) {
        if (auto device = ResolvePublishedPortIn(*publishedDir, name)) {
            details.DevicePath = *device;
            details.Virtual = true;
        }
    }
    return details;
}

TPortDetails PortDetailsOf(const std::string& name) {
    return PortDetailsFrom(name, "/sys/class/tty", "/dev", "/dev/serial/by-id",
                           PublishedPortsDir(false));
}
