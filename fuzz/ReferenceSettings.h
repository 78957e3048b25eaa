// SPDX-License-Identifier: Apache-2.0
#pragma once

// What reading a settings document must do to a record, worked out from the document rules
// with the reference JSON reader: the fuzz targets' expectation for ParseSettingsJson.

#include "untSystemInfo.h"

#include <string>
#include <string_view>

enum class SettingsOutcome {
    Empty,        // "Settings JsonStr is Emputy!"
    Malformed,    // "Parsing failed!"
    NotObject,    // the type error raised to the caller
    MemberFailed, // "Get Settings Failed:" after the members before the failing one
    Applied,      // success
};

struct SettingsExpectation {
    SettingsOutcome Outcome = SettingsOutcome::Applied;
    std::string FailedKey; // the key whose value a byte field cannot take
    TSystemInfo Record;    // the record afterwards
};

SettingsExpectation ExpectedSettingsParse(std::u16string_view text, const TSystemInfo& start);

// Every field of the two records is equal; otherwise the first difference, for the message.
std::string RecordDifference(const TSystemInfo& want, const TSystemInfo& got);
