// SPDX-License-Identifier: Apache-2.0
// The code page converter on Windows: the system's own, with its best fit.
#include "untCodePageConverter.h"

#include <windows.h>

namespace {

bool IsSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

} // namespace

bool CodePageKnown(int codePage) {
    // Below 37 (the first EBCDIC page) are the pseudo pages: the active code pages and symbols.
    return codePage >= 37 && IsValidCodePage(static_cast<UINT>(codePage));
}

std::optional<std::vector<std::string>> ConvertCharacters(std::u16string_view text, int codePage) {
    if (!CodePageKnown(codePage))
        return std::nullopt;
    const auto page = static_cast<UINT>(codePage);
    // UTF-8 takes neither a default character nor the question whether it was used.
    const bool utf8 = page == CP_UTF8;
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t width = CharacterWidthAt(text, i);
        const auto* unit = reinterpret_cast<const wchar_t*>(text.data() + i);
        char bytes[16];
        // A lone surrogate is no character: '?' as on the other pages (the system would write
        // U+FFFD's three bytes on UTF-8).
        int length = 0;
        if (!(width == 1 && IsSurrogate(*unit)))
            length = WideCharToMultiByte(page, 0, unit, static_cast<int>(width), bytes,
                                         sizeof bytes, utf8 ? nullptr : "?", nullptr);
        characters.emplace_back(length > 0 ? std::string(bytes, static_cast<std::size_t>(length))
                                           : std::string("?"));
        i += width;
    }
    return characters;
}

std::u16string ConvertRun(std::string_view run, int codePage) {
    if (run.empty() || !CodePageKnown(codePage))
        return {};
    std::wstring text(run.size(), L'\0');
    const int length = MultiByteToWideChar(static_cast<UINT>(codePage), 0, run.data(),
                                           static_cast<int>(run.size()), text.data(),
                                           static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return std::u16string(text.begin(), text.end());
}
