// SPDX-License-Identifier: Apache-2.0
#include "untUtf16.h"

#include <limits>
#include <stdexcept>

#include <windows.h>

namespace {

// The system counts in int. Texts here are a display's two lines or a settings file; anything
// past this bound is a caller's bug, reported like any other oversize string.
void CheckLength(std::size_t length, std::size_t growth) {
    if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()) / growth)
        throw std::length_error("text too long for UTF conversion");
}

} // namespace

// Decoded here rather than by MultiByteToWideChar: malformed input becomes one U+FFFD per
// maximal subpart, as the Unicode standard recommends and ICU does on Linux (the system's
// count of replacements differs between Windows versions and Wine).
std::u16string Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty())
        return {};
    CheckLength(utf8.size(), 1);
    std::u16string out;
    out.reserve(utf8.size());
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned lead = byteAt(i);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        // The sequence's length and the range its second byte must lie in (which rules out
        // overlong forms, surrogates and values past U+10FFFF).
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        char32_t value = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        std::size_t taken = 1;
        for (; length != 0 && taken < length && i + taken < utf8.size(); ++taken) {
            const unsigned next = byteAt(i + taken);
            if (next < (taken == 1 ? low : 0x80) || next > (taken == 1 ? high : 0xBF))
                break;
            value = (value << 6) | (next & 0x3F);
        }
        if (length == 0 || taken < length) {
            out += u'\uFFFD'; // the maximal subpart read so far
            i += taken;
            continue;
        }
        if (value >= 0x10000) {
            value -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (value >> 10));
            out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
        } else {
            out += static_cast<char16_t>(value);
        }
        i += length;
    }
    return out;
}

// The system writes U+FFFD for a lone surrogate (no WC_ERR_INVALID_CHARS), as the core expects.
std::string Utf16ToUtf8(std::u16string_view utf16) {
    if (utf16.empty())
        return {};
    CheckLength(utf16.size(), 3);
    // One UTF-16 unit never yields more than three UTF-8 bytes (a pair yields four for two).
    const std::wstring wide(utf16.begin(), utf16.end());
    std::string out(utf16.size() * 3, '\0');
    const int written =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return out;
}
