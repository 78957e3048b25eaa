// SPDX-License-Identifier: Apache-2.0
// The device actions when things go wrong: no answer, no port, a port held elsewhere, a reply
// that is no settings document, frames that cannot be sent.

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "PtyPair.h"
#include "ScriptedFarEnd.h"
#include "untLanguage.h"
#include "untSystemInfo.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

using Frames = std::vector<std::string>;

// Every device button of the window, the range buttons included.
std::vector<QAbstractButton*> DeviceButtons(TfrmVylSetup& w) {
    return {w.btn_GetSetting,     w.btn_commandSet,      w.btn_baudrateSet,
            w.btn_brightness_set, w.btn_DownloadSetting, w.btn_DownloadCodePage(),
            w.btn_RestartDisplay, w.btn_ClearDisplay(),  w.btn_TextSend(),
            w.btn_203F(),         w.btn_E0FF()};
}

// The settings fields a capture would change, as a comparable record.
auto Captured() {
    return std::tuple(SystemInfo.Comm_No, SystemInfo.Baud_Rate, SystemInfo.back_light,
                      SystemInfo.temp1, SystemInfo.temp2, SystemInfo.wel_mess1,
                      SystemInfo.wel_mess1_hex);
}

} // namespace

TEST(DeviceActionFailures, DisplayThatDoesNotAnswer) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--no-answer"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));

    // A setting: the handshake failure, then the frame all the same.
    Press(*w, w->btn_commandSet);
    ASSERT_EQ(script.Boxes.size(), 2u) << script.BoxTexts().join("|").toStdString();
    EXPECT_EQ(script.Boxes[0].Text, HandShakeFailMessage());
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
    EXPECT_EQ(script.Boxes[0].Caption, "Error");
    EXPECT_EQ(script.Boxes[1].Text, "Done!");
    EXPECT_EQ(script.Boxes[1].Style, TMsgStyle::Information);

    // The settings request waits its full 10 s; meanwhile another action is held off. The
    // status bar and the controls keep what they showed; only jpos follows the handshake.
    script.Boxes.clear();
    SystemInfo.jpos = true;
    w->StatusBar1->SetPanelText(2, QStringLiteral("JavaPOS"));
    const QString panel0 = w->StatusBar1->PanelText(0);
    const QString mode = w->cbb_CommandMode_Set->currentText();
    QTimer::singleShot(3000, w.get(), [&] { w->btn_commandSet->click(); });
    const auto elapsed = Press(*w, w->btn_GetSetting);
    EXPECT_GE(elapsed.count(), 10000);
    EXPECT_EQ(script.BoxTexts(), QStringList{"Get Settings Error!"});
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
    EXPECT_EQ(w->StatusBar1->PanelText(2), "JavaPOS");
    EXPECT_EQ(w->StatusBar1->PanelText(0), panel0);
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), mode);
    EXPECT_FALSE(SystemInfo.jpos);
    EXPECT_EQ(Connections(vd, 2),
              (std::vector<Frames>{{"HS", "02 43 FF"}, {"HSJ", "02 07 16 05"}}));
}

TEST(DeviceActionFailures, PortThatCannotBeOpened) {
    TDialogScript script;
    auto w = NewWindow();
    // Edits in the controls that a capture would take.
    ChooseInCombo(w->cbb_CommandMode_Set, 2);
    w->rg_brightness->SetItemIndex(3);
    w->edt_line1->SetText("CHANGED");
    const auto before = Captured();

    w->SetCurrentPortName(u"VylNoSuchPort");
    for (QAbstractButton* button : DeviceButtons(*w)) {
        script.Boxes.clear();
        Press(*w, button);
        ASSERT_EQ(script.Boxes.size(), 1u) << button->objectName().toStdString();
        EXPECT_EQ(script.Boxes[0].Text, "SerialPort Open Failed");
        EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
        EXPECT_TRUE(script.Boxes[0].Detail.contains("Refresh"))
            << script.Boxes[0].Detail.toStdString();
        EXPECT_FALSE(w->ActionRunning());
    }
    EXPECT_EQ(Captured(), before);

    // No port listed at all.
    script.Boxes.clear();
    w->SetCurrentPortName({});
    Press(*w, w->btn_ClearDisplay());
    ASSERT_EQ(script.Boxes.size(), 1u);
    // Not the OS's reason for opening "/dev/" ("Is a directory").
    EXPECT_EQ(script.Boxes[0].Detail,
              "No port is selected: connect the display, press Refresh and choose its port.");

    // A port another program holds: the reason and a hint as the detail, nothing sent.
    VirtualDisplayProcess vd(VirtualDisplayProgram, {});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
    const int holder = ::open(vd.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    script.Boxes.clear();
    Press(*w, w->btn_commandSet);
    ::close(holder);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "SerialPort Open Failed");
    EXPECT_TRUE(script.Boxes[0].Detail.contains("Another program is using the port"))
        << script.Boxes[0].Detail.toStdString();
    EXPECT_EQ(Captured(), before);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(vd.TraceEvents("RX").empty());
}

TEST(DeviceActionFailures, RepliesThatAreNoSettingsDocument) {
    TDialogScript script;
    auto w = NewWindow();
    const auto settingsReply = [](const char* text) {
        return [text](const ByteString&) { return ByteString(text) + '\0'; };
    };
    {
        // The JavaPOS handshake goes unanswered; then the settings request gets text.
        PtyPair pty;
        ScriptedFarEnd display(pty, 35 + 4, settingsReply("this is not JSON"));
        w->SetCurrentPortName(QString::fromStdString(pty.PortName()).toStdU16String());
        SystemInfo.jpos = true;
        const QString panel0 = w->StatusBar1->PanelText(0);
        Press(*w, w->btn_GetSetting);
        EXPECT_EQ(script.BoxTexts(), QStringList{"Parsing failed!"});
        EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
        EXPECT_FALSE(SystemInfo.jpos);
        EXPECT_EQ(w->StatusBar1->PanelText(0), panel0);
        const ByteString request = display.Request();
        EXPECT_EQ(request.substr(0, 3), "\x02\x07\x12");
        EXPECT_EQ(request.substr(35), "\x02\x07\x16\x05");
    }
    {
        // A document whose top level is no object is an error raised inside the action: the
        // connection is closed and the general report shows it.
        PtyPair pty;
        ScriptedFarEnd display(pty, 35 + 4, settingsReply("[1, 2]"));
        w->SetCurrentPortName(QString::fromStdString(pty.PortName()).toStdU16String());
        script.Boxes.clear();
        Press(*w, w->btn_GetSetting);
        ASSERT_EQ(script.Boxes.size(), 1u);
        EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
        EXPECT_FALSE(script.Boxes[0].Text.isEmpty());
        EXPECT_FALSE(w->ActionRunning());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        // The window goes on: the next action runs.
        script.Boxes.clear();
        Press(*w, w->btn_ClearDisplay());
        EXPECT_TRUE(script.Boxes.empty());
        EXPECT_EQ(pty.ReadUntilQuiet(std::chrono::milliseconds(100)), "\x0C");
    }
}

TEST(DeviceActionFailures, ADisplayThatVanishesShowsOneDisconnectMessage) {
    // Whenever the line hangs up (during the handshake, or between the welcome frames), the
    // action ends at once with one warning in the window's language: no handshake box, no
    // "Done!" or "Fail!", and the speed that was not sent is not taken over.
    for (const std::uint16_t lang : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
        TDialogScript script;
        auto w = NewWindow(lang);
        ChooseInCombo(w->cbb_BaudRate_Set, 4);
        const QString text = lang == 0x0804 ? QStringLiteral("客显已断开连接。")
                                            : QStringLiteral("The display was disconnected.");
        for (QAbstractButton* button : {static_cast<QAbstractButton*>(w->btn_commandSet),
                                        static_cast<QAbstractButton*>(w->btn_baudrateSet),
                                        static_cast<QAbstractButton*>(w->btn_GetSetting)}) {
            PtyPair pty;
            ScriptedFarEnd vanishing(pty, 35, [&pty](const ByteString&) {
                pty.CloseMaster();
                return ByteString();
            });
            w->SetCurrentPortName(QString::fromStdString(pty.PortName()).toStdU16String());
            script.Boxes.clear();
            Press(*w, button);
            ASSERT_EQ(script.Boxes.size(), 1u) << button->objectName().toStdString();
            EXPECT_EQ(script.Boxes[0].Text, text);
            EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
            EXPECT_FALSE(script.Boxes[0].Detail.isEmpty());
        }
        EXPECT_EQ(w->cbb_BaudRate->currentText(), "9600");
        EXPECT_EQ(w->CurrentBaudRate(), 9600);

        VirtualDisplayProcess vd(VirtualDisplayProgram, {"--hangup-after", "2"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
        script.Boxes.clear();
        Press(*w, w->btn_DownloadSetting);
        EXPECT_EQ(script.BoxTexts(), QStringList{text});
    }
}

// Asked to end while an action runs (a signal while the handshake-failure box is open, Exit
// during a silent Get Setting): no further frame, no box, the window gone within a second. And
// while it runs, Load and Default are held off like the device buttons.
TEST(DeviceActionFailures, ARequestToEndSendsNothingMoreAndShowsNoBox) {
    struct TCase {
        const char* Name;
        QPushButton* TfrmVylSetup::*Button;
        bool BySignal; // else Exit, once the settings request is out
        Frames Sent;
    };
    const std::vector<TCase> cases = {
        {"signal, box open", &TfrmVylSetup::btn_brightness_set, true, {"HS"}},
        {"Exit, silent Get Setting", &TfrmVylSetup::btn_GetSetting, false, {"HSJ", "02 07 16 05"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        VirtualDisplayProcess vd(VirtualDisplayProgram, {"--no-answer"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        TDialogScript script;
        auto w = NewWindow();
        w->show();
        ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
        const TTerminationSignals termination;
        std::chrono::steady_clock::time_point asked;
        const auto askToEnd = [&] {
            asked = std::chrono::steady_clock::now();
            if (c.BySignal) {
                ASSERT_EQ(::raise(SIGTERM), 0);
                QTest::qWait(100); // the box stays open while the event loop takes the signal
            } else {
                w->btn_Exit->click();
            }
        };
        script.OnBox = [&](const TMessageBoxCall&) {
            if (c.BySignal && script.Boxes.size() == 1)
                askToEnd();
        };
        if (!c.BySignal) {
            QTimer::singleShot(0, w.get(), [&] {
                ASSERT_EQ(vd.WaitForEvents("RX", 2).size(), 2u);
                const QString line1 = w->edt_line1->text();
                w->edt_line1->setText(QStringLiteral("EDITED"));
                w->btn_loadsettings->click(); // no dialog: held off
                w->btn_Default->click();      // held off: the edit stays
                EXPECT_EQ(w->edt_line1->text(), QStringLiteral("EDITED"));
                askToEnd();
            });
        }
        (w.get()->*c.Button)->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 5000));
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
        // The handshake-failure box at most; no "Done!", no "Get Settings Error!".
        EXPECT_EQ(script.Boxes.size(), c.BySignal ? 1u : 0u)
            << script.BoxTexts().join("|").toStdString();
        EXPECT_TRUE(script.FileDialogs.empty());
        EXPECT_EQ(Connections(vd, 1), std::vector<Frames>{c.Sent});
    }
}
