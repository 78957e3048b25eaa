#pragma once

#include <string>

#include "untSystemInfo.h"

// The walk behind ParseSettingsJson, kept apart from the module state so that it works on any
// record. The document must already be known to be well-formed JSON (UTF-8).
//
// Applies the top-level members to `target` in document order and stops at the first member a
// byte field cannot take; members before it stay applied. Returns an empty text on success,
// else the reason (without the "Get Settings Failed:" prefix). Throws ESettingsTypeError, with
// `target` untouched, when the top-level value is not an object.
std::string ApplySettingsMembers(const std::string& utf8Document, TSystemInfo& target);
