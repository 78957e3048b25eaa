// SPDX-License-Identifier: Apache-2.0
#include "untUtf16.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include <unicode/ustring.h>
#include <unicode/utypes.h>

namespace {

constexpr UChar32 kReplacement = 0xFFFD;

// ICU counts in int32_t. Texts here are a display's two lines or a settings file; anything past
// this bound is a caller's bug, reported like any other oversize string.
void CheckLength(std::size_t length, std::size_t growth) {
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) / growth) {
        throw std::length_error("text too long for UTF conversion");
    }
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    CheckLength(utf8.size(), 1);
    // One UTF-8 byte never yields more than one UTF-16 unit, a replacement included.
    std::u16string out(utf8.size(), u'\0');
    std::int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<std::int32_t>(out.size()), &written, utf8.data(),
                         static_cast<std::int32_t>(utf8.size()), kReplacement, nullptr, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<std::size_t>(written));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    CheckLength(utf16.size(), 3);
    // One UTF-16 unit never yields more than three UTF-8 bytes (a pair yields four for two).
    std::string out(utf16.size() * 3, '\0');
    std::int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<std::int32_t>(out.size()), &written, utf16.data(),
                       static_cast<std::int32_t>(utf16.size()), kReplacement, nullptr, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<std::size_t>(written));
    return out;
}
