// SPDX-License-Identifier: Apache-2.0
// The pictures of the display against what the virtual display receives: the characters shown,
// put back into the code page, are the bytes of the frames on the wire (its trace), scrolled
// line 2 included.

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untDisplayPicture.h"
#include "untHex.h"

#include <QTabWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The payload of the first frame of `connection` that starts with `head`, up to its 00.
ByteString Payload(const std::vector<std::string>& connection, const std::string& head) {
    for (const std::string& frame : connection)
        if (frame.rfind(head, 0) == 0) {
            const ByteString bytes = HexTextToBytes(frame.substr(head.size()));
            return bytes.substr(0, bytes.find('\0'));
        }
    return "<no frame " + head + ">";
}

void SelectCodePage(int codePage, QComboBox* list) {
    for (int i = 0; i < list->count(); ++i)
        if (CodePageAtIndex(i) == codePage) {
            ChooseInCombo(list, i);
            return;
        }
    FAIL() << "no code page " << codePage;
}

struct TWelcomeCase {
    int CodePage;
    std::u16string Line1;
    std::u16string Line2; // longer than the display: it scrolls
};

} // namespace

TEST(DisplayPicture, WelcomeLinesShowTheBytesTheSettingSends) {
    // Each line holds characters its code page lacks; what the picture shows for them is what
    // goes out in their place.
    const TWelcomeCase cases[] = {
        {437, u"Caf\u00e9 \u20ac5 \u4e2d", u"Gr\u00fc\u00dfe \u03a9 \u0416 and a long line 2 here"},
        {28597, u"\u03a9\u03b1 \u20ac \u4e2d\u00e9",
         u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad"
         u"\u03c1\u03b1 \u0416 \u00fc long enough"},
        {936, u"\u4e2d\u6587 \u0416 \u2603x",
         u"\u6b22\u8fce\u5149\u4e34 \u00e9 \u20ac and more "
         u"words"},
    };
    VirtualDisplayProcess vd(VirtualDisplayProgram, {});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
    TDisplayPicture* picture = w->pic_Welcome;
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->parentWidget(), w->grp_WelcomeMessage);
    EXPECT_TRUE(w->grp_WelcomeMessage->rect().contains(picture->geometry()));
    EXPECT_FALSE(picture->geometry().intersects(w->btn_DownloadSetting->geometry()));
    EXPECT_FALSE(picture->geometry().intersects(w->mmo_line2_hex->geometry()));
    EXPECT_FALSE(picture->accessibleName().isEmpty());
    EXPECT_FALSE(picture->accessibleDescription().isEmpty());
    EXPECT_TRUE(picture->toolTip().contains(QStringLiteral("national character sets")));

    std::size_t connections = 0;
    for (const TWelcomeCase& c : cases) {
        SCOPED_TRACE(c.CodePage);
        SelectCodePage(c.CodePage, w->cbb_CodePage_Msg);
        w->edt_line1->SetText(QString::fromStdU16String(c.Line1));
        w->edt_line2->SetText(QString::fromStdU16String(c.Line2));
        w->chk_Scroll2->setChecked(false);
        EXPECT_FALSE(picture->Scrolls());
        w->chk_Scroll2->setChecked(true);
        ASSERT_TRUE(picture->Scrolls());

        Press(*w, w->btn_DownloadSetting);
        const auto sent = Connections(vd, ++connections);
        ASSERT_EQ(sent.size(), connections);
        const ByteString line1 = Payload(sent.back(), "02 07 16 06 ");
        const ByteString line2 = Payload(sent.back(), "02 07 16 07 ");
        EXPECT_EQ(BytesToSpacedHex(
                      TextToCodePageBytes(picture->LineText(0).toStdU16String(), c.CodePage)),
                  BytesToSpacedHex(line1));
        EXPECT_EQ(BytesToSpacedHex(
                      TextToCodePageBytes(picture->LineText(1).toStdU16String(), c.CodePage)),
                  BytesToSpacedHex(line2));
        // A character the page lacks goes out as ? (or, in the built-in Greek map, as FF, which
        // is no character there).
        EXPECT_TRUE(picture->LineText(0).contains(QLatin1Char('?')) ||
                    picture->LineText(0).contains(QChar(0xFFFD)));

        // Scrolled: the 20 columns shown are the sent line run round with a gap of four.
        if (c.CodePage == 936)
            continue; // a double-byte character may stand half out of sight
        const ByteString loop = line2 + ByteString(4, ' ');
        for (std::size_t step = 0; step < loop.size() + 3; ++step) {
            ByteString expected;
            for (std::size_t i = 0; i < 20; ++i)
                expected += loop[(step + i) % loop.size()];
            ASSERT_EQ(BytesToSpacedHex(
                          TextToCodePageBytes(picture->ShownText(1).toStdU16String(), c.CodePage)),
                      BytesToSpacedHex(expected))
                << "step " << step;
            picture->ScrollStep();
        }
    }

    // A hand edit of a view is what goes out, and what the picture shows at once.
    w->mmo_line1_hex->setPlainText(QStringLiteral("41 00 42"));
    EXPECT_EQ(picture->LineText(0), QStringLiteral("A"));
}

TEST(DisplayPicture, TestPageShowsTheTextAtItsRowAndColumnAndWelcomeLinesAsRead) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
    TDisplayPicture* picture = w->pic_Test();
    ASSERT_NE(picture, nullptr);
    const QRect page = w->tsDisplayTest->rect();
    EXPECT_TRUE(page.contains(picture->geometry()))
        << page.height() << " " << picture->geometry().bottom();
    EXPECT_GE(picture->y(), w->grp_Test_CodePage()->geometry().bottom());

    SelectCodePage(1252, w->cbb_codepage_Test());
    w->edt_Text()->SetText(QStringLiteral("Gr\u00f6\u00dfe \u20ac\u4e2d"));
    w->chk_PositionAt()->setChecked(true);
    w->ud_Row()->SetPosition(2);
    w->ud_Column()->SetPosition(5);
    EXPECT_EQ(picture->ShownText(0), QString(20, QLatin1Char(' ')));
    EXPECT_EQ(picture->ShownText(1),
              QStringLiteral("    Gr\u00f6\u00dfe \u20ac?") + QString(8, QLatin1Char(' ')));

    Press(*w, w->btn_TextSend());
    const auto sent = Connections(vd, 1);
    ASSERT_EQ(sent.size(), 1u);
    const ByteString text = Payload(sent[0], "1F 24 05 02 ");
    EXPECT_EQ(
        BytesToSpacedHex(TextToCodePageBytes(picture->LineText(1).mid(4).toStdU16String(), 1252)),
        BytesToSpacedHex(text));

    // Without a position the text starts at the top left.
    w->chk_PositionAt()->setChecked(false);
    EXPECT_TRUE(picture->ShownText(0).startsWith(QStringLiteral("Gr\u00f6")));
    EXPECT_EQ(picture->ShownText(1).trimmed(), QString());

    // After Get Setting the welcome picture shows the display's own lines.
    w->edt_line1->SetText(QStringLiteral("not the display's"));
    Press(*w, w->btn_GetSetting);
    ASSERT_NE(w->edt_line1->text(), QStringLiteral("not the display's"));
    EXPECT_EQ(w->pic_Welcome->LineText(0), w->edt_line1->text().left(20));
}
