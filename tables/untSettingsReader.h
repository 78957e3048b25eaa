// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

#include "untSystemInfo.h"

// The reading behind ParseSettingsJson, kept apart from the module state so that it works on any
// record.
struct TSettingsReading {
    bool WellFormed = false; // false: the text is not JSON, and nothing was applied
    std::string Failure;     // why a member could not be applied; empty when all were
};

// Checks that `utf8Document` is well-formed JSON, then applies its top-level members to `target`
// in document order and stops at the first member a byte field cannot take; members before it
// stay applied. The failure text comes without the "Get Settings Failed:" prefix. Throws
// ESettingsTypeError, with `target` untouched, when the top-level value is not an object.
TSettingsReading ReadSettingsDocument(std::string_view utf8Document, TSystemInfo& target);
