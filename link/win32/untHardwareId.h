// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

// The USB vendor:product of a device's hardware id ("USB\VID_0403&PID_6001&REV_0600",
// "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000") in lower case as Linux writes it: "0403:6001".
// Empty when the id names no USB vendor and product.
std::string UsbIdOfHardwareId(std::wstring_view hardwareId);
