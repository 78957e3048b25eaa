// SPDX-License-Identifier: Apache-2.0
// The pictures of the display: on the basic page the welcome lines as the Setting will send them
// (the bytes of the two hex views in the welcome code page), on the test page the test text at
// its row and column. Both follow every edit.

#include "frmuVylSetup.h"

#include "untCodePage.h"
#include "untCodePageText.h"
#include "untDisplayPicture.h"
#include "untHex.h"
#include "untLanguage.h"

namespace {

struct TPictureTexts {
    QString Name;
    QString Description;
    QString ToolTip;
};

TPictureTexts WelcomePictureTexts(bool chinese) {
    if (chinese)
        return {QStringLiteral("显示屏预览"),
                QStringLiteral("设置后显示屏显示的欢迎信息：第 1 行和第 2 行，"
                               "按所选代码页解码十六进制内容中的字节。"),
                QStringLiteral("设置后显示屏显示的欢迎信息（所选代码页的字符）。\n"
                               "国际字符集会改变显示屏的少数字形，此图不显示这些变化。")};
    return {QStringLiteral("Display preview"),
            QStringLiteral("The welcome lines as the display will show them after the Setting: "
                           "the bytes of the hex views, in the chosen code page."),
            QStringLiteral("The welcome lines as the display will show them after the Setting, "
                           "in the characters of the chosen code page.\n"
                           "The national character sets change a few of the display's glyphs; "
                           "this picture does not show those changes.")};
}

TPictureTexts TestPictureTexts(bool chinese) {
    if (chinese)
        return {QStringLiteral("测试文本预览"),
                QStringLiteral("按所选代码页转换后的测试文本在显示屏上的位置和内容。"),
                QStringLiteral("测试文本在显示屏上的样子（所选代码页的字符）。\n"
                               "国际字符集会改变显示屏的少数字形，此图不显示这些变化。")};
    return {QStringLiteral("Test text preview"),
            QStringLiteral("The test text at its row and column, converted into the chosen "
                           "code page."),
            QStringLiteral("The test text as the display will show it, in the characters of the "
                           "chosen code page.\n"
                           "The national character sets change a few of the display's glyphs; "
                           "this picture does not show those changes.")};
}

void Label(TDisplayPicture* picture, const TPictureTexts& texts) {
    picture->setAccessibleName(texts.Name);
    picture->setAccessibleDescription(texts.Description);
    picture->setToolTip(texts.ToolTip);
}

} // namespace

void TfrmVylSetup::CreateDisplayPictures() {
    // In the free space left of the welcome Setting button, and below the range groups.
    pic_Welcome = new TDisplayPicture(grp_WelcomeMessage);
    pic_Welcome->setObjectName(QStringLiteral("pic_Welcome"));
    pic_Welcome->setGeometry(137, 230, 372, 40);
    pic_Test = new TDisplayPicture(tsDisplayTest);
    pic_Test->setObjectName(QStringLiteral("pic_Test"));
    pic_Test->setGeometry(207, 443, 372, 36);

    for (QPlainTextEdit* view : {mmo_line1_hex, mmo_line2_hex})
        connect(view, &QPlainTextEdit::textChanged, this, &TfrmVylSetup::ShowWelcomePicture);
    connect(cbb_CodePage_Msg, &QComboBox::currentIndexChanged, this,
            &TfrmVylSetup::ShowWelcomePicture);
    connect(chk_Scroll2, &QCheckBox::toggled, this, &TfrmVylSetup::ShowWelcomePicture);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(edt_Text), static_cast<QLineEdit*>(edt_Row),
                            static_cast<QLineEdit*>(edt_Column)})
        connect(edit, &QLineEdit::textChanged, this, &TfrmVylSetup::ShowTestPicture);
    connect(cbb_codepage_Test, &QComboBox::currentIndexChanged, this,
            &TfrmVylSetup::ShowTestPicture);
    connect(chk_PositionAt, &QCheckBox::toggled, this, &TfrmVylSetup::ShowTestPicture);
}

void TfrmVylSetup::LabelDisplayPictures() {
    const bool chinese = IsChineseLangID(LangID);
    Label(pic_Welcome, WelcomePictureTexts(chinese));
    Label(pic_Test, TestPictureTexts(chinese));
}

void TfrmVylSetup::ShowWelcomePicture() {
    // The bytes the welcome Setting sends: what the views hold, read as it reads them.
    const int codePage = CodePageAtIndex(cbb_CodePage_Msg->currentIndex());
    pic_Welcome->SetLine(0, HexTextToBytes(mmo_line1_hex->toPlainText().toStdString()), codePage);
    pic_Welcome->SetLine(1, HexTextToBytes(mmo_line2_hex->toPlainText().toStdString()), codePage);
    pic_Welcome->SetScrolling(chk_Scroll2->isChecked());
}

void TfrmVylSetup::ShowTestPicture() {
    // Display Text's bytes, where it puts them; without a position, from the top left corner.
    const int codePage = CodePageAtIndex(cbb_codepage_Test->currentIndex());
    const ByteString bytes = TextToCodePageBytes(edt_Text->text().toStdU16String(), codePage);
    const bool at = chk_PositionAt->isChecked();
    const int row = at ? ud_Row->Position() - 1 : 0;
    const int column = at ? ud_Column->Position() - 1 : 0;
    pic_Test->Clear();
    pic_Test->SetLine(row, bytes, codePage, column);
}
