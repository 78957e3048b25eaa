// SPDX-License-Identifier: Apache-2.0
// The serial port component over a pty pair: line settings as the far end sees them,
// exclusive use, errors, and the event thread's receive path.
#include "LinkTestUtil.h"
#include "ProcessCounts.h"
#include "PtyPair.h"
#include "TComPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

using namespace std::chrono_literals;

namespace {

// The settings the connection gives every port.
void ConfigureLikeConnection(TComPort& port, const std::string& name, int rate) {
    port.SetDeviceName(name);
    port.SetCustomBaudRate(rate);
    port.SetStopBits(TStopBits::sb1);
    port.SetParity(TParity::paNone);
    port.SetDataBits(TDataBits::db8);
    TFlowControl flow;
    flow.DTR = TDTRControl::dcDisable;
    flow.RTS = TRTSControl::rcDisable;
    flow.XOnXOff = TXOnXOffControl::xcDisable;
    port.SetFlowControl(flow);
}

// Leaves the slave as unlike the wanted settings as a tty gets.
void MessUpSlave(const PtyPair& pair) {
    termios t{};
    tcgetattr(pair.SlaveFd(), &t);
    t.c_iflag |= IXON | IXOFF | ICRNL | INPCK | ISTRIP;
    t.c_oflag |= OPOST | ONLCR;
    t.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    t.c_cflag &= ~static_cast<tcflag_t>(CLOCAL);
    cfsetspeed(&t, B300);
    tcsetattr(pair.SlaveFd(), TCSANOW, &t);
}

int ExclusiveFlag(int fd) {
    int excl = -1;
    ioctl(fd, TIOCGEXCL, &excl);
    return excl;
}

} // namespace

TEST(TComPort, OpenAppliesRaw8N1AtTheExactRate) {
    for (const int rate : {9600, 115200, 1800, 14400, 1500000}) {
        SCOPED_TRACE(rate);
        PtyPair pair;
        MessUpSlave(pair);
        TComPort port;
        ConfigureLikeConnection(port, pair.PortName(), rate);
        port.Open();
        ASSERT_TRUE(port.Active());

        const termios t = pair.SlaveTermios();
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INPCK | ISTRIP), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(pair.SlaveSpeed(), static_cast<unsigned>(rate));
        EXPECT_EQ(ExclusiveFlag(pair.SlaveFd()), 1);

        // A line setting changed while open reaches the driver at once.
        port.SetCustomBaudRate(57600);
        EXPECT_EQ(pair.SlaveSpeed(), 57600u);
        port.Close();
        EXPECT_FALSE(port.Active());
        EXPECT_EQ(ExclusiveFlag(pair.SlaveFd()), 0);
    }
}

TEST(TComPort, FailedOpenRaisesTheOsErrorAndLeavesNothingOpen) {
    const std::size_t fds = OpenFdCount();
    const std::size_t threads = ThreadCount();
    const auto openError = [](const std::string& name) {
        TComPort port;
        port.SetDeviceName(name);
        port.OnRxChar = [](TCustomComPort&) {};
        try {
            port.Open();
        } catch (const EComError& e) {
            EXPECT_FALSE(port.Active());
            return std::make_pair(std::string(e.what()), e.ErrorCode);
        }
        ADD_FAILURE() << name << " opened";
        return std::make_pair(std::string(), 0);
    };
    EXPECT_EQ(openError("vyl-no-such-port"),
              std::make_pair(std::string(std::strerror(ENOENT)), ENOENT));
    EXPECT_EQ(openError("/dev/pts"), std::make_pair(std::string(std::strerror(EISDIR)), EISDIR));
    // Opens, then is no terminal: the descriptor must be released again.
    EXPECT_EQ(openError("/dev/null"), std::make_pair(std::string(std::strerror(ENOTTY)), ENOTTY));
    EXPECT_EQ(OpenFdCount(), fds);
    EXPECT_EQ(ThreadCount(), threads);
}

TEST(TComPort, ClosedPortOperationsRaiseAndOpenPortRefusesRenaming) {
    TComPort port;
    const auto expectClosedError = [](auto&& operation) {
        try {
            operation();
            ADD_FAILURE() << "no exception";
        } catch (const EComError& e) {
            EXPECT_STREQ(e.what(), "Can't perform this operation on a closed port");
            EXPECT_EQ(e.ErrorCode, 0);
        }
    };
    expectClosedError([&] { port.WriteAnsiString("x"); });
    expectClosedError([&] { (void)port.ReadAnsiString(); });
    expectClosedError([&] { port.ClearLineErrors(); });
    expectClosedError([&] { port.CheckLineErrors(); });
    port.ClearInput(); // no effect on a closed port
    port.ClearOutput();

    PtyPair pair;
    ConfigureLikeConnection(port, pair.PortName(), 9600);
    port.Open();
    try {
        port.SetDeviceName("ttyS0");
        ADD_FAILURE() << "renamed an open port";
    } catch (const EComError& e) {
        EXPECT_STREQ(e.what(), "Can't perform this operation on an open port");
    }
    EXPECT_EQ(port.DeviceName(), pair.PortName());
    EXPECT_EQ(port.ReadAnsiString(), ""); // nothing queued
}

TEST(TComPort, HeldPortIsRefusedAndReleasedForOrdinaryUsers) {
    PtyPair pair;
    ASSERT_EQ(fchmod(pair.SlaveFd(), 0666), 0);
    TComPort first;
    ConfigureLikeConnection(first, pair.PortName(), 9600);
    first.Open();

    TComPort second;
    ConfigureLikeConnection(second, pair.PortName(), 9600);
    try {
        second.Open();
        ADD_FAILURE() << "second open of a held port succeeded";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode, EBUSY);
        EXPECT_EQ(std::string(e.what()), std::strerror(EBUSY));
    }
    EXPECT_FALSE(second.Active());
    EXPECT_NE(OpenAsNobody(pair.SlavePath()), 0) << "an ordinary user got into a held port";

    first.Close();
    EXPECT_EQ(ExclusiveFlag(pair.SlaveFd()), 0);
    EXPECT_EQ(OpenAsNobody(pair.SlavePath()), 0);
    second.Open();
    EXPECT_TRUE(second.Active());
}

TEST(TComPort, OneReceiveEventPerArrivalWhileBytesStayUnread) {
    PtyPair pair;
    TComPort port;
    ConfigureLikeConnection(port, pair.PortName(), 9600);
    int events = 0;
    port.OnRxChar = [&](TCustomComPort&) { ++events; }; // reads nothing
    port.Open();

    pair.Write("abc");
    ASSERT_TRUE(PumpUntil([&] { return events > 0; }, 2s));
    PumpUntil([] { return false; }, 300ms);
    EXPECT_EQ(events, 1) << "unread bytes made the event thread fire again";
    EXPECT_EQ(port.InputCount(), 3);

    pair.Write("de");
    ASSERT_TRUE(PumpUntil([&] { return events > 1; }, 2s));
    PumpUntil([] { return false; }, 300ms);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(port.ReadAnsiString(), "abcde");
    EXPECT_EQ(port.InputCount(), 0);
}

TEST(TComPort, HandlerErrorsAreReportedAndCloseFromTheHandlerIsSafe) {
    const std::size_t threads = ThreadCount();
    std::string reported;
    SetComExceptionReport([&](const std::exception& e) { reported = e.what(); });
    {
        PtyPair pair;
        TComPort port;
        ConfigureLikeConnection(port, pair.PortName(), 9600);
        int calls = 0;
        port.OnRxChar = [&](TCustomComPort& sender) {
            ++calls;
            if (calls == 1)
                throw EComError("handler failed", 7);
            sender.Close(); // the event thread is blocked handing this very event over
        };
        port.Open();
        pair.Write("1");
        ASSERT_TRUE(PumpUntil([&] { return calls == 1; }, 2s));
        EXPECT_EQ(reported, "handler failed");
        pair.Write("2");
        ASSERT_TRUE(PumpUntil([&] { return calls == 2; }, 2s));
        EXPECT_FALSE(port.Active());
        pair.Write("3"); // nobody listens any more
        PumpUntil([] { return false; }, 100ms);
        EXPECT_EQ(calls, 2);
    }
    SetComExceptionReport(nullptr);
    EXPECT_EQ(WaitForThreadCount(threads, 2s, [] { PumpUntil([] { return false; }, 10ms); }),
              threads);
}

TEST(TComPort, HangupClosesThePortSoTheNextWriteRaises) {
    PtyPair pair;
    TComPort port;
    ConfigureLikeConnection(port, pair.PortName(), 9600);
    port.OnRxChar = [](TCustomComPort& sender) { (void)sender.ReadAnsiString(); };
    port.Open();
    pair.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !port.Active(); }, 2s));
    try {
        port.WriteAnsiString("x");
        ADD_FAILURE() << "write on a port whose device has gone";
    } catch (const EComError& e) {
        EXPECT_STREQ(e.what(), "Can't perform this operation on a closed port");
    }
}

TEST(TComPort, PortsAreWatchedInTheirOwnThreadsEventLoopWithoutAThreadOfTheirOwn) {
    const std::size_t threads = ThreadCount();
    PtyPair pair;
    TComPort port;
    ConfigureLikeConnection(port, pair.PortName(), 9600);
    int events = 0;
    port.OnRxChar = [&](TCustomComPort& sender) {
        ++events;
        (void)sender.ReadAnsiString();
    };
    port.Open();
    EXPECT_EQ(ThreadCount(), threads);
    pair.Write("a");
    EXPECT_TRUE(PumpUntil([&] { return events == 1; }, 2s));
    port.Close();
    pair.Write("b");
    PumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(events, 1) << "a closed port delivers nothing";
}
