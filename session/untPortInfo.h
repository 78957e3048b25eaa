// SPDX-License-Identifier: Apache-2.0
#pragma once

// The ports a front end lists, each with what the system tells about it without opening it.

#include <string>
#include <vector>

struct TPortInfo {
    std::string Name;         // as listed: "ttyUSB0", "DemoDisplay"
    std::string DevicePath;   // what opening the name opens
    std::string StablePath;   // the /dev/serial/by-id link to the same device; empty when none
    std::string UsbId;        // vendor:product, "0403:6001"; empty for a port not on USB
    std::string Manufacturer; // the USB device's own texts
    std::string Product;
    bool Virtual = false; // published by a program on this machine (the virtual display)
};

// The ports of TDisplaySession::ListPorts with their details; false when the system's list of
// ports cannot be read.
bool ListPortInfo(std::vector<TPortInfo>& target);
