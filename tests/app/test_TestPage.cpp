// SPDX-License-Identifier: Apache-2.0
// The "Display Testing" page on the wire: the seven range patterns, the test text, restart and
// clear, read byte for byte on the far end of a pty.

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "PtyPair.h"
#include "untSystemInfo.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;

// 0B, then for each line 16 codes from `first` on and four blanks.
ByteString RangePattern(int first) {
    ByteString bytes(1, '\x0B');
    for (int line = 0; line < 2; ++line) {
        for (int code = first + 16 * line; code < first + 16 * (line + 1); ++code)
            bytes += static_cast<char>(code);
        bytes += "    ";
    }
    return bytes;
}

struct TRangeButton {
    QPushButton* Button;
    int Tag;
    int First;
};

std::vector<TRangeButton> RangeButtons(TfrmVylSetup& w) {
    return {{w.btn_203F(), 101, 0x20}, {w.btn_405F(), 102, 0x40}, {w.btn_607F(), 103, 0x60},
            {w.btn_809F(), 201, 0x80}, {w.btn_A0BF(), 202, 0xA0}, {w.btn_C0DF(), 203, 0xC0},
            {w.btn_E0FF(), 204, 0xE0}};
}

} // namespace

TEST(CharacterTestPage, SevenPatternsGoOutRawInBothLanguages) {
    for (const std::uint16_t lang : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
        TDialogScript script;
        auto w = NewWindow(lang);
        PtyPair pty;
        w->SetCurrentPortName(QString::fromStdString(pty.PortName()).toStdU16String());
        for (const TRangeButton& range : RangeButtons(*w)) {
            EXPECT_EQ(range.Button->property("Tag").toInt(), range.Tag);
            Press(*w, range.Button);
            const ByteString sent = pty.ReadUntilQuiet(100ms);
            EXPECT_EQ(sent.size(), 41u);
            EXPECT_EQ(sent, RangePattern(range.First)) << range.Button->objectName().toStdString();
            EXPECT_EQ(sent.find('\0'), ByteString::npos);
        }
        // The test code page serves the test text only.
        ChooseInCombo(w->cbb_codepage_Test(), w->cbb_codepage_Test()->findText("CP936_GBK"));
        Press(*w, w->btn_E0FF());
        EXPECT_EQ(pty.ReadUntilQuiet(100ms), RangePattern(0xE0));
        ChooseInCombo(w->cbb_codepage_Test(), w->cbb_codepage_Test()->findText("UTF-8"));
        Press(*w, w->btn_A0BF());
        EXPECT_EQ(pty.ReadUntilQuiet(100ms), RangePattern(0xA0));
        EXPECT_TRUE(script.Boxes.empty()) << script.BoxTexts().join("|").toStdString();
        // No handshake ran: nothing was written to the far end before the pattern, and nothing
        // was waited for.
    }
}

TEST(CharacterTestPage, TestTextRestartAndClearFrames) {
    TDialogScript script;
    auto w = NewWindow();
    PtyPair pty;
    w->SetCurrentPortName(QString::fromStdString(pty.PortName()).toStdU16String());

    // The text as it stands, in the test code page, neither padded nor centred.
    ChooseInCombo(w->cbb_codepage_Test(), w->cbb_codepage_Test()->findText("CP866"));
    w->edt_Text()->SetText(QStringLiteral("A Д"));
    w->chk_PositionAt()->setChecked(false);
    Press(*w, w->btn_TextSend());
    EXPECT_EQ(pty.ReadUntilQuiet(100ms), "A \x84");

    w->edt_Text()->SetText("AB");
    w->chk_PositionAt()->setChecked(true);
    w->ud_Row()->SetPosition(2);
    w->ud_Column()->SetPosition(5);
    Press(*w, w->btn_TextSend());
    EXPECT_EQ(pty.ReadUntilQuiet(100ms), "\x1F\x24\x05\x02"
                                         "AB");

    Press(*w, w->btn_RestartDisplay);
    EXPECT_EQ(pty.ReadUntilQuiet(100ms), "\x02\x1D\xAA\x55");
    Press(*w, w->btn_ClearDisplay());
    EXPECT_EQ(pty.ReadUntilQuiet(100ms), "\x0C");
    EXPECT_TRUE(script.Boxes.empty()) << script.BoxTexts().join("|").toStdString();
    // The test page leaves the settings record alone.
    EXPECT_EQ(SystemInfo.Comm_No, 255);
}
