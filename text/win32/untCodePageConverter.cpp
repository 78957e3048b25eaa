// SPDX-License-Identifier: Apache-2.0
// The code page converter on Windows: the system's own, with its best fit.
#include "untCodePageConverter.h"

#include <windows.h>

namespace {

bool IsSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// The bytes of one character: '?' where the page has nothing for it (one '?' also for a
// character outside the BMP, where the system would write one per code unit).
std::string CharacterBytes(UINT page, const wchar_t* unit, int width) {
    // A lone surrogate is no character (the system would write U+FFFD's bytes on UTF-8).
    if (width == 1 && IsSurrogate(*unit))
        return "?";
    char bytes[16];
    BOOL usedDefault = FALSE;
    // UTF-8 takes neither a default character nor the question whether it was used.
    const bool utf8 = page == CP_UTF8;
    const int length = WideCharToMultiByte(page, 0, unit, width, bytes, sizeof bytes,
                                           utf8 ? nullptr : "?", utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return "?";
    return std::string(bytes, static_cast<std::size_t>(length));
}

} // namespace

bool CodePageKnown(int codePage) {
    return IsValidCodePage(static_cast<UINT>(codePage));
}

std::optional<std::vector<std::string>> ConvertCharacters(std::u16string_view text, int codePage) {
    if (!CodePageKnown(codePage))
        return std::nullopt;
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t width = CharacterWidthAt(text, i);
        characters.push_back(CharacterBytes(static_cast<UINT>(codePage),
                                            reinterpret_cast<const wchar_t*>(text.data() + i),
                                            static_cast<int>(width)));
        i += width;
    }
    return characters;
}

// Character by character, so that a byte (or a lead byte with a wrong trail byte) that is no
// character gives U+FFFD and the rest is read on, as on Linux; the system's own replacement
// differs by page.
std::u16string ConvertRun(std::string_view run, int codePage) {
    const auto page = static_cast<UINT>(codePage);
    if (run.empty() || !CodePageKnown(codePage))
        return {};
    std::u16string text;
    for (std::size_t i = 0; i < run.size();) {
        // A UTF-8 sequence is up to four bytes, a double-byte character two.
        std::size_t length = 1;
        if (page == CP_UTF8) {
            const auto lead = static_cast<unsigned char>(run[i]);
            length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        } else if (IsDBCSLeadByteEx(page, static_cast<BYTE>(run[i]))) {
            length = 2;
        }
        wchar_t units[4] = {};
        int got = 0;
        if (i + length <= run.size())
            got = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, run.data() + i,
                                      static_cast<int>(length), units, 4);
        if (got > 0) {
            text.append(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(got));
            i += length;
        } else {
            text += u'\uFFFD';
            ++i;
        }
    }
    return text;
}
