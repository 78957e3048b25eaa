// SPDX-License-Identifier: Apache-2.0
// The code page converter on Linux: ICU, tuned to give what Windows' converter gives.
#include "untCodePageConverter.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <map>
#include <memory>
#include <span>

namespace {

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
    // Fallbacks give Windows' best fit; 932's best fit comes as stand-ins from above (ICU's 932
    // fallbacks give other characters than the ones typed).
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

} // namespace

bool CodePageKnown(int codePage) {
    return ConverterFor(codePage) != nullptr;
}

std::optional<std::vector<std::string>> ConvertCharacters(std::u16string_view text, int codePage) {
    UConverter* converter = ConverterFor(codePage);
    if (converter == nullptr)
        return std::nullopt;
    std::string converted;
    std::vector<int32_t> offsets;
    if (!ConvertWithOffsets(converter, text, converted, offsets))
        return std::nullopt;

    std::vector<std::string> characters;
    std::size_t next = 0; // first converted byte not yet consumed
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t width = CharacterWidthAt(text, i);
        // The bytes ICU made for this character: those tagged with an index inside it.
        const std::size_t begin = next;
        // A byte ICU cannot attribute (offset -1) stays with the character at hand.
        while (next < converted.size() &&
               static_cast<long long>(offsets[next]) < static_cast<long long>(i + width))
            ++next;
        if (const auto missing = MissingMapping(codePage, text[i]))
            characters.emplace_back(1, *missing);
        else
            characters.emplace_back(converted, begin, next - begin);
        i += width;
    }
    return characters;
}

std::u16string ConvertRun(std::string_view run, int codePage) {
    UConverter* converter = ConverterFor(codePage);
    if (converter == nullptr)
        return {};
    std::u16string text;
    // The few bytes that Microsoft's tables read otherwise than ICU's (single-byte pages only)
    // are taken from Microsoft's; the runs between them go through ICU.
    auto convert = [&](std::string_view part) {
        if (part.empty())
            return;
        ucnv_resetToUnicode(converter);
        const auto length = static_cast<int32_t>(part.size());
        std::u16string chars(static_cast<std::size_t>(length) * 2 + 2, u'\0');
        UErrorCode status = U_ZERO_ERROR;
        const int32_t produced =
            ucnv_toUChars(converter, reinterpret_cast<UChar*>(chars.data()),
                          static_cast<int32_t>(chars.size()), part.data(), length, &status);
        if (U_FAILURE(status))
            return;
        chars.resize(static_cast<std::size_t>(produced));
        text += chars;
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
        if (const auto own = MicrosoftCharacter(codePage, static_cast<unsigned char>(run[i]))) {
            convert(run.substr(start, i - start));
            text += *own;
            start = i + 1;
        }
    }
    convert(run.substr(start));
    return text;
}
