// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <string>

#include "untUtf16.h"

TEST(Utf16, RoundTripsEveryPlane) {
    const std::u16string text = u"A\u00e9\u4e2d\U0001F600\0z";
    const std::u16string withNul(text.data(), 6); // keeps the embedded zero unit
    const std::string utf8 = Utf16ToUtf8(withNul);
    EXPECT_EQ(utf8,
              std::string("A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", 10) + std::string(1, '\0'));
    EXPECT_EQ(Utf8ToUtf16(utf8), withNul);
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
}

TEST(Utf16, MalformedInputBecomesReplacementCharacters) {
    // A stray continuation byte, a truncated sequence, an overlong form and an encoded
    // surrogate each become U+FFFD; the text around them survives.
    EXPECT_EQ(Utf8ToUtf16("a\x80"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("a\xE4\xB8"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");

    // Unpaired surrogates on the UTF-16 side.
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xEF\xBF\xBD"
                                                                         "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'x', char16_t(0xD83D)}), "x\xEF\xBF\xBD");
}
