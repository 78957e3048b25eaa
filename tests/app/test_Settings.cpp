// SPDX-License-Identifier: Apache-2.0
// Settings between the controls and SystemInfo, the code page selectors, the editing aids,
// the port and speed handlers.

#include "AppTestSupport.h"
#include "PtyPair.h"
#include "untPublishedPorts.h"
#include "untSystemInfo.h"

#include <QApplication>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

TEST(WindowSettings, ScrollFlagsRoundTrip) {
    auto w = NewWindow();
    SystemInfo.temp2 = 0x06;
    w->RefreshSettings();
    EXPECT_TRUE(w->chk_Scroll1->isChecked());
    EXPECT_FALSE(w->chk_Scroll2->isChecked());
    w->SystemInfoChange();
    EXPECT_EQ(SystemInfo.temp2, 0x06);

    // The high bits stay, bit 0x04 is set and 0x08 cleared on every capture.
    SystemInfo.temp2 = 0xF9;
    w->RefreshSettings();
    EXPECT_FALSE(w->chk_Scroll1->isChecked());
    EXPECT_TRUE(w->chk_Scroll2->isChecked());
    w->SystemInfoChange();
    EXPECT_EQ(SystemInfo.temp2, 0xF5);

    w->chk_Scroll2->setChecked(false);
    w->SystemInfoChange();
    EXPECT_EQ(SystemInfo.temp2, 0xF7);
}

TEST(WindowSettings, CodesWithoutARowShowNoSelectionAndCaptureAs255) {
    auto w = NewWindow();
    SystemInfo.Comm_No = 255;
    w->RefreshSettings();
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "AUTO");

    SystemInfo.Comm_No = 99;
    SystemInfo.Baud_Rate = 7;
    SystemInfo.Char_No = 19;        // "Other" is 255, not 19
    SystemInfo.Expand_Char_No = 20; // no code page carries 20
    SystemInfo.back_light = 0;
    w->RefreshSettings();
    EXPECT_EQ(w->cbb_CommandMode_Set->currentIndex(), -1);
    EXPECT_EQ(w->cbb_BaudRate_Set->currentIndex(), -1);
    EXPECT_EQ(w->rg_InterChar_Set()->ItemIndex(), -1);
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), -1);
    EXPECT_EQ(w->cbb_CodePage_Msg->currentIndex(), -1);
    EXPECT_EQ(w->cbb_codepage_Test()->currentIndex(), -1);
    EXPECT_EQ(w->rg_brightness->ItemIndex(), -1);
    for (int i = 0; i < w->rg_brightness->Count(); ++i)
        EXPECT_FALSE(w->rg_brightness->Button(i)->isChecked());

    w->SystemInfoChange();
    EXPECT_EQ(SystemInfo.Comm_No, 255);
    EXPECT_EQ(SystemInfo.Baud_Rate, 255);
    EXPECT_EQ(SystemInfo.Char_No, 255);
    EXPECT_EQ(SystemInfo.Expand_Char_No, 255);
    EXPECT_EQ(SystemInfo.back_light, 0);
    EXPECT_EQ(SystemInfo.temp1, 0);
}

TEST(WindowSettings, EveryControlRoundTrips) {
    auto w = NewWindow();
    SystemInfo.Baud_Rate = 4;
    SystemInfo.Char_No = 255;
    SystemInfo.Expand_Char_No = 102;
    SystemInfo.Comm_No = 13;
    SystemInfo.back_light = 4;
    SystemInfo.temp1 = 9;
    SystemInfo.wel_mess1 = u"Line one";
    SystemInfo.wel_mess2 = u"Line two é";
    SystemInfo.wel_mess1_hex = "";
    SystemInfo.wel_mess2_hex = "";
    SystemInfo.product_name = "VFD-220";
    SystemInfo.firmware_version = 17;
    w->RefreshSettings();
    EXPECT_EQ(w->StatusBar1->PanelText(0), "Model: VFD-220");
    EXPECT_EQ(w->StatusBar1->PanelText(1), "Firmware Version: 17");
    EXPECT_EQ(w->cbb_BaudRate_Set->currentText(), "115200");
    EXPECT_EQ(w->rg_InterChar_Set()->ItemIndex(), 19);
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 33);
    EXPECT_EQ(w->cbb_CodePage_Msg->currentText(), "UTF-8");
    EXPECT_EQ(w->cbb_codepage_Test()->currentText(), "UTF-8");
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "PD3000");
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 3);
    // The views follow the newly selected welcome code page.
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(), "4C 69 6E 65 20 74 77 6F 20 C3 A9");
    EXPECT_EQ(w->lbl_mess2_count->text(), "10");
    // The port speed list is not the display's speed.
    EXPECT_EQ(w->cbb_BaudRate->currentText(), "9600");

    const TSystemInfo shown = SystemInfo;
    SystemInfo = TSystemInfo{};
    w->SystemInfoChange();
    EXPECT_EQ(SystemInfo.Baud_Rate, shown.Baud_Rate);
    EXPECT_EQ(SystemInfo.Char_No, shown.Char_No);
    EXPECT_EQ(SystemInfo.Expand_Char_No, shown.Expand_Char_No);
    EXPECT_EQ(SystemInfo.Comm_No, shown.Comm_No);
    EXPECT_EQ(SystemInfo.back_light, shown.back_light);
    EXPECT_EQ(SystemInfo.temp1, 0);
    EXPECT_EQ(SystemInfo.wel_mess1, shown.wel_mess1);
    EXPECT_EQ(SystemInfo.wel_mess2, shown.wel_mess2);
    EXPECT_EQ(SystemInfo.wel_mess2_hex, "4C 69 6E 65 20 74 77 6F 20 C3 A9");
    // Fields the window does not show are left alone.
    EXPECT_EQ(SystemInfo.product_name, "");
    EXPECT_EQ(SystemInfo.firmware_version, 0);
}

TEST(WindowSettings, StoredHexIsShownAsItIs) {
    auto w = NewWindow();
    SystemInfo.wel_mess1 = u"xyz";
    SystemInfo.wel_mess1_hex = "41 42";
    SystemInfo.wel_mess2 = u"AB";
    SystemInfo.wel_mess2_hex = "";
    w->RefreshSettings();
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "41 42");
    EXPECT_EQ(w->lbl_mess1_count->text(), "3");
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(), "41 42");

    // A view edited by hand is what the next capture takes.
    w->mmo_line2_hex->setPlainText("01 02 03");
    w->SystemInfoChange();
    EXPECT_EQ(SystemInfo.wel_mess2_hex, "01 02 03");
    EXPECT_EQ(SystemInfo.wel_mess1_hex, "41 42");
}

TEST(WindowSettings, DefaultSettingKeepsJposButEmptiesItsPanel) {
    TDialogScript script;
    auto w = NewWindow();
    SystemInfo.jpos = true;
    w->RefreshSettings();
    EXPECT_EQ(w->StatusBar1->PanelText(2), "JavaPOS");

    w->cbb_CommandMode_Set->setCurrentIndex(3);
    w->edt_line1->setText("changed");
    w->btn_Default->click();
    EXPECT_EQ(w->StatusBar1->PanelText(2), "");
    EXPECT_TRUE(SystemInfo.jpos);
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "AUTO");
    EXPECT_EQ(w->edt_line1->text(), "***  VYL DISPLAY ***");
    w->RefreshSettings();
    EXPECT_EQ(w->StatusBar1->PanelText(2), "JavaPOS");
    EXPECT_TRUE(script.Boxes.empty());
}

TEST(WindowSettings, CharacterSetChoiceMovesAllThreeCodePageSelectors) {
    auto w = NewWindow();
    const QString view1 = w->mmo_line1_hex->toPlainText();
    const QString view2 = w->mmo_line2_hex->toPlainText();

    w->PageControl1->setCurrentWidget(w->tsCodepageSet);
    w->rg_InterChar_Set()->Button(12)->click(); // Russia, bound to CP866
    EXPECT_EQ(w->rg_InterChar_Set()->ItemIndex(), 12);
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 13);
    EXPECT_EQ(w->rg_CodePage_Set()->Items()[13], "CP866");
    EXPECT_EQ(w->cbb_CodePage_Msg->currentIndex(), 13);
    EXPECT_EQ(w->cbb_codepage_Test()->currentIndex(), 13);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), view1);
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(), view2);

    w->rg_InterChar_Set()->Button(8)->click(); // Japan: Katakana
    EXPECT_EQ(w->cbb_CodePage_Msg->currentText(), "Katakana");
    w->rg_InterChar_Set()->Button(18)->click(); // Baltic States: WCP1257
    EXPECT_EQ(w->cbb_codepage_Test()->currentText(), "WCP1257");
    w->rg_InterChar_Set()->Button(19)->click(); // Other: CP437
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 0);
}

TEST(WindowSettings, OnlyTheWelcomeCodePageRecomputesTheViews) {
    auto w = NewWindow();
    w->edt_line1->setText(QStringLiteral("é"));
    w->edt_line2->setText(QStringLiteral("Ω"));
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "82"); // CP437
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(), "EA");

    w->rg_CodePage_Set()->Button(33)->click(); // UTF-8 in the radio group
    EXPECT_EQ(w->cbb_CodePage_Msg->currentIndex(), 33);
    EXPECT_EQ(w->cbb_codepage_Test()->currentIndex(), 33);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "82");

    ChooseInCombo(w->cbb_codepage_Test(), 23); // WCP1252 in the test list
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 23);
    EXPECT_EQ(w->cbb_CodePage_Msg->currentIndex(), 23);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "82");
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(), "EA");

    ChooseInCombo(w->cbb_CodePage_Msg, 33); // UTF-8 in the welcome list
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 33);
    EXPECT_EQ(w->cbb_codepage_Test()->currentIndex(), 33);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "C3 A9");
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(), "CE A9");
    EXPECT_EQ(w->lbl_mess1_count->text(), "1");

    // A hand-edited view is replaced only by a new conversion.
    w->mmo_line1_hex->setPlainText("41 42 43");
    w->rg_CodePage_Set()->Button(0)->click();
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "41 42 43");
    ChooseInCombo(w->cbb_CodePage_Msg, 0);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "82");
}

TEST(WindowSettings, ChineseCharacterInGbk) {
    auto w = NewWindow();
    w->show();
    ChooseInCombo(w->cbb_CodePage_Msg, 18);
    ASSERT_EQ(w->cbb_CodePage_Msg->currentText(), "CP936_GBK");
    w->edt_line1->clear();
    w->edt_line1->setFocus();
    // Chinese arrives through the input method, as the committed text of a composition.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("中"));
    QApplication::sendEvent(w->edt_line1, &typed);
    EXPECT_EQ(w->edt_line1->text(), QStringLiteral("中"));
    EXPECT_EQ(w->lbl_mess1_count->text(), "1");
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "D6 D0");
}

TEST(WindowSettings, CenterButtons) {
    auto w = NewWindow();
    // The default line 2 (33 characters) gets no leading blank, 27 trailing ones.
    w->btn_welText_center->click();
    EXPECT_EQ(w->edt_line1->text(), "***  VYL DISPLAY ***");
    EXPECT_EQ(w->edt_line2->text(),
              QStringLiteral("**HAVE A NICE DAY AND THANK YOU**") + QString(27, QLatin1Char(' ')));
    EXPECT_EQ(w->lbl_mess2_count->text(), "60");

    w->edt_line1->setText("ABC");
    w->edt_line2->setText("0123456789");
    w->btn_welText_center->click();
    EXPECT_EQ(w->edt_line1->text(), QString(8, ' ') + "ABC" + QString(9, ' '));
    EXPECT_EQ(w->edt_line2->text(), QString(5, ' ') + "0123456789" + QString(45, ' '));
    EXPECT_EQ(w->lbl_mess1_count->text(), "20");
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(),
              "20 20 20 20 20 20 20 20 41 42 43 20 20 20 20 20 20 20 20 20");
    // A second press changes nothing.
    w->btn_welText_center->click();
    EXPECT_EQ(w->edt_line1->text(), QString(8, ' ') + "ABC" + QString(9, ' '));
    EXPECT_EQ(w->edt_line2->text().size(), 60);

    w->edt_Text()->setText("ABCD");
    w->btn_textText_center()->click();
    EXPECT_EQ(w->edt_Text()->text(), QString(8, ' ') + "ABCD" + QString(8, ' '));
    // The welcome lines are not touched by the test text's button.
    EXPECT_EQ(w->edt_line1->text(), QString(8, ' ') + "ABC" + QString(9, ' '));
}

TEST(WindowSettings, SpeedChoiceSetsTheConnectionSpeed) {
    auto w = NewWindow();
    ChooseInCombo(w->cbb_BaudRate, 4);
    EXPECT_EQ(w->CurrentBaudRate(), 115200);
    ChooseInCombo(w->cbb_BaudRate, 1);
    EXPECT_EQ(w->CurrentBaudRate(), 19200);
    // No selection: the factory speed.
    w->cbb_BaudRate->setCurrentIndex(-1);
    w->cbb_BaudRateChange();
    EXPECT_EQ(w->CurrentBaudRate(), 9600);
    ChooseInCombo(w->cbb_BaudRate, 1);
    // The display's speed list does not touch the connection.
    ChooseInCombo(w->cbb_BaudRate_Set, 3);
    EXPECT_EQ(w->CurrentBaudRate(), 19200);
}

TEST(WindowSettings, RefreshListsThePortsAnewAndChoosesTheFirst) {
    // Three published virtual ports make sure the list has at least three entries.
    std::vector<std::unique_ptr<PtyPair>> ptys;
    std::vector<std::unique_ptr<TPortPublication>> published;
    const std::string stem = "vylapptest" + std::to_string(::getpid()) + "_";
    for (const char* suffix : {"a", "b", "c"}) {
        ptys.push_back(std::make_unique<PtyPair>());
        published.push_back(
            std::make_unique<TPortPublication>(stem + suffix, ptys.back()->SlavePath()));
    }
    auto w = NewWindow();
    ASSERT_GE(w->cbb_SerialPort->count(), 3);
    const QStringList before = ComboItems(w->cbb_SerialPort);
    EXPECT_TRUE(before.contains(QString::fromStdString(stem + "b")));
    EXPECT_EQ(w->cbb_SerialPort->currentIndex(), 0);
    EXPECT_EQ(QString::fromStdU16String(w->CurrentPortName()), before.front());

    ChooseInCombo(w->cbb_SerialPort, 2);
    EXPECT_EQ(QString::fromStdU16String(w->CurrentPortName()), before[2]);

    published.pop_back(); // one port goes away
    w->btn_enumComPorts->click();
    const QStringList after = ComboItems(w->cbb_SerialPort);
    // Programs running alongside (other tests' displays) publish and withdraw ports of their
    // own at any moment: what must be unchanged are this test's ports and the machine's.
    const auto steady = [&stem](const QStringList& items) {
        QStringList kept;
        for (const QString& item : items)
            if (item.startsWith(QString::fromStdString(stem)) ||
                QFileInfo::exists(QStringLiteral("/dev/") + item))
                kept << item;
        return kept;
    };
    QStringList expected = steady(before);
    EXPECT_EQ(expected.removeAll(QString::fromStdString(stem + "c")), 1);
    EXPECT_EQ(steady(after), expected);
    EXPECT_FALSE(after.contains(QString::fromStdString(stem + "c")));
    EXPECT_EQ(w->cbb_SerialPort->currentIndex(), 0);
    EXPECT_EQ(QString::fromStdU16String(w->CurrentPortName()), after.front());
}
