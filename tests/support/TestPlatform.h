// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the suites that run on both systems must know of the one they run on: the few places
// where the system's own code page converter differs on purpose or by a gap of its own.

#include <string>

// The code page converter is Windows' own (on Linux it is ICU, tuned to give Windows' results).
bool ConverterIsWindows();

// Why the converter cannot be held to the reference tables for `page`, or "" when it can.
// Wine's tables lack 858 and differ from Microsoft's in a few cells of 864, 932 and 28598.
std::string ConverterGap(int page);

// The converter has no such page at all (858 under Wine).
bool ConverterLacks(int page);
