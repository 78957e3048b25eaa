// SPDX-License-Identifier: Apache-2.0
// The window's side of the device actions, against the virtual display: what is shown and in
// which order, the records taken into the controls, the held-off clicks, the close during an
// action. (What goes over the wire is tested at the session level.)

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "untLanguage.h"
#include "untSystemInfo.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using Frames = std::vector<std::string>;

// A display that starts from known, non-default settings: UTC/S (3), Russia (12), CP866 (17),
// brightness 2, and refuses setting frames that no handshake preceded.
const std::vector<std::string> KnownDisplay = {
    "--model",    "RV310", "--firmware",   "7", "--command",          "3", "--charset", "12",
    "--codepage", "17",    "--brightness", "2", "--require-handshake"};

std::vector<std::string> With(std::vector<std::string> args,
                              std::initializer_list<const char*> more) {
    for (const char* arg : more)
        args.emplace_back(arg);
    return args;
}

} // namespace

TEST(DeviceActions, GetSettingShowsTheSummaryAndRefreshesTheWindow) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, KnownDisplay);
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));

    Press(*w, w->btn_GetSetting);

    ASSERT_EQ(script.Boxes.size(), 1u) << script.BoxTexts().join("|").toStdString();
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Information);
    EXPECT_EQ(script.Boxes[0].Text, QStringLiteral("Model: RV310\rFirmware Version: 7\r"
                                                   "BaudRate: 9600\rCommand Set: UTC/S\r"
                                                   "InterChar: Russia\rCodePage: CP866\r"));
    EXPECT_EQ(w->StatusBar1->PanelText(0), "Model: RV310");
    EXPECT_EQ(w->StatusBar1->PanelText(1), "Firmware Version: 7");
    EXPECT_EQ(w->StatusBar1->PanelText(2), "JavaPOS");
    EXPECT_TRUE(SystemInfo.jpos);
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "UTC/S");
    EXPECT_EQ(w->rg_InterChar_Set()->Items().value(w->rg_InterChar_Set()->ItemIndex()), "Russia");
    EXPECT_EQ(w->cbb_CodePage_Msg->currentText(), "CP866");
    EXPECT_EQ(w->cbb_codepage_Test()->currentText(), "CP866");
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(DeviceActions, GetSettingWithoutJavaPosInChineseAndTheHeldOffClicks) {
    // No JavaPOS answer, and the settings come 1.5 s late: time to click other actions, which
    // must neither run now nor afterwards.
    VirtualDisplayProcess vd(VirtualDisplayProgram,
                             With(KnownDisplay, {"--no-jpos", "--reply-delay", "1500"}));
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow(0x0804);
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
    SystemInfo.jpos = true;
    w->StatusBar1->SetPanelText(2, QStringLiteral("JavaPOS"));

    bool clickedDuringWait = false;
    const Qt::CursorShape noCursor = Qt::BitmapCursor;
    Qt::CursorShape cursorDuringWait = noCursor;
    QTimer::singleShot(700, w.get(), [&] {
        clickedDuringWait = w->ActionRunning();
        if (const QCursor* cursor = QApplication::overrideCursor())
            cursorDuringWait = cursor->shape();
        w->btn_ClearDisplay()->click();
        w->btn_GetSetting->click();
        w->btn_E0FF()->click();
        // A click that waits in the queue until the action has ended is dropped as well.
        QMetaObject::invokeMethod(w->btn_RestartDisplay, "click", Qt::QueuedConnection);
    });
    Press(*w, w->btn_GetSetting);
    QCoreApplication::processEvents();

    EXPECT_TRUE(clickedDuringWait);
    EXPECT_EQ(cursorDuringWait, Qt::WaitCursor);
    ASSERT_EQ(script.Boxes.size(), 1u) << script.BoxTexts().join("|").toStdString();
    // Chinese labels; the character set by its English name in both languages.
    EXPECT_EQ(script.Boxes[0].Text,
              QStringLiteral("型号： RV310\r固件版本： 7\r波特率： 9600\r"
                             "指令集： UTC/S\r国家： Russia\r代码页： CP866\r"));
    EXPECT_FALSE(SystemInfo.jpos);
    EXPECT_EQ(w->StatusBar1->PanelText(0), QStringLiteral("型号： RV310"));
    EXPECT_EQ(w->StatusBar1->PanelText(2), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Connections(vd, 1), (std::vector<Frames>{{"HSJ", "02 07 16 05"}}));
}

TEST(DeviceActions, SettingsGoOutAfterTheHandshakeAndReadBack) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));

    // Command set UTC/S; a click queued while "Done!" is open comes after the action: dropped.
    ChooseInCombo(w->cbb_CommandMode_Set, w->cbb_CommandMode_Set->findText("UTC/S"));
    script.OnBox = [&](const TMessageBoxCall&) {
        QMetaObject::invokeMethod(w->btn_ClearDisplay(), "click", Qt::QueuedConnection);
        script.OnBox = nullptr;
    };
    Press(*w, w->btn_commandSet);
    QCoreApplication::processEvents();
    EXPECT_EQ(SystemInfo.Comm_No, 3);
    // Brightness level 2.
    w->rg_brightness->SetItemIndex(1);
    Press(*w, w->btn_brightness_set);
    // Russia and CP866, straight from the radio groups; SystemInfo stays as it was.
    const TSystemInfo before = SystemInfo;
    w->rg_InterChar_Set()->SetItemIndex(12);
    w->rg_CodePage_Set()->SetItemIndex(w->rg_CodePage_Set()->Items().indexOf("CP866"));
    Press(*w, w->btn_DownloadCodePage());
    EXPECT_EQ(SystemInfo.Char_No, before.Char_No);
    EXPECT_EQ(SystemInfo.Expand_Char_No, before.Expand_Char_No);
    // Restart and clear: no handshake, no message. Each writes its frame as soon as the port
    // is open: the display must have seen the connection before close first, or it would count
    // the frame with that one (a pty carries no boundary between connections).
    EXPECT_EQ(vd.WaitForEvents("CLOSE", 3).size(), 3u);
    Press(*w, w->btn_RestartDisplay);
    EXPECT_EQ(vd.WaitForEvents("CLOSE", 4).size(), 4u);
    Press(*w, w->btn_ClearDisplay());

    EXPECT_EQ(script.BoxTexts(), (QStringList{"Done!", "Done!", "Done!"}));
    for (const TMessageBoxCall& box : script.Boxes)
        EXPECT_EQ(box.Style, TMsgStyle::Information);
    // The click queued while "Done!" was open did not run.
    EXPECT_EQ(Connections(vd, 5).size(), 5u);

    // What the display now holds comes back through "Get Setting".
    w->btn_DefaultClick();
    script.Boxes.clear();
    Press(*w, w->btn_GetSetting);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.contains("Command Set: UTC/S\rInterChar: Russia\r"
                                              "CodePage: CP866\r"))
        << script.Boxes[0].Text.toStdString();
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "UTC/S");
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 1);
}

TEST(DeviceActions, SpeedChangeMovesTheNextConnection) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));

    ChooseInCombo(w->cbb_BaudRate_Set, w->cbb_BaudRate_Set->findText("19200"));
    Press(*w, w->btn_baudrateSet);
    EXPECT_EQ(script.BoxTexts(), QStringList{"Done!"});
    EXPECT_EQ(w->cbb_BaudRate->currentText(), "19200");
    EXPECT_EQ(w->CurrentBaudRate(), 19200);

    // The next action talks to the display at its new speed.
    script.Boxes.clear();
    Press(*w, w->btn_GetSetting);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.contains("BaudRate: 19200\r"))
        << script.Boxes[0].Text.toStdString();
    EXPECT_EQ(w->cbb_BaudRate_Set->currentText(), "19200");

    // Mended: with no speed chosen nothing is sent after the handshake, the action fails and
    // the window keeps the speed the display has.
    script.Boxes.clear();
    w->cbb_BaudRate_Set->setCurrentIndex(-1);
    Press(*w, w->btn_baudrateSet);
    EXPECT_EQ(script.BoxTexts(), QStringList{"Fail!"});
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
    EXPECT_EQ(script.Boxes[0].Detail,
              "No speed is selected: choose the display's speed in the list.");
    EXPECT_EQ(w->cbb_BaudRate->currentText(), "19200");
    EXPECT_EQ(w->CurrentBaudRate(), 19200);
}

TEST(DeviceActions, WelcomeMessageSendsTheHexViewsWithItsPauses) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    w->show();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));

    // The views as edited by hand are what goes out, a 00 ends its line; line 2 does not scroll.
    w->mmo_line1_hex->setPlainText("41 42 43");
    w->mmo_line2_hex->setPlainText("44 00 45");
    w->chk_Scroll2->setChecked(false);
    const QString line1 = w->edt_line1->text();

    // During the first pause another action is dropped.
    QTimer::singleShot(700, w.get(), [&] { w->btn_ClearDisplay()->click(); });
    const auto elapsed = Press(*w, w->btn_DownloadSetting);

    EXPECT_EQ(script.BoxTexts(), QStringList{"Done!"});
    EXPECT_GE(elapsed.count(), 3400);
    EXPECT_EQ(w->edt_line1->text(), line1);
    EXPECT_EQ(SystemInfo.wel_mess1_hex, "41 42 43");
    EXPECT_EQ(SystemInfo.temp2 & 0x02, 0x02);
    // What went out is what the views held.
    EXPECT_EQ(Connections(vd, 1), (std::vector<Frames>{{"HS", "02 07 16 06 41 42 43 00",
                                                        "02 07 16 07 44 00", "02 07 16 09 06"}}));

    // Closed during the first pause: the user asked to stop. Line 1 has gone out, nothing
    // more does, no box comes, and the window is gone within a second.
    script.Boxes.clear();
    bool visibleAfterClose = false;
    QTimer::singleShot(700, w.get(), [&] {
        w->close();
        visibleAfterClose = w->isVisible();
    });
    const auto closing = Press(*w, w->btn_DownloadSetting);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_FALSE(w->isVisible());
    EXPECT_LT(closing.count(), 1700);
    EXPECT_TRUE(script.Boxes.empty()) << script.BoxTexts().join("|").toStdString();
    EXPECT_EQ(Connections(vd, 2).back(), (Frames{"HS", "02 07 16 06 41 42 43 00"}));
}

TEST(DeviceActions, SaveSettingDuringGetSettingWritesWhatTheControlsShow) {
    // The window stays live while the session waits for the slow reply: a save meanwhile takes
    // the controls as they are, not the settings still on their way.
    VirtualDisplayProcess vd(VirtualDisplayProgram,
                             With(KnownDisplay, {"--no-jpos", "--reply-delay", "1500"}));
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
    w->edt_line1->SetText(QStringLiteral("LIVE"));
    const QString path = dir.filePath("during.ini");
    QByteArray saved;
    QTimer::singleShot(500, w.get(), [&] {
        EXPECT_TRUE(w->ActionRunning());
        script.FileAnswers.push_back(path);
        w->btn_savesettings->click();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            saved = file.readAll();
    });
    Press(*w, w->btn_GetSetting);
    EXPECT_TRUE(saved.contains("\"wel_mess1\": \"LIVE\"")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\"Comm_No\": 255")) << saved.toStdString();
    ASSERT_EQ(script.Boxes.size(), 2u) << script.BoxTexts().join("|").toStdString();
    EXPECT_TRUE(script.Boxes[0].Text.startsWith("Save Settings File Success:"));
    EXPECT_TRUE(script.Boxes[1].Text.startsWith("Model: RV310\r"))
        << script.Boxes[1].Text.toStdString();
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "UTC/S");
}
