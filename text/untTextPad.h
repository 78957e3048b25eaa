// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

// Lengths count UTF-16 code units.
std::u16string PadRight(std::u16string text, int width, char16_t fill);
std::u16string PadLeftBy(std::u16string text, int count, char16_t fill);

// Centres on the display's 20 columns, then fills with blanks up to `width`.
std::u16string CenterText(const std::u16string& text, int width);
