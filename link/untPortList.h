// SPDX-License-Identifier: Apache-2.0
#pragma once

// Port names and the devices behind them. The roots are parameters so that tests can hand
// in a fake sysfs and /dev tree; ListComPorts passes the machine's own.

#include <optional>
#include <string>
#include <vector>

// The one place where a port name becomes a device path: an absolute path stays as it is,
// otherwise /dev/NAME when it exists, else the published virtual port NAME, else /dev/NAME
// (whose open then fails with the OS's reason).
std::string PortDevicePath(const std::string& portName);

// The serial ports under `sysTtyDir` (entries with a `device` behind them; ttyS entries only
// with a non-zero `type`) that exist under `devDir`, plus the ports published in
// `publishedDir`, sorted. False (target untouched) when `sysTtyDir` cannot be read.
bool ListComPortsFrom(const std::string& sysTtyDir, const std::string& devDir,
                      const std::optional<std::string>& publishedDir,
                      std::vector<std::string>& target);

// Case-insensitive, in the user's locale collation, not by number: ttyS10 before ttyS2.
void SortPortNames(std::vector<std::string>& names);
