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

// Without MB_ERR_INVALID_CHARS and WC_ERR_INVALID_CHARS the system writes U+FFFD for malformed
// input and lone surrogates, as the core expects.
std::u16string Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty())
        return {};
    CheckLength(utf8.size(), 1);
    // One UTF-8 byte never yields more than one UTF-16 unit, a replacement included.
    std::wstring out(utf8.size(), L'\0');
    const int written = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                            out.data(), static_cast<int>(out.size()));
    out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return std::u16string(out.begin(), out.end());
}

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
