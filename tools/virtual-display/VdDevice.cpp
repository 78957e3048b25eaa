// SPDX-License-Identifier: Apache-2.0
#include "VdDevice.h"

#include <algorithm>
#include <cstdio>

ByteString DeviceAnswer(VdDevice device, const ByteString& read) {
    switch (device) {
    case VdDevice::Echo:
        return read;
    case VdDevice::ReceiptPrinter:
        return ByteString(static_cast<std::size_t>(std::count(read.begin(), read.end(), '\x05')),
                          kPrinterStatus);
    case VdDevice::Display:
    case VdDevice::Stream:
        break;
    }
    return {};
}

ByteString StreamLine(std::uint64_t number) {
    // The load creeps up by 5 g a line and starts over at 5 kg, so successive lines differ.
    const unsigned grams = static_cast<unsigned>(number % 1000) * 5;
    char line[32];
    const int n =
        std::snprintf(line, sizeof line, "ST,GS,+%04u.%03ukg\r\n", grams / 1000, grams % 1000);
    return ByteString(line, static_cast<std::size_t>(n));
}
