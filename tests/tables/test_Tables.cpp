// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untCommandMode.h"
#include "untInterChar.h"

namespace {

template <typename Row, std::size_t N, typename NumberOf>
void ExpectUniqueNumbers(const std::array<Row, N>& table, NumberOf numberOf) {
    std::set<int> seen;
    for (const Row& row : table) {
        EXPECT_TRUE(seen.insert(numberOf(row)).second) << "duplicate number " << numberOf(row);
    }
}

// Every lookup must round-trip over its whole table: IndexOfNo(NoAtIndex(i)) == i holds only
// when numbers are unique and both lookups agree on the rows.
template <typename Row, std::size_t N> void ExpectRoundTrip(const std::array<Row, N>& table) {
    const std::span<const Row> rows{table};
    for (int i = 0; i < static_cast<int>(N); ++i) {
        EXPECT_EQ(IndexOfNo(rows, NoAtIndex(rows, i)), i);
    }
    EXPECT_EQ(NoAtIndex(rows, -1), -1);
    EXPECT_EQ(NoAtIndex(rows, static_cast<int>(N)), -1);
    EXPECT_EQ(NoAtIndex(rows, 1 << 30), -1);
}

} // namespace

TEST(ReferenceTables, NumbersAreUniqueAndLookupsRoundTrip) {
    ExpectUniqueNumbers(CommandModeTable, [](const TCommandModes& r) { return r.No; });
    ExpectUniqueNumbers(BaudRateTable, [](const TBaudRates& r) { return r.No; });
    ExpectUniqueNumbers(InterCharTable, [](const TInterChars& r) { return r.No; });
    ExpectUniqueNumbers(CodePageTable, [](const TCodePages& r) { return r.No_new; });
    ExpectRoundTrip(CommandModeTable);
    ExpectRoundTrip(BaudRateTable);
    ExpectRoundTrip(InterCharTable);
    ExpectRoundTrip(CodePageTable);
}

// The lists show the speed the line runs at: a row's name and its bit/s are one number.
TEST(ReferenceTables, SpeedRowsNameTheirBitsPerSecond) {
    for (const TBaudRates& row : BaudRateTable) {
        EXPECT_EQ(std::string(row.Name), std::to_string(row.BitsPerSecond));
        EXPECT_EQ(BitsPerSecondOfNo(row.No), row.BitsPerSecond);
        EXPECT_EQ(NoAtIndex(BaudRateTable, IndexOfBitsPerSecond(row.BitsPerSecond)), row.No);
    }
    EXPECT_EQ(BitsPerSecondOfNo(255), 0);
    EXPECT_EQ(IndexOfBitsPerSecond(4800), -1);
}

TEST(ReferenceTables, SpecialNumbersAreNotTheirRowIndex) {
    EXPECT_EQ(IndexOfNo(CommandModeTable, 255), 15);
    EXPECT_EQ(NameOfNo(CommandModeTable, 255), "AUTO");
    EXPECT_EQ(IndexOfNo(CommandModeTable, 15), -1);
    EXPECT_EQ(NameOfNo(CommandModeTable, 15), "");

    EXPECT_EQ(IndexOfNo(InterCharTable, 255), 19);
    EXPECT_EQ(NameOfNo(InterCharTable, 255), "Other");
    EXPECT_EQ(NameOfNo(InterCharTable, 19), "");
    EXPECT_EQ(NameOfNo(InterCharTable, 8), "Japan"); // the English name, not the Chinese one

    EXPECT_EQ(NameOfNo(CodePageTable, 0), u"CP437");
    EXPECT_EQ(NameOfNo(CodePageTable, 102), u"UTF-8");
    EXPECT_EQ(NameOfNo(CodePageTable, 20), u"");
    EXPECT_EQ(IndexOfNo(CodePageTable, 146), 20);
    EXPECT_EQ(NameOfNo(BaudRateTable, 4), "115200");
    EXPECT_EQ(NameOfNo(BaudRateTable, 5), "");
}

TEST(ReferenceTables, EveryCharacterSetBindsAnExistingCodePage) {
    for (const TInterChars& set : InterCharTable) {
        EXPECT_GE(IndexOfNo(CodePageTable, set.CodePageNo_bind), 0)
            << set.NameEn << " binds " << set.CodePageNo_bind;
        EXPECT_FALSE(set.NameZh.empty()) << set.NameEn;
    }
    auto boundIndex = [](int charNo) {
        return IndexOfNo(CodePageTable,
                         InterCharTable[IndexOfNo(InterCharTable, charNo)].CodePageNo_bind);
    };
    EXPECT_EQ(boundIndex(8), 16);  // Japan -> Katakana
    EXPECT_EQ(boundIndex(15), 28); // Lithuania -> WCP1257
    EXPECT_EQ(boundIndex(18), 28); // Baltic States -> WCP1257
    EXPECT_EQ(boundIndex(255), 0); // Other -> CP437
    EXPECT_EQ(boundIndex(12), 13); // Russia -> CP866, not CP866_AT
    // The Chinese names are UTF-8 Unicode, not GBK bytes.
    EXPECT_EQ(InterCharTable[0].NameZh, "\xE7\xBE\x8E\xE5\x9B\xBD"); // 美国
}

TEST(ReferenceTables, CodePageNumbersConvertTextPerRow) {
    EXPECT_EQ(CodePageAtIndex(-1), -1);
    EXPECT_EQ(CodePageAtIndex(static_cast<int>(CodePageTable.size())), -1);
    for (int i = 0; i < static_cast<int>(CodePageTable.size()); ++i) {
        EXPECT_EQ(CodePageAtIndex(i), CodePageTable[static_cast<std::size_t>(i)].CodePage);
    }
    // Rows that share a conversion differ only in the number the display is told.
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 21)), 737);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 23)), 737);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 17)), 866);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 15)), 866);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 1)), 932);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 130)), 932);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 54)), 28597);
    EXPECT_EQ(CodePageAtIndex(IndexOfNo(CodePageTable, 102)), 65001);
    // A name carries its code page number: CPnnn / WCPnnnn, and ISO8859-n is Windows' 2859n.
    for (const TCodePages& row : CodePageTable) {
        const std::string name(row.Name.begin(), row.Name.end());
        const auto firstDigit = name.find_first_of("0123456789");
        if (name.starts_with("ISO8859-")) {
            EXPECT_EQ(row.CodePage, 28590 + (name.back() - '0')) << name;
        } else if (name.starts_with("CP") || name.starts_with("WCP")) {
            EXPECT_EQ(row.CodePage, std::stoi(name.substr(firstDigit))) << name;
        }
    }
}

TEST(ReferenceTables, BaudRateNamesAreTheirSpeeds) {
    const int speeds[] = {9600, 19200, 38400, 57600, 115200};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::stoi(std::string(BaudRateTable[static_cast<std::size_t>(i)].Name)),
                  speeds[i]);
        EXPECT_EQ(NoAtIndex(BaudRateTable, i), i);
    }
}
