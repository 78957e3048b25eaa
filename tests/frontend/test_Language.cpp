// SPDX-License-Identifier: Apache-2.0
// The language decision: the Windows language identifier of a locale picks the table.

#include "untLangID.h"
#include "untLanguage.h"

#include <gtest/gtest.h>

TEST(Language, IdentifierOfTheLocale) {
    EXPECT_EQ(LangIDOfLocale(QLocale("zh_CN")), 0x0804);
    EXPECT_EQ(LangIDOfLocale(QLocale("zh_TW")), 0x0404);
    EXPECT_EQ(LangIDOfLocale(QLocale("zh_HK")), 0x0C04);
    EXPECT_EQ(LangIDOfLocale(QLocale("zh_SG")), 0x1004);
    EXPECT_EQ(LangIDOfLocale(QLocale("zh")), 0x0804);
    EXPECT_EQ(LangIDOfLocale(QLocale("zh_Hant")), 0x0404);
    EXPECT_EQ(LangIDOfLocale(QLocale("en_US")), 0x0409);
    EXPECT_EQ(LangIDOfLocale(QLocale("en_GB")), 0x0809);
    EXPECT_EQ(LangIDOfLocale(QLocale("de_DE")), 0x0407);
    EXPECT_EQ(LangIDOfLocale(QLocale("de_AT")), 0x0C07);
    EXPECT_EQ(LangIDOfLocale(QLocale("ja_JP")), 0x0411);
    EXPECT_EQ(LangIDOfLocale(QLocale::c()), 0x0409);

    SetSystemDefaultLangIDOverride(0x0804);
    EXPECT_EQ(GetSystemDefaultLangID(), 0x0804);
    SetSystemDefaultLangIDOverride(std::nullopt);
    EXPECT_EQ(GetSystemDefaultLangID(), LangIDOfLocale(QLocale::system()));

    // Only Chinese as used in the PRC picks the Chinese texts.
    SetProcessLanguage(0x0804);
    EXPECT_EQ(ModelLabel(), QStringLiteral("型号："));
    for (const int other : {0x0404, 0x0C04, 0x0409, 0x0411}) {
        SetProcessLanguage(other);
        EXPECT_EQ(ModelLabel(), "Model:") << other;
    }
}
