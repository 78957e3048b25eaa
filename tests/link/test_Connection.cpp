// SPDX-License-Identifier: Apache-2.0
// The connection: open, close and send, as the device actions use them.
#include "LinkTestUtil.h"
#include "ProcessCounts.h"
#include "PtyPair.h"
#include "untComm.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A frame of every byte value, zeros included, marked with its number.
ByteString NumberedFrame(int n) {
    ByteString frame = "\x02#" + std::to_string(n) + '\0';
    for (int v = 0; v < 256; ++v)
        frame.push_back(static_cast<char>((v + n) & 0xFF));
    frame.append(static_cast<std::size_t>(n % 7), '\0');
    return frame;
}

void Pump(std::chrono::milliseconds ms) {
    PumpUntil([] { return false; }, ms);
}

struct Connection : testing::Test {
    TCommConnection connection;
};

} // namespace

TEST_F(Connection, SendThenCloseDeliversEveryFrameExactly) {
    PtyPair pair;
    for (int n = 0; n < 300; ++n) {
        ASSERT_TRUE(connection.Open(pair.PortName(), 115200)) << connection.LastOpenError().Text;
        const ByteString frame = NumberedFrame(n);
        ASSERT_EQ(connection.Send(frame), COMM_OK);
        connection.Close();
        const ByteString got = pair.Read(frame.size(), 2s);
        ASSERT_EQ(got, frame) << "frame " << n;
    }
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(pair.ReadUntilQuiet(100ms), "");
}

TEST_F(Connection, SendReportsNotOpenWhenClosedOrTheFarEndHasGone) {
    EXPECT_EQ(connection.Send("x"), COMM_NOT_OPEN);
    PtyPair pair;
    ASSERT_TRUE(connection.Open(pair.PortName(), 9600));
    EXPECT_EQ(connection.Send(ByteString("\0\x1b@", 3)), COMM_OK);
    EXPECT_EQ(pair.Read(3, 1s), ByteString("\0\x1b@", 3));

    pair.CloseMaster();
    EXPECT_EQ(connection.Send("lost"), COMM_NOT_OPEN); // the write itself fails: the line is gone
    EXPECT_FALSE(connection.IsOpen()) << "a hung-up line ends the connection and releases the port";
    EXPECT_TRUE(connection.HungUp());
    EXPECT_EQ(connection.Send("lost"), COMM_NOT_OPEN);
    connection.Close();
    EXPECT_FALSE(connection.IsOpen());
    connection.Close(); // twice: nothing happens
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.Send("x"), COMM_NOT_OPEN);
}

TEST_F(Connection, FailedOpenKeepsTheReasonAndLeavesTheConnectionClosed) {
    EXPECT_FALSE(connection.Open("vyl-no-such-port", 9600));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.LastOpenError().Text, std::strerror(ENOENT));

    PtyPair pair;
    TComPort holder; // another program holds the port
    holder.SetDeviceName(pair.PortName());
    holder.Open();
    EXPECT_FALSE(connection.Open(pair.PortName(), 9600));
    EXPECT_EQ(connection.LastOpenError().Text, std::strerror(EBUSY));
    holder.Close();
    EXPECT_TRUE(connection.Open(pair.PortName(), 9600));
    EXPECT_EQ(connection.LastOpenError().Text, "");
}

TEST_F(Connection, OpenOnAnOpenConnectionReleasesTheOldPort) {
    PtyPair first;
    PtyPair second;
    ASSERT_TRUE(connection.Open(first.PortName(), 9600));
    ASSERT_TRUE(connection.Open(second.PortName(), 19200));
    EXPECT_TRUE(connection.IsOpen());
    int excl = -1;
    ioctl(first.SlaveFd(), TIOCGEXCL, &excl);
    EXPECT_EQ(excl, 0) << "the first port is still held";
    TComPort other;
    other.SetDeviceName(first.PortName());
    EXPECT_NO_THROW(other.Open());

    ASSERT_EQ(connection.Send("B"), COMM_OK);
    EXPECT_EQ(second.Read(1, 1s), "B");
    EXPECT_EQ(first.Read(1, 100ms), "");
    EXPECT_EQ(second.SlaveSpeed(), 19200u);
}

TEST_F(Connection, RepeatedOpenCloseLeaksNoThreadsOrDescriptors) {
    PtyPair pair;
    // Warm up: Qt creates its own helpers on first use.
    ASSERT_TRUE(connection.Open(pair.PortName(), 9600));
    connection.Close();
    Pump(50ms);
    const std::size_t fds = OpenFdCount();
    const std::size_t threads = ThreadCount();
    for (int n = 0; n < 200; ++n) {
        ASSERT_TRUE(connection.Open(pair.PortName(), 9600)) << connection.LastOpenError().Text;
        // Some cycles close while an event is being handed over, some with bytes unread.
        if (n % 3 == 0)
            pair.Write("ping");
        if (n % 2 == 0)
            QCoreApplication::processEvents();
        connection.Close();
    }
    const auto pump = [] { Pump(10ms); };
    EXPECT_EQ(WaitForThreadCount(threads, 3s, pump), threads);
    EXPECT_EQ(OpenFdCount(), fds);
}

TEST_F(Connection, CloseWhileBytesKeepArrivingDoesNotDeadlock) {
    PtyPair pair;
    std::atomic<bool> stop{false};
    std::thread flood([&] {
        while (!stop) {
            try {
                pair.Write("0123456789");
            } catch (const std::exception&) {
            }
            std::this_thread::sleep_for(200us);
            char sink[4096];
            while (read(pair.MasterFd(), sink, sizeof sink) > 0) {
            }
        }
    });
    // Counted with the flood running: a sanitizer's runtime starts a thread of its own with
    // the first thread a program creates.
    const std::size_t threads = ThreadCount() - 1;
    for (int n = 0; n < 60; ++n) {
        ASSERT_TRUE(connection.Open(pair.PortName(), 9600)) << connection.LastOpenError().Text;
        Pump(std::chrono::milliseconds(n % 5));
        EXPECT_EQ(connection.Send("frame"), COMM_OK);
        connection.Close();
    }
    stop = true;
    flood.join();
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(WaitForThreadCount(threads, 3s, [] { Pump(10ms); }), threads);
}
