// SPDX-License-Identifier: Apache-2.0
#include "untTextPad.h"

namespace {

// The display has 20 columns; centring is computed for them whatever the final width.
constexpr long long DisplayColumns = 20;

} // namespace

std::u16string PadRight(std::u16string text, int width, char16_t fill) {
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.append(static_cast<std::size_t>(width) - text.size(), fill);
    return text;
}

std::u16string PadLeftBy(std::u16string text, int count, char16_t fill) {
    if (count > 0)
        text.insert(0, static_cast<std::size_t>(count), fill);
    return text;
}

std::u16string CenterText(const std::u16string& text, int width) {
    const auto length = static_cast<long long>(text.size());
    const long long lead = (DisplayColumns - length) / 2; // truncates toward zero
    return PadRight(PadLeftBy(text, static_cast<int>(lead > 0 ? lead : 0), u' '), width, u' ');
}
