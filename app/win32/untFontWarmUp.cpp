// SPDX-License-Identifier: Apache-2.0
// Windows gives fonts without a configuration to read first: nothing to warm up.
#include "untFontWarmUp.h"

TFontWarmUp::TFontWarmUp() = default;

TFontWarmUp::~TFontWarmUp() = default;

void TFontWarmUp::Join(const std::function<void()>&) {}
