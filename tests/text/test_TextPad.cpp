// SPDX-License-Identifier: Apache-2.0
#include "untTextPad.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextPad, PadRightAndLeft) {
    EXPECT_EQ(PadRight(u"ab", 5, u'.'), u"ab...");
    EXPECT_EQ(PadRight(u"abcdef", 5, u'.'), u"abcdef");
    EXPECT_EQ(PadRight(u"", 0, u'.'), u"");
    EXPECT_EQ(PadRight(u"ab", -3, u'.'), u"ab");
    EXPECT_EQ(PadLeftBy(u"ab", 3, u'*'), u"***ab");
    EXPECT_EQ(PadLeftBy(u"ab", 0, u'*'), u"ab");
    EXPECT_EQ(PadLeftBy(u"ab", -2, u'*'), u"ab");
    // Lengths are UTF-16 code units: a surrogate pair counts as two.
    EXPECT_EQ(PadRight(u"\U0001F600", 3, u' '), u"\U0001F600 ");
}

TEST(TextPad, CenterTextOnTwentyColumns) {
    EXPECT_EQ(CenterText(u"ABC", 20), std::u16string(8, u' ') + u"ABC" + std::u16string(9, u' '));
    EXPECT_EQ(CenterText(u"", 20), std::u16string(20, u' '));
    const std::u16string nineteen(19, u'x');
    EXPECT_EQ(CenterText(nineteen, 20), nineteen + u" ");
    const std::u16string twenty(20, u'x');
    EXPECT_EQ(CenterText(twenty, 20), twenty);
    const std::u16string twentyOne(21, u'x');
    EXPECT_EQ(CenterText(twentyOne, 20), twentyOne);
    EXPECT_EQ(CenterText(u"\u4E2D\u6587", 20).size(), 20u);
    EXPECT_EQ(CenterText(u"\u4E2D\u6587", 20).substr(9, 2), u"\u4E2D\u6587");
}

TEST(TextPad, CenterTextWiderLineStillCentresOnTwenty) {
    EXPECT_EQ(CenterText(u"ABCD", 60),
              std::u16string(8, u' ') + u"ABCD" + std::u16string(48, u' '));
    const std::u16string longLine(45, u'y');
    EXPECT_EQ(CenterText(longLine, 60), longLine + std::u16string(15, u' '));
}
