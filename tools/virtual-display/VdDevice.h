// SPDX-License-Identifier: Apache-2.0
#pragma once

// Other devices the program can play on its port instead of the display, to try what a host
// sends to whatever is attached: a modem with echo on, a scale or scanner that sends on its own,
// a receipt printer. Each hears the line as the display does, at its own speed, and shows in the
// trace what it received; none of them understands the display's frames.

#include "ByteString.h"

#include <cstddef>
#include <cstdint>

enum class VdDevice {
    Display,
    Echo,           // sends every byte it reads straight back
    Stream,         // sends weight lines at its line speed while a host has the port open
    ReceiptPrinter, // answers each ENQ (05) with one status byte
};

// A receipt printer's status: on line, no error (bits 1 and 4 always read 1).
constexpr char kPrinterStatus = 0x12;

// What the device sends back for bytes it read; the display answers frames, not bytes, and the
// streaming device answers nothing.
ByteString DeviceAnswer(VdDevice device, const ByteString& read);

// The streaming device's next line, numbered from 0: a scale's stable gross weight, printable
// text ended by CR LF ("ST,GS,+0000.005kg").
ByteString StreamLine(std::uint64_t number);
