// SPDX-License-Identifier: Apache-2.0
// The window's Find Display: it selects the port and speed found and says what it found; when
// the selected port has no display it says what it tried and searches every listed port only
// after a Yes.

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "PtyPair.h"
#include "untSystemInfo.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString StrayNote = QStringLiteral(
    "\r\rStray characters may have appeared on the display while other speeds were tried.");

std::vector<std::string> DisplayArgs(int baud, std::initializer_list<const char*> more = {}) {
    std::vector<std::string> args{"--baud", std::to_string(baud), "--model",
                                  "RV310",  "--firmware",         "7"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Only these ports are listed, also when the list is read anew: a search of every port must
// not reach anyone else's.
void ListOnly(TfrmVylSetup& w, const QStringList& ports, int selected) {
    w.SetPortLister([ports](std::vector<std::string>& target) {
        target.clear();
        for (const QString& port : ports)
            target.push_back(port.toStdString());
        return true;
    });
    w.btn_enumComPorts->click();
    ChooseInCombo(w.cbb_SerialPort, selected);
}

} // namespace

TEST(FindDisplay, SelectsThePortAndSpeedFoundAndHoldsOffOtherActions) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, DisplayArgs(19200));
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDialogScript script;
    auto w = NewWindow();
    ASSERT_TRUE(ChoosePort(*w, vd.PortName()));
    ASSERT_EQ(w->cbb_BaudRate->currentText(), "9600");
    // A click while the search runs is dropped, as for every device action.
    bool running = false;
    QTimer::singleShot(50, w.get(), [&] {
        running = w->ActionRunning();
        w->btn_GetSetting->click();
    });

    Press(*w, w->btn_FindDisplay);

    EXPECT_TRUE(running);
    const QString port = QString::fromStdString(vd.PortName());
    EXPECT_EQ(script.BoxTexts(), QStringList{"Display found on " + port +
                                             " at 19200 bit/s.\rModel: RV310\r"
                                             "Firmware Version: 7\rHandshake: JavaPOS" +
                                             StrayNote});
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Information);
    EXPECT_EQ(w->cbb_BaudRate->currentText(), "19200");
    EXPECT_EQ(w->CurrentBaudRate(), 19200);
    EXPECT_EQ(w->cbb_SerialPort->currentText(), port);

    // The next action talks to the display at the speed found.
    script.Boxes.clear();
    Press(*w, w->btn_GetSetting);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.contains("BaudRate: 19200\r"))
        << script.Boxes[0].Text.toStdString();
}

TEST(FindDisplay, EveryListedPortOnlyAfterAYes) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, DisplayArgs(9600));
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    PtyPair silent;
    const QString silentPort = QString::fromStdString(silent.PortName());
    const QString displayPort = QString::fromStdString(vd.PortName());
    const QString notFound = "No display was found.\r\r" + silentPort +
                             ": tried 9600, 19200, 38400, 57600, 115200 bit/s; nothing "
                             "answered.\r\rStray characters may have appeared on a display "
                             "searched at a speed other than its own.";
    for (const TMsgResult answer : {TMsgResult::No, TMsgResult::Yes}) {
        TDialogScript script;
        script.BoxAnswers = {TMsgResult::Ok, answer};
        auto w = NewWindow();
        ListOnly(*w, {silentPort, displayPort}, 0);

        Press(*w, w->btn_FindDisplay);

        ASSERT_GE(script.Boxes.size(), 2u) << script.BoxTexts().join("|").toStdString();
        EXPECT_EQ(script.Boxes[0].Text, notFound);
        EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
        EXPECT_EQ(script.Boxes[1].Style, TMsgStyle::AskYesNo);
        EXPECT_TRUE(script.Boxes[1].Text.contains("stray characters"));
        if (answer == TMsgResult::No) {
            EXPECT_EQ(script.Boxes.size(), 2u);
            EXPECT_EQ(w->cbb_SerialPort->currentText(), silentPort);
            EXPECT_EQ(w->CurrentBaudRate(), 9600);
            EXPECT_TRUE(vd.TraceEvents("RX").empty()) << "a port the user did not choose";
            continue;
        }
        ASSERT_EQ(script.Boxes.size(), 3u);
        EXPECT_TRUE(script.Boxes[2].Text.startsWith("Display found on " + displayPort +
                                                    " at 9600 bit/s.\r"))
            << script.Boxes[2].Text.toStdString();
        EXPECT_EQ(w->cbb_SerialPort->currentText(), displayPort);
        EXPECT_EQ(w->CurrentPortName(), displayPort.toStdU16String());
        EXPECT_EQ(w->cbb_BaudRate->currentText(), "9600");
        EXPECT_EQ(w->CurrentBaudRate(), 9600);
        EXPECT_FALSE(w->ActionRunning());
    }

    // With nothing else listed there is nothing to ask.
    TDialogScript script;
    auto w = NewWindow();
    ListOnly(*w, {silentPort}, 0);
    Press(*w, w->btn_FindDisplay);
    EXPECT_EQ(script.BoxTexts(), QStringList{notFound});
}

TEST(FindDisplay, TheButtonSitsRightOfTheSpeedListAndFitsItsCaption) {
    for (const std::uint16_t lang : {0x0409, 0x0804}) {
        auto w = NewWindow(lang);
        EXPECT_EQ(w->btn_FindDisplay->text(),
                  lang == 0x0804 ? QStringLiteral("查找客显") : QStringLiteral("Find Display"));
        const QRect button = w->btn_FindDisplay->geometry();
        EXPECT_EQ(w->btn_FindDisplay->parentWidget(), w->grp_Settings);
        EXPECT_GT(button.left(), w->cbb_BaudRate->geometry().right());
        EXPECT_TRUE(w->grp_Settings->rect().contains(button));
        EXPECT_LE(w->btn_FindDisplay->sizeHint().width(), button.width()) << lang;
    }
}

// Find Display with nothing listed, while it runs (its Cancel, Esc, the status bar) and after a
// search of every port that found two displays.
TEST(FindDisplay, NoPortItsCancelAndEveryDisplayFound) {
    TDialogScript script;
    auto w = NewWindow();
    w->show();
    ListOnly(*w, {}, -1);
    Press(*w, w->btn_FindDisplay);
    EXPECT_EQ(script.BoxTexts(),
              QStringList{"No serial port is listed: connect the display and press Refresh."});

    // A silent port keeps the search busy until it is cancelled.
    VirtualDisplayProcess silent(VirtualDisplayProgram, {"--no-answer"});
    ASSERT_TRUE(silent.Started()) << silent.Stderr();
    const QString silentPort = QString::fromStdString(silent.PortName());
    const QString panel0 = w->StatusBar1->PanelText(0);
    for (const bool byEsc : {false, true}) {
        script.Boxes.clear();
        ListOnly(*w, {silentPort}, 0);
        QString caption;
        QString status;
        QTimer::singleShot(400, w.get(), [&] {
            caption = w->btn_FindDisplay->text();
            status = w->StatusBar1->currentMessage();
            if (byEsc)
                QTest::keyClick(w.get(), Qt::Key_Escape);
            else
                w->btn_FindDisplay->click();
        });
        const auto took = Press(*w, w->btn_FindDisplay);
        EXPECT_EQ(caption, "Cancel") << byEsc;
        EXPECT_TRUE(status.startsWith("Finding the display: " + silentPort + " at "))
            << status.toStdString();
        EXPECT_LT(took, std::chrono::milliseconds(3000)) << byEsc;
        EXPECT_TRUE(script.Boxes.empty()) << script.BoxTexts().join("|").toStdString();
        EXPECT_EQ(w->btn_FindDisplay->text(), "Find Display");
        EXPECT_EQ(w->StatusBar1->currentMessage(), "");
        EXPECT_EQ(w->StatusBar1->PanelText(0), panel0);
    }

    // Every port: the first display selected, the other named.
    VirtualDisplayProcess first(VirtualDisplayProgram, DisplayArgs(9600));
    VirtualDisplayProcess second(VirtualDisplayProgram, DisplayArgs(19200));
    ASSERT_TRUE(first.Started() && second.Started());
    const QString firstPort = QString::fromStdString(first.PortName());
    const QString secondPort = QString::fromStdString(second.PortName());
    script.Boxes.clear();
    script.BoxAnswers = {TMsgResult::Ok, TMsgResult::Yes};
    ListOnly(*w, {"VylNoSuchPort", firstPort, secondPort}, 0);
    Press(*w, w->btn_FindDisplay);
    ASSERT_EQ(script.Boxes.size(), 3u) << script.BoxTexts().join("|").toStdString();
    EXPECT_TRUE(script.Boxes[1].Text.contains("02 07 16 05 (STX BEL SYN ENQ)"));
    EXPECT_TRUE(script.Boxes[2].Text.startsWith("Display found on " + firstPort))
        << script.Boxes[2].Text.toStdString();
    EXPECT_TRUE(script.Boxes[2].Text.contains("\r\rOther displays found: " + secondPort +
                                              " at 19200 bit/s."))
        << script.Boxes[2].Text.toStdString();
    EXPECT_EQ(w->cbb_SerialPort->currentText(), firstPort);
}
