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

#include <array>

namespace {

enum class TText {
    WelcomeName,
    WelcomeDescription,
    WelcomeToolTip,
    TestName,
    TestDescription,
    TestToolTip,
};

constexpr std::array<TTextRow<TText>, 6> Texts{{
    {TText::WelcomeName, {u"Display preview", u"显示屏预览"}},
    {TText::WelcomeDescription,
     {u"The welcome lines as the display will show them after the Setting: the bytes of the hex "
      u"views, in the chosen code page.",
      u"设置后显示屏显示的欢迎信息：第 1 行和第 2 行，按所选代码页解码十六进制内容中的字节。"}},
    {TText::WelcomeToolTip,
     {u"The welcome lines as the display will show them after the Setting, in the characters of "
      u"the chosen code page.\nThe national character sets change a few of the display's "
      u"glyphs; this picture does not show those changes.",
      u"设置后显示屏显示的欢迎信息（所选代码页的字符）。\n"
      u"国际字符集会改变显示屏的少数字形，此图不显示这些变化。"}},
    {TText::TestName, {u"Test text preview", u"测试文本预览"}},
    {TText::TestDescription,
     {u"The test text at its row and column, converted into the chosen code page.",
      u"按所选代码页转换后的测试文本在显示屏上的位置和内容。"}},
    {TText::TestToolTip,
     {u"The test text as the display will show it, in the characters of the chosen code page.\n"
      u"The national character sets change a few of the display's glyphs; this picture does not "
      u"show those changes.",
      u"测试文本在显示屏上的样子（所选代码页的字符）。\n"
      u"国际字符集会改变显示屏的少数字形，此图不显示这些变化。"}},
}};

void Label(TDisplayPicture* picture, TText name, TText description, TText toolTip) {
    picture->setAccessibleName(TextOf(Texts, name));
    picture->setAccessibleDescription(TextOf(Texts, description));
    picture->setToolTip(TextOf(Texts, toolTip));
}

} // namespace

void TfrmVylSetup::CreateDisplayPictures() {
    // In the free space left of the welcome Setting button; the test page's below its range
    // groups, once that page is made.
    pic_Welcome = new TDisplayPicture(grp_WelcomeMessage);
    pic_Welcome->setObjectName(QStringLiteral("pic_Welcome"));
    pic_Welcome->setGeometry(137, 230, 372, 40);

    for (QPlainTextEdit* view : {mmo_line1_hex, mmo_line2_hex})
        connect(view, &QPlainTextEdit::textChanged, this, &TfrmVylSetup::ShowWelcomePicture);
    connect(cbb_CodePage_Msg, &QComboBox::currentIndexChanged, this,
            &TfrmVylSetup::ShowWelcomePicture);
    connect(chk_Scroll2, &QCheckBox::toggled, this, &TfrmVylSetup::ShowWelcomePicture);
}

void TfrmVylSetup::CreateTestPicture(TTestPageControls& page) {
    page.pic_Test = new TDisplayPicture(tsDisplayTest);
    page.pic_Test->setObjectName(QStringLiteral("pic_Test"));
    page.pic_Test->setGeometry(207, 443, 372, 36);
    Label(page.pic_Test, TText::TestName, TText::TestDescription, TText::TestToolTip);
    for (QLineEdit* edit :
         {static_cast<QLineEdit*>(page.edt_Text), static_cast<QLineEdit*>(page.edt_Row),
          static_cast<QLineEdit*>(page.edt_Column)})
        connect(edit, &QLineEdit::textChanged, this, &TfrmVylSetup::ShowTestPicture);
    connect(page.cbb_codepage_Test, &QComboBox::currentIndexChanged, this,
            &TfrmVylSetup::ShowTestPicture);
    connect(page.chk_PositionAt, &QCheckBox::toggled, this, &TfrmVylSetup::ShowTestPicture);
}

void TfrmVylSetup::LabelDisplayPictures() {
    Label(pic_Welcome, TText::WelcomeName, TText::WelcomeDescription, TText::WelcomeToolTip);
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
    const int codePage = CodePageAtIndex(cbb_codepage_Test()->currentIndex());
    const ByteString bytes = TextToCodePageBytes(edt_Text()->text().toStdU16String(), codePage);
    const bool at = chk_PositionAt()->isChecked();
    const int row = at ? ud_Row()->Position() - 1 : 0;
    const int column = at ? ud_Column()->Position() - 1 : 0;
    pic_Test()->Clear();
    pic_Test()->SetLine(row, bytes, codePage, column);
}
