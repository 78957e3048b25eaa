// SPDX-License-Identifier: Apache-2.0
// The window asked to end by the end of the user's session (log off, shut down) while an action
// waits for the display's answer: the query is answered yes at once, both messages are answered
// within a second (after WM_ENDSESSION Windows may end the process at any moment), and within a
// second the action is over and the window closed, with no further frame to the display and no
// box. The
// display is the Linux build's virtual display on a mapped COM port, its answers held back
// (tests/wine/window-harness.sh); the messages come from another thread, as the system's do.

#include "AppTestSupport.h"
#include "SerialCommValue.h"
#include "TraceLine.h"
#include "untApplication.h"
#include "untMessageBox.h"

#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

std::size_t FramesReceived(const std::string& tracePath) {
    std::ifstream in(tracePath, std::ios::binary);
    std::size_t frames = 0;
    for (std::string line; std::getline(in, line);)
        if (TTraceLine e; ParseTraceLine(line, e) && e.Event == "RX")
            ++frames;
    return frames;
}

// When the window closes with its action over. (Its hide comes up to 2 s later under Wine
// without a window manager: Wine's X11 driver waits that long for one to withdraw the window.)
struct TCloseWatch : QObject {
    const TfrmVylSetup& Window;
    Clock::time_point At{};
    explicit TCloseWatch(const TfrmVylSetup& window) : Window(window) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close && !Window.ActionRunning() && At == Clock::time_point{})
            At = Clock::now();
        return false;
    }
};

} // namespace

TEST(SessionEndWin32, EndingTheSessionDuringAnActionEndsItWithinASecondWithoutAnotherFrame) {
    const char* port = std::getenv("VYL_WINE_DISPLAY_PORT");
    const char* trace = std::getenv("VYL_WINE_DISPLAY_TRACE");
    if (port == nullptr || trace == nullptr)
        GTEST_SKIP() << "needs a virtual display on a mapped COM port (window-harness.sh)";
    const std::string portName = port;
    const std::string tracePath = trace;
    TSerialCommValue listed(L"\\Device\\VylSessionEnd",
                            std::wstring(portName.begin(), portName.end()));
    ASSERT_TRUE(listed.Added());
    int boxes = 0;
    SetMessageBoxHook([&boxes](const TMessageBoxCall&) {
        ++boxes;
        return TMsgResult::Ok;
    });
    struct THookEnd {
        ~THookEnd() { SetMessageBoxHook({}); }
    } hookEnd;

    auto w = NewWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->btn_enumComPorts->click();
    const int index = w->cbb_SerialPort->findText(QString::fromStdString(portName));
    ASSERT_GE(index, 0);
    ChooseInCombo(w->cbb_SerialPort, index);
    const TTerminationSignals termination;
    TCloseWatch closed(*w);
    w->installEventFilter(&closed);
    const HWND window = reinterpret_cast<HWND>(w->winId());
    const std::size_t framesBefore = FramesReceived(tracePath);

    // As soon as the display has the handshake's request, the session ends.
    std::atomic<bool> asked{false};
    std::size_t framesWhenAsked = 0;
    Clock::time_point askedAt{}, answeredAt{};
    DWORD_PTR mayEnd = 0;
    std::thread system([&] {
        const auto limit = Clock::now() + std::chrono::seconds(10);
        while (FramesReceived(tracePath) == framesBefore && Clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        framesWhenAsked = FramesReceived(tracePath);
        askedAt = Clock::now();
        asked = true;
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &mayEnd);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &ignored);
        answeredAt = Clock::now();
    });
    w->btn_commandSet->click();
    const bool ended =
        QTest::qWaitFor([&] { return asked && !w->ActionRunning() && !w->isVisible(); }, 15000);
    system.join();
    // Past the display's held-back answer: a program that went on would send its frame now.
    QTest::qWait(2000);

    ASSERT_GT(framesWhenAsked, framesBefore) << "the display never got the request";
    EXPECT_TRUE(ended);
    EXPECT_EQ(mayEnd, static_cast<DWORD_PTR>(TRUE));
    EXPECT_LE(answeredAt - askedAt, std::chrono::seconds(1));
    EXPECT_NE(closed.At, Clock::time_point{});
    EXPECT_LE(closed.At - askedAt, std::chrono::seconds(1));
    EXPECT_EQ(FramesReceived(tracePath), framesWhenAsked);
    EXPECT_EQ(boxes, 0);
}
