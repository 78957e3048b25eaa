// SPDX-License-Identifier: Apache-2.0
#include "untCharsetMap.h"
#include "untCodePageText.h"

#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct Entry {
    char16_t Unit;
    unsigned char Byte;
};

// code page -> every character it defines as one byte, with its byte, from the Unicode
// Consortium's tables: whole single-byte pages, and the single bytes of 932.
const std::map<int, std::vector<Entry>>& Reference() {
    static const std::map<int, std::vector<Entry>> tables = [] {
        std::map<int, std::vector<Entry>> result;
        std::ifstream in(VYL_TEXT_TEST_DATA "/code_page_tables.txt");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            int page = 0;
            unsigned unit = 0, byte = 0;
            fields >> std::dec >> page >> std::hex >> unit >> byte;
            result[page].push_back({static_cast<char16_t>(unit), static_cast<unsigned char>(byte)});
        }
        return result;
    }();
    return tables;
}

const std::vector<int> SingleBytePages = {437,  737,  775,  850,  852,  857,   858,   860,  862,
                                          863,  864,  865,  866,  874,  1250,  1251,  1252, 1253,
                                          1254, 1255, 1256, 1257, 1258, 28592, 28597, 28598};
const std::vector<int> MultiBytePages = {932, 936, 949, 950, 65001};
// The pages with a reference table.
const std::vector<int> ReferencePages = [] {
    std::vector<int> pages = SingleBytePages;
    pages.push_back(932);
    return pages;
}();

// Pages the system's converter cannot be held to here are named, not tested.
bool SkippedHere(int page) {
    const std::string gap = ConverterGap(page);
    if (!gap.empty())
        std::cout << "  code page " << page << " left out: " << gap << '\n';
    return !gap.empty();
}

std::string Hex(const ByteString& bytes) {
    std::string out;
    char buf[4];
    for (const char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

} // namespace

TEST(CodePageText, EverySingleByteCharacterMatchesTheReferenceTables) {
    ASSERT_EQ(Reference().size(), ReferencePages.size()) << "reference data missing";
    for (const int page : ReferencePages) {
        if (SkippedHere(page))
            continue;
        const auto found = Reference().find(page);
        ASSERT_NE(found, Reference().end()) << page;
        EXPECT_GE(found->second.size(), 128u) << page;
        int faults = 0;
        for (const Entry& e : found->second) {
            const ByteString got = TextToCodePageBytes(std::u16string(1, e.Unit), page);
            if (got != ByteString(1, static_cast<char>(e.Byte)) && ++faults <= 5)
                ADD_FAILURE() << "code page " << page << ": U+" << std::hex
                              << static_cast<unsigned>(e.Unit) << " gave " << Hex(got)
                              << "instead of " << static_cast<unsigned>(e.Byte);
            // The reverse shows the display's bytes as the same characters.
            const std::u16string back =
                CodePageBytesToText(ByteString(1, static_cast<char>(e.Byte)), page);
            if (back != std::u16string(1, e.Unit) && ++faults <= 5)
                ADD_FAILURE() << "code page " << page << ": byte " << std::hex
                              << static_cast<unsigned>(e.Byte) << " read back as U+"
                              << (back.empty() ? 0u : static_cast<unsigned>(back[0]));
        }
        EXPECT_EQ(faults, 0) << "code page " << page;
        EXPECT_EQ(TextToCodePageBytes(u"ABC", page), "ABC") << page;
    }
}

TEST(CodePageText, WholeTextsConvertCharacterByCharacter) {
    // A mix of defined, control and undefined characters in one call keeps its order.
    EXPECT_EQ(TextToCodePageBytes(u"\u00E9a\u4E2D\tb", 1252), "\xE9"
                                                              "a?\tb"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u03A9\u20AC\u4E2D", 28597), "\xD9\xA4\xFF"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u00E9\u00B5x\u00E9", 437), "\x82\xE6x\x82"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u00AC\u00E9", 852), "\xAA\x82"s);
    EXPECT_EQ(TextToCodePageBytes(u"", 437), "");
    EXPECT_EQ(TextToCodePageBytes(u"", -1), "");
}

TEST(CodePageText, DoubleBytePagesAndUtf8OnSamples) {
    EXPECT_EQ(TextToCodePageBytes(u"\u4E2D", 936), "\xD6\xD0"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u4E2D", 932), "\x92\x86"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u4E2D", 949), "\xF1\xE9"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u4E2D", 950), "\xA4\xA4"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u30A2\uFF71A", 932), "\x83\x41\xB1"
                                                          "A"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u00E9", 936), "\xA8\xA6"s);
    EXPECT_EQ(TextToCodePageBytes(u"A\u4E2DB", 936), "A\xD6\xD0"
                                                     "B"s);

    EXPECT_EQ(TextToCodePageBytes(u"\u00E9", 65001), "\xC3\xA9"s);
    EXPECT_EQ(TextToCodePageBytes(u"\u4E2D\U0001F600", 65001), "\xE4\xB8\xAD\xF0\x9F\x98\x80"s);
    EXPECT_EQ(TextToCodePageBytes(u"a\xD800"
                                  u"b",
                                  65001),
              "a?b"); // lone surrogate

    EXPECT_EQ(CodePageBytesToText("\xD6\xD0"
                                  "A"s,
                                  936),
              u"\u4E2DA");
    EXPECT_EQ(CodePageBytesToText("\x83\x41\xB1"s, 932), u"\u30A2\uFF71");
    // 80 and A0 are single characters of their own, and trail bytes of double-byte ones.
    EXPECT_EQ(TextToCodePageBytes(u"\u0080\uF8F0\u00F7", 932), "\x80\xA0\x81\x80"s);
    if (ConverterGap(932).empty()) {
        EXPECT_EQ(CodePageBytesToText("\x80\x81\x80\x88\xA0\xA0\x81\xFD"s, 932),
                  u"\u0080\u00F7\u5516\uF8F0\uFFFD\uF8F1");
    }
    EXPECT_EQ(CodePageBytesToText("\xE4\xB8\xAD"s, 65001), u"\u4E2D");
    // A lead byte cut short by a control byte: the control survives, the torn character does not.
    EXPECT_EQ(CodePageBytesToText("\xD6\x0A"
                                  "A"s,
                                  936),
              u"\uFFFD\nA");
    EXPECT_EQ(CodePageBytesToText("\xD6"s, 936), u"\uFFFD");
}

TEST(CodePageText, EuroSignInEveryPageThatHasIt) {
    std::map<int, ByteString> expected = {
        {858, "\xD5"s},
        {874, "\x80"s},
        {1250, "\x80"s},
        {1251, "\x88"s},
        {1252, "\x80"s},
        {1253, "\x80"s},
        {1254, "\x80"s},
        {1255, "\x80"s},
        {1256, "\x80"s},
        {1257, "\x80"s},
        {1258, "\x80"s},
        {28597, "\xA4"s},
        // Microsoft's 936 table puts the euro at 0x80; 949 and 950 as the Unicode tables give.
        {936, "\x80"s},
        {949, "\xA2\xE6"s},
        {950, "\xA3\xE1"s},
        {65001, "\xE2\x82\xAC"s}};
    // Every single-byte page whose reference defines the euro must be in the list above.
    for (const auto& [page, entries] : Reference())
        for (const Entry& e : entries)
            if (e.Unit == u'\u20AC') {
                EXPECT_EQ(expected.count(page), 1u) << page;
            }
    for (const auto& [page, bytes] : expected) {
        if (!SkippedHere(page)) {
            EXPECT_EQ(TextToCodePageBytes(u"\u20AC", page), bytes) << page;
        }
    }
}

TEST(CodePageText, UnmappableCharactersBecomeQuestionMarks) {
    for (const int page : SingleBytePages) {
        if (SkippedHere(page))
            continue;
        const char mark = page == 28597 ? '\xFF' : '?';
        EXPECT_EQ(TextToCodePageBytes(u"\u4E2D", page), ByteString(1, mark)) << page;
        // Invisible characters that ICU would drop without a trace still take their column.
        for (const char16_t invisible : {u'\u200B', u'\u200D', u'\u2060', u'\uFEFF'})
            EXPECT_EQ(TextToCodePageBytes(std::u16string(1, invisible), page).size(), 1u)
                << page << " U+" << std::hex << static_cast<unsigned>(invisible);
    }
    EXPECT_EQ(TextToCodePageBytes(u"a\u200Bb", 1252), "a?b");
    EXPECT_EQ(TextToCodePageBytes(u"a\uFEFFb", 437), "a?b");
    EXPECT_EQ(TextToCodePageBytes(u"a\U0001F600b", 1252), "a?b");
    EXPECT_EQ(TextToCodePageBytes(u"a\U0001F600b", 28597), "a\xFF\xFF"
                                                           "b"s);
    // Windows 932 has no euro sign and no best fit for it.
    EXPECT_EQ(TextToCodePageBytes(u"\u20AC", 932), "?");
    EXPECT_EQ(TextToCodePageBytes(u"\uAC00", 936), "?");
}

TEST(CodePageText, Cp932BestFitsToDoubleByteCharactersAsWindowsDoes) {
    std::ifstream in(VYL_TEXT_TEST_DATA "/cp932_best_fit.txt");
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        unsigned unit = 0;
        std::string hex;
        fields >> std::hex >> unit >> hex;
        ByteString expected;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            expected += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        const std::u16string text = u"a" + std::u16string(1, static_cast<char16_t>(unit)) + u"b";
        EXPECT_EQ(TextToCodePageBytes(text, 932), "a" + expected + "b") << "U+" << std::hex << unit;
        ++rows;
    }
    EXPECT_GE(rows, 6) << "reference data missing";

    // ICU's other fallbacks for 932 give other characters than the ones typed: still '?'.
    // (Windows' own best fit writes the yen sign as a backslash and the broken bar as '|':
    // printable characters, which may stay.)
    const std::u16string others = ConverterIsWindows() ? u"\u2014\u203E\u4FE0\u9EB5"
                                                       : u"\u00A5\u00A6\u2014\u203E\u4FE0\u9EB5";
    for (const char16_t unit : others)
        EXPECT_EQ(TextToCodePageBytes(std::u16string(1, unit), 932), "?")
            << "U+" << std::hex << static_cast<unsigned>(unit);
}

TEST(CodePageText, ControlsStayThemselvesAndNothingPrintableBecomesOne) {
    std::u16string controls;
    ByteString controlBytes;
    for (char16_t c = 0; c < 0x20; ++c) {
        controls += c;
        controlBytes += static_cast<char>(c);
    }
    controls += u'\x7F';
    controlBytes += '\x7F';

    // Every printable BMP character (surrogates and C0/DEL left out) in one text.
    std::u16string printable;
    for (char32_t c = 0x20; c <= 0xFFFF; ++c)
        if (c != 0x7F && (c < 0xD800 || c > 0xDFFF))
            printable += static_cast<char16_t>(c);

    // Best fit on 437 (Windows' own, and ICU's) puts the female sign on 0C, clear screen, and the
    // down triangle on 1F, the first byte of a command.
    EXPECT_EQ(TextToCodePageBytes(u"\u2640\u25BC", 437), "??");

    std::vector<int> pages = SingleBytePages;
    pages.insert(pages.end(), MultiBytePages.begin(), MultiBytePages.end());
    for (const int page : pages) {
        if (ConverterLacks(page) && SkippedHere(page))
            continue;
        EXPECT_EQ(TextToCodePageBytes(controls, page), controlBytes) << page;
        EXPECT_EQ(CodePageBytesToText(controlBytes, page), controls) << page;
        const ByteString out = TextToCodePageBytes(printable, page);
        std::size_t bad = 0;
        for (const char b : out)
            if (static_cast<unsigned char>(b) < 0x20 || b == '\x7F')
                ++bad;
        EXPECT_EQ(bad, 0u) << "control bytes from printable characters in code page " << page;
        const bool singleByte =
            page != 932 && page != 936 && page != 949 && page != 950 && page != 65001;
        if (singleByte) {
            EXPECT_EQ(out.size(), printable.size()) << "one byte per character in " << page;
        } else {
            EXPECT_GE(out.size(), printable.size()) << page;
        }
    }
}

TEST(CodePageText, BestFitLandsOnlyOnCharactersOfThePage) {
    // The cases found first: a C1 control of an ISO 8859 page, or a byte the page leaves undefined.
    const struct {
        int Page;
        char16_t Unit;
    } seen[] = {{28592, u'\u00A9'}, {28592, u'\u2588'}, {864, u'\u200B'},
                {874, u'\u2584'},   {874, u'\uF8C1'},   {1253, u'\u00AA'}};
    for (const auto& c : seen) {
        // Windows' own best fit writes the copyright sign as C on 8859-2; ICU's lands on a C1
        // control there, which becomes '?'.
        const bool windowsC = ConverterIsWindows() && c.Page == 28592 && c.Unit == u'\u00A9';
        EXPECT_EQ(TextToCodePageBytes(std::u16string(1, c.Unit), c.Page), windowsC ? "C" : "?")
            << c.Page << " U+" << std::hex << static_cast<unsigned>(c.Unit);
    }

    // Every printable BMP character on every page: a byte that the reference gives a printable
    // character, or '?'. The built-in 8859-7 map writes 0xFF for what it lacks instead.
    std::u16string printable;
    for (char32_t c = 0xA0; c <= 0xFFFF; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            printable += static_cast<char16_t>(c);
    for (const int page : SingleBytePages) {
        if (page == 28597 || SkippedHere(page))
            continue;
        bool character[256] = {};
        for (const Entry& e : Reference().at(page))
            character[e.Byte] = e.Unit >= 0xA0 || (e.Unit >= 0x20 && e.Unit < 0x7F);
        character[static_cast<unsigned char>('?')] = true;
        const ByteString out = TextToCodePageBytes(printable, page);
        ASSERT_EQ(out.size(), printable.size()) << page;
        int faults = 0;
        for (std::size_t i = 0; i < out.size(); ++i)
            if (!character[static_cast<unsigned char>(out[i])] && ++faults <= 5)
                ADD_FAILURE() << "code page " << page << ": U+" << std::hex
                              << static_cast<unsigned>(printable[i]) << " gave "
                              << Hex(out.substr(i, 1));
        EXPECT_EQ(faults, 0) << "code page " << page;
    }
}

TEST(CodePageText, UnknownCodePagesGiveNothing) {
    for (const int page : {-1, 0, 1, 1200, 20127, 28591, 54936, 65000})
        EXPECT_EQ(TextToCodePageBytes(u"ABC", page), "") << page;
    EXPECT_EQ(CodePageBytesToText("ABC", -1), u"");
    EXPECT_EQ(CodePageBytesToText("", 437), u"");
}

TEST(CharsetMap, Iso8859_7AgainstThe2003Table) {
    const auto found = Reference().find(28597);
    ASSERT_NE(found, Reference().end());
    ASSERT_EQ(found->second.size(), ISO8859_7_Map.size());
    for (std::size_t i = 0; i < ISO8859_7_Map.size(); ++i) {
        EXPECT_EQ(ISO8859_7_Map[i].Unicode, found->second[i].Unit) << i;
        EXPECT_EQ(ISO8859_7_Map[i].Byte, found->second[i].Byte) << i;
        EXPECT_EQ(MapCharToByte(ISO8859_7_Map, found->second[i].Unit), found->second[i].Byte);
        if (i > 0) {
            EXPECT_LT(ISO8859_7_Map[i - 1].Byte, ISO8859_7_Map[i].Byte) << "ascending bytes";
        }
        EXPECT_NE(ISO8859_7_Map[i].Byte, 0xAE);
        EXPECT_NE(ISO8859_7_Map[i].Byte, 0xD2);
        EXPECT_NE(ISO8859_7_Map[i].Byte, 0xFF);
    }
    EXPECT_EQ(MapCharToByte(ISO8859_7_Map, u'\u20AC'), 0xA4);
    EXPECT_EQ(MapCharToByte(ISO8859_7_Map, u'\u20AF'), 0xA5);
    EXPECT_EQ(MapCharToByte(ISO8859_7_Map, u'\u037A'), 0xAA);
    EXPECT_EQ(MapCharToByte(ISO8859_7_Map, u'\u03A9'), 0xD9);
    EXPECT_EQ(MapCharToByte(ISO8859_7_Map, u'\u4E2D'), 0xFF);
    EXPECT_EQ(MapCharToByte(ISO8859_7_Map, u'\u00FF'), 0xFF);
    EXPECT_EQ(MapCharToByte({}, u'A'), 0xFF);
    EXPECT_EQ(CodePageBytesToText("\xD9\xAE\xFF"s, 28597), u"\u03A9\uFFFD\uFFFD");
}
