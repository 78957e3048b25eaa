// SPDX-License-Identifier: Apache-2.0
#include "TestPlatform.h"

bool ConverterIsWindows() {
    return false;
}

std::string ConverterGap(int) {
    return {};
}

bool ConverterLacks(int) {
    return false;
}
