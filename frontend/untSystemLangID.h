// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>

// The language the system is set to, as a Windows language identifier: the system's own on
// Windows, the system locale mapped through LangIDOfLocale elsewhere. (Its own header: on
// Windows this file's callee shares its name with GetSystemDefaultLangID.)
std::uint16_t SystemLangID();
