// SPDX-License-Identifier: Apache-2.0
#include "untSystemLangID.h"

#include "untLangID.h"

std::uint16_t SystemLangID() {
    return LangIDOfLocale(QLocale::system());
}
