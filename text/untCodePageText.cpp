// SPDX-License-Identifier: Apache-2.0
#include "untCodePageText.h"

#include "untCharsetMap.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr int Iso8859_7 = 28597;
constexpr char Unmappable = '?';

// Canonical ICU names: loose aliases such as cp949 or ibm-932 open other vendors' tables.
const char* ConverterName(int codePage) {
    switch (codePage) {
    case 437:
        return "ibm-437_P100-1995";
    case 737:
        return "ibm-737_P100-1997";
    case 775:
        return "ibm-775_P100-1996";
    case 850:
        return "ibm-850_P100-1995";
    case 852:
        return "ibm-852_P100-1995";
    case 857:
        return "ibm-857_P100-1995";
    case 858:
        return "ibm-858_P100-1997";
    case 860:
        return "ibm-860_P100-1995";
    case 862:
        return "ibm-862_P100-1995";
    case 863:
        return "ibm-863_P100-1995";
    case 864:
        return "ibm-864_X110-1999";
    case 865:
        return "ibm-865_P100-1995";
    case 866:
        return "ibm-866_P100-1995";
    case 874:
        return "windows-874-2000";
    case 932:
        return "ibm-943_P15A-2003";
    case 936:
        return "windows-936-2000";
    case 949:
        return "windows-949-2000";
    case 950:
        return "windows-950-2000";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1252:
        return "windows-1252";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 28592:
        return "ibm-912_P100-1995";
    case 28598:
        return "ibm-5012_P100-1999";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

struct TSingleByte {
    char16_t Unit;
    unsigned char Byte;
};
using TSingleBytes = std::span<const TSingleByte>;

// Single bytes of Windows' 932 that ICU's table leaves undefined both ways: a C1 control and
// four private-use characters.
constexpr TSingleByte Cp932SingleBytes[] = {
    {u'\u0080', 0x80}, {u'\uF8F0', 0xA0}, {u'\uF8F1', 0xFD}, {u'\uF8F2', 0xFE}, {u'\uF8F3', 0xFF}};

// Windows knows these characters where ICU's IBM tables have no mapping for them.
std::optional<char> MissingMapping(int codePage, char16_t unit) {
    switch (codePage) {
    case 932:
        for (const TSingleByte& s : Cp932SingleBytes)
            if (s.Unit == unit)
                return static_cast<char>(s.Byte);
        break;
    case 437:
    case 860:
    case 862:
    case 863:
    case 865:
        if (unit == u'\u00B5') // micro sign
            return '\xE6';
        break;
    case 852:
        if (unit == u'\u00AC') // not sign
            return '\xAA';
        break;
    default:
        break;
    }
    return std::nullopt;
}

// Windows writes these characters on code page 932 as the double-byte character that stands in
// for them (its best fit); ICU's 932 table has no such fallback for some and, for the others,
// comes with fallbacks that give other characters (a kanji variant for a kanji), so its fallbacks
// stay off and these are converted as their stand-ins.
char16_t Cp932StandIn(char16_t unit) {
    switch (unit) {
    case u'\u00A2': // cent sign
        return u'\uFFE0';
    case u'\u00A3': // pound sign
        return u'\uFFE1';
    case u'\u00AC': // not sign
        return u'\uFFE2';
    case u'\u2016': // double vertical line
        return u'\u2225';
    case u'\u2212': // minus sign
        return u'\uFF0D';
    case u'\u301C': // wave dash
        return u'\uFF5E';
    default:
        return unit;
    }
}

struct TByteRun {
    unsigned char First;
    unsigned char Last;
};

// Bytes from 0x80 up that are no printable character of a single-byte page: the C1 controls of
// the ISO 8859 pages and what Microsoft's and ISO's mapping files leave undefined. ICU's tables
// give several of them characters and best-fit others onto them (the copyright sign onto 0x88 of
// 8859-2); the display shows a control or nothing there.
std::span<const TByteRun> NonCharacterBytes(int codePage) {
    static constexpr TByteRun cp857[] = {{0xD5, 0xD5}, {0xE7, 0xE7}, {0xF2, 0xF2}};
    static constexpr TByteRun cp864[] = {{0x9B, 0x9C}, {0x9F, 0x9F}, {0xA6, 0xA7}, {0xFF, 0xFF}};
    static constexpr TByteRun cp874[] = {
        {0x81, 0x84}, {0x86, 0x90}, {0x98, 0x9F}, {0xDB, 0xDE}, {0xFC, 0xFF}};
    static constexpr TByteRun cp1250[] = {
        {0x81, 0x81}, {0x83, 0x83}, {0x88, 0x88}, {0x90, 0x90}, {0x98, 0x98}};
    static constexpr TByteRun cp1251[] = {{0x98, 0x98}};
    static constexpr TByteRun cp1252[] = {{0x81, 0x81}, {0x8D, 0x8D}, {0x8F, 0x90}, {0x9D, 0x9D}};
    static constexpr TByteRun cp1253[] = {{0x81, 0x81}, {0x88, 0x88}, {0x8A, 0x8A}, {0x8C, 0x90},
                                          {0x98, 0x98}, {0x9A, 0x9A}, {0x9C, 0x9F}, {0xAA, 0xAA},
                                          {0xD2, 0xD2}, {0xFF, 0xFF}};
    static constexpr TByteRun cp1254[] = {{0x81, 0x81}, {0x8D, 0x90}, {0x9D, 0x9E}};
    static constexpr TByteRun cp1255[] = {{0x81, 0x81}, {0x8A, 0x8A}, {0x8C, 0x90},
                                          {0x9A, 0x9A}, {0x9C, 0x9F}, {0xCA, 0xCA},
                                          {0xD9, 0xDF}, {0xFB, 0xFC}, {0xFF, 0xFF}};
    static constexpr TByteRun cp1257[] = {{0x81, 0x81}, {0x83, 0x83}, {0x88, 0x88}, {0x8A, 0x8A},
                                          {0x8C, 0x8C}, {0x90, 0x90}, {0x98, 0x98}, {0x9A, 0x9A},
                                          {0x9C, 0x9C}, {0x9F, 0x9F}, {0xA1, 0xA1}, {0xA5, 0xA5}};
    static constexpr TByteRun cp1258[] = {
        {0x81, 0x81}, {0x8A, 0x8A}, {0x8D, 0x90}, {0x9A, 0x9A}, {0x9D, 0x9E}};
    static constexpr TByteRun iso8859_2[] = {{0x80, 0x9F}};
    static constexpr TByteRun iso8859_8[] = {
        {0x80, 0x9F}, {0xA1, 0xA1}, {0xBF, 0xDE}, {0xFB, 0xFC}, {0xFF, 0xFF}};
    switch (codePage) {
    case 857:
        return cp857;
    case 864:
        return cp864;
    case 874:
        return cp874;
    case 1250:
        return cp1250;
    case 1251:
        return cp1251;
    case 1252:
        return cp1252;
    case 1253:
        return cp1253;
    case 1254:
        return cp1254;
    case 1255:
        return cp1255;
    case 1257:
        return cp1257;
    case 1258:
        return cp1258;
    case 28592:
        return iso8859_2;
    case 28598:
        return iso8859_8;
    default:
        return {};
    }
}

bool IsNonCharacterByte(int codePage, char byte) {
    const auto value = static_cast<unsigned char>(byte);
    for (const TByteRun& run : NonCharacterBytes(codePage))
        if (value >= run.First && value <= run.Last)
            return true;
    return false;
}

// The reverse for showing bytes: Microsoft's characters where ICU's IBM tables read others.
std::optional<char16_t> MicrosoftCharacter(int codePage, unsigned char byte) {
    switch (codePage) {
    case 437:
    case 860:
    case 862:
    case 863:
    case 865:
        if (byte == 0xE6)
            return u'\u00B5'; // ICU reads the Greek mu
        break;
    case 852:
        if (byte == 0xAA)
            return u'\u00AC';
        break;
    case 864:
        switch (byte) {
        case 0x25:
            return u'\u066A'; // Arabic percent sign
        case 0xD7:
            return u'\uFEC1';
        case 0xD8:
            return u'\uFEC5';
        case 0xF1:
            return u'\u0651';
        default:
            break;
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool IsControlUnit(char32_t c) {
    return c < 0x20 || c == 0x7F;
}
bool IsC1Unit(char32_t c) {
    return c >= 0x80 && c <= 0x9F;
}
bool IsControlByte(char b) {
    const auto u = static_cast<unsigned char>(b);
    return u < 0x20 || u == 0x7F;
}

// What has no mapping becomes '?'. ICU's own substitution callback writes the code page's
// substitution byte (0x7F or 0x1A on some tables, both commands to a display) and silently
// skips default-ignorable characters, where Windows writes '?'.
void QuestionMarkFromUnicode(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                             UChar32, UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR)
        return;
    *err = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, &Unmappable, 1, 0, err);
}

// What ICU cannot read becomes U+FFFD, but for the single bytes of `context` (a TSingleBytes,
// or none) that Windows reads where ICU's table does not. ICU hands them over one by one, so a
// byte that is the trail of a double-byte character never gets here.
void ReplacementToUnicode(const void* context, UConverterToUnicodeArgs* args, const char* codeUnits,
                          int32_t length, UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR)
        return;
    *err = U_ZERO_ERROR;
    UChar replacement = 0xFFFD;
    if (context != nullptr && length == 1)
        for (const TSingleByte& s : *static_cast<const TSingleBytes*>(context))
            if (s.Byte == static_cast<unsigned char>(codeUnits[0]))
                replacement = s.Unit;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, err);
}

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterClose>;

UConverter* OpenConverter(int codePage) {
    const char* name = ConverterName(codePage);
    if (name == nullptr)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status));
    // Ambiguous-alias warnings are normal for the windows-125x names: only failures count.
    if (U_FAILURE(status) || !converter)
        return nullptr;
    // Fallbacks give Windows' best fit; for 932 see Cp932StandIn.
    ucnv_setFallback(converter.get(), codePage != 932);
    ucnv_setFromUCallBack(converter.get(), QuestionMarkFromUnicode, nullptr, nullptr, nullptr,
                          &status);
    static constexpr TSingleBytes cp932(Cp932SingleBytes);
    ucnv_setToUCallBack(converter.get(), ReplacementToUnicode, codePage == 932 ? &cp932 : nullptr,
                        nullptr, nullptr, &status);
    if (U_FAILURE(status))
        return nullptr;
    return converter.release();
}

// One converter per code page and thread, opened on first use and closed when the thread ends.
UConverter* ConverterFor(int codePage) {
    thread_local std::map<int, ConverterPtr> cache;
    auto found = cache.find(codePage);
    if (found == cache.end())
        found = cache.emplace(codePage, ConverterPtr(OpenConverter(codePage))).first;
    return found->second.get();
}

// ICU's whole-text conversion, each output byte tagged with the index of its source character.
bool ConvertWithOffsets(UConverter* converter, std::u16string_view text, std::string& bytes,
                        std::vector<int32_t>& offsets) {
    ucnv_resetFromUnicode(converter);
    const auto length = static_cast<int32_t>(text.size());
    // Every character gives at most the maximum character size; '?' is one byte.
    const std::size_t capacity = static_cast<std::size_t>(
        UCNV_GET_MAX_BYTES_FOR_STRING(length, ucnv_getMaxCharSize(converter)));
    bytes.assign(capacity, '\0');
    offsets.assign(capacity, -1);
    char* target = bytes.data();
    const UChar* source = reinterpret_cast<const UChar*>(text.data());
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, bytes.data() + capacity, &source, source + length,
                     offsets.data(), true, &status);
    if (U_FAILURE(status))
        return false;
    const auto produced = static_cast<std::size_t>(target - bytes.data());
    bytes.resize(produced);
    offsets.resize(produced);
    return true;
}

ByteString Iso8859_7Bytes(std::u16string_view text) {
    ByteString out;
    out.reserve(text.size());
    for (const char16_t unit : text)
        out += static_cast<char>(MapCharToByte(ISO8859_7_Map, unit));
    return out;
}

} // namespace

ByteString TextToCodePageBytes(std::u16string_view text, int codePage) {
    if (text.empty())
        return {};
    if (codePage == Iso8859_7)
        return Iso8859_7Bytes(text);
    UConverter* converter = ConverterFor(codePage);
    if (converter == nullptr)
        return {};
    std::u16string standIns;
    if (codePage == 932) {
        // One code unit for another: the offsets still name the characters of `text`.
        standIns.assign(text);
        for (char16_t& unit : standIns)
            unit = Cp932StandIn(unit);
    }
    std::string converted;
    std::vector<int32_t> offsets;
    if (!ConvertWithOffsets(converter, standIns.empty() ? text : standIns, converted, offsets))
        return {};

    ByteString out;
    out.reserve(converted.size());
    std::size_t next = 0; // first converted byte not yet consumed
    for (std::size_t i = 0; i < text.size();) {
        const char16_t unit = text[i];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        const std::size_t width = pair ? 2 : 1;
        // The bytes ICU made for this character: those tagged with an index inside it.
        const std::size_t begin = next;
        // A byte ICU cannot attribute (offset -1) stays with the character at hand.
        while (next < converted.size() &&
               static_cast<long long>(offsets[next]) < static_cast<long long>(i + width))
            ++next;
        const std::string_view own(converted.data() + begin, next - begin);

        if (IsControlUnit(unit)) {
            // Controls stay themselves; ICU's IBM tables swap 0x1A, 0x1C and 0x7F.
            out += static_cast<char>(unit);
        } else if (const auto missing = MissingMapping(codePage, unit)) {
            out += *missing;
        } else if (own.empty()) {
            out += Unmappable; // silently dropped by ICU
        } else {
            bool control = false;
            for (const char b : own)
                control = control || IsControlByte(b);
            // A printable character must never reach the display as a command byte, nor as a
            // byte that is no character of the page. (A C1 control may stay one.)
            if (own.size() == 1 && !IsC1Unit(unit) && IsNonCharacterByte(codePage, own[0]))
                control = true;
            if (control)
                out += Unmappable;
            else
                out += own;
        }
        i += width;
    }
    return out;
}

std::u16string CodePageBytesToText(const ByteString& bytes, int codePage) {
    if (bytes.empty())
        return {};
    if (codePage == Iso8859_7) {
        std::u16string text;
        text.reserve(bytes.size());
        for (const char b : bytes) {
            char16_t unit = 0xFFFD;
            for (const TCharsetPair& p : ISO8859_7_Map)
                if (p.Byte == static_cast<unsigned char>(b)) {
                    unit = p.Unicode;
                    break;
                }
            text += unit;
        }
        return text;
    }
    UConverter* converter = ConverterFor(codePage);
    if (converter == nullptr)
        return {};

    std::u16string text;
    // Control bytes are never part of a multi-byte character in these code pages: they are
    // shown as themselves, as are the few bytes that Microsoft's tables read otherwise than
    // ICU's (single-byte pages only), and the runs between them go through ICU.
    auto convertRun = [&](std::string_view run) {
        if (run.empty())
            return;
        ucnv_resetToUnicode(converter);
        const auto length = static_cast<int32_t>(run.size());
        std::u16string part(static_cast<std::size_t>(length) * 2 + 2, u'\0');
        UErrorCode status = U_ZERO_ERROR;
        const int32_t produced =
            ucnv_toUChars(converter, reinterpret_cast<UChar*>(part.data()),
                          static_cast<int32_t>(part.size()), run.data(), length, &status);
        if (U_FAILURE(status))
            return;
        part.resize(static_cast<std::size_t>(produced));
        text += part;
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        std::optional<char16_t> own = MicrosoftCharacter(codePage, byte);
        if (IsControlByte(bytes[i]))
            own = static_cast<char16_t>(byte);
        if (own) {
            convertRun(std::string_view(bytes).substr(start, i - start));
            text += *own;
            start = i + 1;
        }
    }
    convertRun(std::string_view(bytes).substr(start));
    return text;
}
