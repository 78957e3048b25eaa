// SPDX-License-Identifier: Apache-2.0
#include "untSystemLangID.h"

#include <windows.h>

std::uint16_t SystemLangID() {
    return ::GetSystemDefaultLangID();
}
