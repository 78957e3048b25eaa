// SPDX-License-Identifier: Apache-2.0
// What the display needs of a code page conversion, on top of the system's converter: controls
// stay themselves, and a printable character never reaches the display as a command byte or as
// a byte that is no character of the page.
#include "untCodePageText.h"

#include "untCharsetMap.h"
#include "untCodePageConverter.h"

#include <span>

namespace {

constexpr int Iso8859_7 = 28597;
constexpr char Unmappable = '?';

// The code pages the display offers.
bool CodePageSupported(int codePage) {
    switch (codePage) {
    case 437:
    case 737:
    case 775:
    case 850:
    case 852:
    case 857:
    case 858:
    case 860:
    case 862:
    case 863:
    case 864:
    case 865:
    case 866:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
    case 28592:
    case 28598:
    case 65001:
        return true;
    default:
        return false;
    }
}

// Windows writes these characters on code page 932 as the double-byte character that stands in
// for them (its best fit); ICU's 932 table has no such fallback for some and, for the others,
// comes with fallbacks that give other characters (a kanji variant for a kanji), so its fallbacks
// stay off (and Wine's 932 table has no best fit at all). These are converted as their stand-ins,
// which is what Windows itself does with them.
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

ByteString Iso8859_7Bytes(std::u16string_view text) {
    ByteString out;
    out.reserve(text.size());
    for (const char16_t unit : text)
        out += static_cast<char>(MapCharToByte(ISO8859_7_Map, unit));
    return out;
}

bool IsHighSurrogateAt(std::u16string_view text, std::size_t i) {
    return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
           text[i + 1] <= 0xDFFF;
}

} // namespace

std::size_t CharacterWidthAt(std::u16string_view text, std::size_t i) {
    return IsHighSurrogateAt(text, i) ? 2 : 1;
}

ByteString TextToCodePageBytes(std::u16string_view text, int codePage) {
    if (text.empty())
        return {};
    if (codePage == Iso8859_7)
        return Iso8859_7Bytes(text);
    if (!CodePageSupported(codePage))
        return {};
    std::u16string standIns;
    if (codePage == 932) {
        // One code unit for another: the characters of `text` stay where they were.
        standIns.assign(text);
        for (char16_t& unit : standIns)
            unit = Cp932StandIn(unit);
    }
    const auto converted = ConvertCharacters(standIns.empty() ? text : standIns, codePage);
    if (!converted)
        return {};

    ByteString out;
    out.reserve(text.size());
    std::size_t character = 0;
    for (std::size_t i = 0; i < text.size(); i += CharacterWidthAt(text, i), ++character) {
        const char16_t unit = text[i];
        const std::string& own = (*converted)[character];
        if (IsControlUnit(unit)) {
            // Controls stay themselves, whatever the converter's table makes of them.
            out += static_cast<char>(unit);
        } else if (own.empty()) {
            out += Unmappable; // dropped by the converter
        } else {
            bool control = false;
            for (const char b : own)
                control = control || IsControlByte(b);
            // A printable character must never reach the display as a command byte (best fit
            // puts some symbols on them: on 437 the female sign on 0C, clear screen), nor as a
            // byte that is no character of the page. (A C1 control may stay one.)
            if (own.size() == 1 && !IsC1Unit(unit) && IsNonCharacterByte(codePage, own[0]))
                control = true;
            out += control ? std::string(1, Unmappable) : own;
        }
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
    if (!CodePageSupported(codePage) || !CodePageKnown(codePage))
        return {};
    // Control bytes are never part of a multi-byte character in these code pages: they are
    // shown as themselves, and the runs between them go through the converter.
    std::u16string text;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && !IsControlByte(bytes[i]))
            continue;
        if (i > start)
            text += ConvertRun(std::string_view(bytes).substr(start, i - start), codePage);
        if (i < bytes.size())
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
        start = i + 1;
    }
    return text;
}
