// SPDX-License-Identifier: Apache-2.0
// The window's port list follows plugging on Windows: a port added to (or taken from) the
// system's serial port list, and the device-change broadcast that tells every top-level window.
// Wine broadcasts none when a port appears, so the test sends the system's own message to all
// top-level windows from another thread, as the system would. The window runs on the windows
// platform (the offscreen one has no native window to receive the broadcast).

#include "AppTestSupport.h"
#include "SerialCommValue.h"

#include "untPortWatch.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <thread>

#include <windows.h>

#include <dbt.h>

namespace {

// WM_DEVICECHANGE with a port's header to every top-level window, sent from a thread of its own
// while this one serves the window's event loop (a sent message is taken in there). False when
// some window did not answer within 5 s.
bool Broadcast(WPARAM event, DWORD deviceType, const std::wstring& port) {
    struct {
        DEV_BROADCAST_PORT_W header;
        wchar_t rest[32];
    } message{};
    message.header.dbcp_size = sizeof message;
    message.header.dbcp_devicetype = deviceType;
    std::wcsncpy(message.header.dbcp_name, port.c_str(), 32);
    std::atomic<int> answered{-1};
    std::thread sender([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, event,
                                       reinterpret_cast<LPARAM>(&message), SMTO_ABORTIFHUNG, 5000,
                                       &result) != 0;
    });
    static_cast<void>(QTest::qWaitFor([&] { return answered >= 0; }, 10000));
    sender.join();
    return answered == 1;
}

bool Listed(const TfrmVylSetup& window, const QString& port) {
    return window.cbb_SerialPort->findText(port) >= 0;
}

} // namespace

TEST(PortWatchWin32, TheListFollowsTheSystemsPortBroadcasts) {
    auto w = NewWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // The watch is armed once the window has been painted.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->findChild<TPortWatch*>()->Started(); }, 5000));

    // Arrival of a port: listed, without Refresh.
    TSerialCommValue first(L"\\Device\\VylWatch57", L"COM57");
    ASSERT_TRUE(first.Added());
    ASSERT_FALSE(Listed(*w, "COM57"));
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, L"COM57"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(*w, "COM57"); }, 5000));

    // Another kind of device (a volume) is no reason to read the ports again.
    TSerialCommValue second(L"\\Device\\VylWatch58", L"COM58");
    ASSERT_TRUE(second.Added());
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, L"COM58"));
    QTest::qWait(TPortWatch::SettleMs + 500);
    EXPECT_FALSE(Listed(*w, "COM58"));

    // The selected port removed: kept, marked missing; the list read anew (COM58 now in it).
    ChooseInCombo(w->cbb_SerialPort, w->cbb_SerialPort->findText("COM57"));
    first.Remove();
    ASSERT_TRUE(Broadcast(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT, L"COM57"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(*w, "COM58"); }, 5000));
    EXPECT_EQ(w->cbb_SerialPort->currentText(), "COM57");
    EXPECT_TRUE(w->PortMissing(w->cbb_SerialPort->currentIndex()));
}
