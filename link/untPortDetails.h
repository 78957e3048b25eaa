// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the system tells about a listed port without opening it: the device behind the name,
// the stable /dev/serial/by-id link to it, and for a USB adapter its ids and texts from sysfs.

#include <optional>
#include <string>

struct TPortDetails {
    std::string Name;
    std::string DevicePath;   // what opening the name opens
    std::string StablePath;   // the by-id link that leads to the same device; empty when none
    std::string UsbId;        // "0403:6001"; empty when no USB device is behind the port
    std::string Manufacturer; // the USB device's texts, empty when it has none
    std::string Product;
    bool Virtual = false; // a port published by a program on this machine
};

// The details of port `name` as listed from `sysTtyDir`, `devDir` and `publishedDir`, with
// stable links looked up in `byIdDir`. Never fails: what cannot be read stays empty.
TPortDetails PortDetailsFrom(const std::string& name, const std::string& sysTtyDir,
                             const std::string& devDir, const std::string& byIdDir,
                             const std::optional<std::string>& publishedDir);

// The same from the machine's own folders.
TPortDetails PortDetailsOf(const std::string& name);
