// SPDX-License-Identifier: Apache-2.0
// The request/response exchange against a scripted far end on its own thread.
#include "LinkTestUtil.h"
#include "PtyPair.h"
#include "untCommDefault.h"
#include "untLineSpeeds.h"

#include <QThread>

#include <QTimer>
#include <termios.h>

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Plays the display: reads the request, then answers as told.
class FarEnd {
public:
    FarEnd(PtyPair& pair, std::size_t requestLength, std::function<void(PtyPair&)> answer)
        : thread_([&pair, requestLength, answer = std::move(answer), this] {
              request_ = pair.Read(requestLength, 3s);
              answer(pair);
          }) {}
    ~FarEnd() {
        if (thread_.joinable())
            thread_.join();
    }
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;
    // The request as it arrived; valid once the far end has answered (join first).
    const ByteString& Request() {
        if (thread_.joinable())
            thread_.join();
        return request_;
    }

private:
    ByteString request_;
    std::thread thread_;
};

struct Exchange : testing::Test {
    PtyPair pair;
    TCommConnection connection;
    void SetUp() override {
        ASSERT_TRUE(connection.Open(pair.PortName(), 115200)) << connection.LastOpenError().Text;
    }
};

// Runs `work` on the thread `context` lives on. The posting thread holds a lock while Qt builds
// and queues the call, and the call takes it before it touches what came with it: that is the
// ordering a thread sanitizer can see.
std::mutex gHandOff;
void HandOff(QObject* context, std::function<void()> work) {
    const std::lock_guard<std::mutex> held(gHandOff);
    QMetaObject::invokeMethod(context, [work = std::move(work)] {
        { const std::lock_guard<std::mutex> taken(gHandOff); }
        work();
    });
}

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace

TEST(ExchangeClosed, NotOpenLeavesReplyAndLengthUntouched) {
    TCommConnection connection;
    ByteString reply = "keep";
    int length = 42;
    EXPECT_EQ(connection.Query("req", reply, length, false, 0), COMM_NOT_OPEN);
    EXPECT_EQ(reply, "keep");
    EXPECT_EQ(length, 42);
}

TEST_F(Exchange, LengthModeReturnsALongerReplyWhole) {
    const ByteString request("\x02\x07\x12\0\xff", 5);
    const ByteString answer("\x02\x07\x12\0\xff\0extra", 11);
    FarEnd far(pair, request.size(), [&](PtyPair& p) { p.Write(answer); });
    connection.SetQueryTimeout(3000);
    ByteString reply;
    int length = static_cast<int>(request.size());
    EXPECT_EQ(connection.Query(request, reply, length, false, 0), COMM_OK);
    EXPECT_EQ(reply, answer);
    EXPECT_EQ(length, 11);
    EXPECT_EQ(far.Request(), request);
}

TEST_F(Exchange, TerminatorModeKeepsBytesAfterTheTerminator) {
    const ByteString answer("{\"a\":1}\0tail", 12);
    FarEnd far(pair, 4, [&](PtyPair& p) {
        p.Write("{\"a\"");
        std::this_thread::sleep_for(50ms); // the reply comes in two deliveries
        p.Write(answer.substr(4));
    });
    connection.SetQueryTimeout(3000);
    ByteString reply;
    int length = 1; // ignored in terminator mode
    EXPECT_EQ(connection.Query(ByteString("\x02\x07\x16\x05", 4), reply, length, true, 0x00),
              COMM_OK);
    EXPECT_EQ(reply, answer);
    EXPECT_EQ(length, 12);
}

TEST_F(Exchange, NoAnswerTimesOutWithWhatArrived) {
    connection.SetQueryTimeout(500);
    ByteString reply = "old";
    int length = 35;
    auto start = Clock::now();
    EXPECT_EQ(connection.Query("hello", reply, length, false, 0), COMM_TIMEOUT);
    const auto waited = MsSince(start);
    EXPECT_GT(waited, 500);
    EXPECT_LT(waited, 2500);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(length, 0);
    EXPECT_EQ(pair.Read(5, 1s), "hello");

    // Part of the reply: returned with code 3.
    FarEnd far(pair, 3, [](PtyPair& p) { p.Write(ByteString("\x02\0\x07", 3)); });
    length = 35;
    start = Clock::now();
    EXPECT_EQ(connection.Query("abc", reply, length, false, 0), COMM_TIMEOUT);
    EXPECT_GT(MsSince(start), 500);
    EXPECT_EQ(reply, ByteString("\x02\0\x07", 3));
    EXPECT_EQ(length, 3);
}

TEST_F(Exchange, ReplyLimitsEndASilentOrStalledReplyOnly) {
    const ByteString request("\x02\x07\x16\x05", 4);
    struct TCase {
        const char* Name;
        std::function<void(PtyPair&)> Answer;
        int Code;
        ByteString Reply;
        bool Early; // ended long before the reply time-out
    };
    const std::vector<TCase> cases = {
        {"silent", [](PtyPair&) {}, COMM_TIMEOUT, "", true},
        {"stalled", [](PtyPair& p) { p.Write("{\"a\""); }, COMM_TIMEOUT, "{\"a\"", true},
        // Longer than the first-byte limit in all, but never quiet for the gap.
        {"slow and steady",
         [](PtyPair& p) {
             for (char c : std::string("{\"abcdefghijk\"}")) {
                 p.Write(ByteString(1, c));
                 std::this_thread::sleep_for(100ms);
             }
             p.Write(ByteString(1, '\0'));
         },
         COMM_OK, ByteString("{\"abcdefghijk\"}\0", 16), false},
    };
    connection.SetReplyLimits(1000, 1000);
    connection.SetQueryTimeout(8000);
    for (const TCase& c : cases) {
        FarEnd far(pair, request.size(), c.Answer);
        ByteString reply;
        int length = 0;
        const auto start = Clock::now();
        EXPECT_EQ(connection.Query(request, reply, length, true, 0), c.Code) << c.Name;
        EXPECT_EQ(reply, c.Reply) << c.Name;
        if (c.Early) {
            EXPECT_LT(MsSince(start), 5000) << c.Name;
        }
        EXPECT_GE(MsSince(start), 1000) << c.Name;
        EXPECT_EQ(far.Request(), request) << c.Name;
    }
    // Off again: the reply time-out alone.
    connection.SetReplyLimits(0, 0);
    connection.SetQueryTimeout(1500);
    ByteString reply;
    int length = 0;
    const auto start = Clock::now();
    EXPECT_EQ(connection.Query(request, reply, length, true, 0), COMM_TIMEOUT);
    EXPECT_GT(MsSince(start), 1500);
}

TEST_F(Exchange, BytesQueuedBeforeTheRequestAreDropped) {
    pair.Write("stale bytes");
    PumpUntil([] { return false; }, 100ms); // delivered while no exchange runs: left queued
    FarEnd far(pair, 3, [](PtyPair& p) { p.Write("OK!"); });
    connection.SetQueryTimeout(3000);
    ByteString reply;
    int length = 3;
    EXPECT_EQ(connection.Query("req", reply, length, false, 0), COMM_OK);
    EXPECT_EQ(reply, "OK!");
}

TEST_F(Exchange, SecondExchangeDuringTheWaitIsRefusedAndSendsNothing) {
    int nestedResult = -1;
    ByteString nestedReply = "untouched";
    int nestedLength = 9;
    QTimer::singleShot(50, [&] {
        nestedResult = connection.Query("NESTED", nestedReply, nestedLength, false, 0);
    });
    FarEnd far(pair, 5, [](PtyPair& p) {
        std::this_thread::sleep_for(300ms);
        p.Write("12345");
    });
    connection.SetQueryTimeout(3000);
    ByteString reply;
    int length = 5;
    EXPECT_EQ(connection.Query("first", reply, length, false, 0), COMM_OK);
    EXPECT_EQ(reply, "12345");
    EXPECT_EQ(nestedResult, COMM_BUSY);
    EXPECT_EQ(nestedReply, "untouched");
    EXPECT_EQ(nestedLength, 9);
    EXPECT_EQ(far.Request(), "first");
    EXPECT_EQ(pair.ReadUntilQuiet(100ms), "") << "the refused exchange sent its request";
}

TEST_F(Exchange, FarEndHangingUpDuringTheWaitEndsCleanly) {
    FarEnd far(pair, 3, [](PtyPair& p) {
        p.Write("x");
        std::this_thread::sleep_for(50ms);
        p.CloseMaster();
    });
    connection.SetQueryTimeout(10000);
    ByteString reply = "untouched";
    int length = 10;
    const auto start = std::chrono::steady_clock::now();
    // Ends at the hang-up, not at the time-out, with the port released.
    EXPECT_EQ(connection.Query("req", reply, length, false, 0), COMM_NOT_OPEN);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(reply, "untouched");
    EXPECT_EQ(length, 10);
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_TRUE(connection.HungUp());
    EXPECT_EQ(connection.Send("after"), COMM_NOT_OPEN);
}

TEST(MessageWaitTest, DeliversQueuedWorkAndSleepsTheGivenTime) {
    bool ran = false;
    QTimer::singleShot(20, [&] { ran = true; });
    const auto start = Clock::now();
    MessageWait(150);
    const auto waited = MsSince(start);
    EXPECT_TRUE(ran);
    EXPECT_GE(waited, 149);
    EXPECT_LT(waited, 1500);
}

TEST(ToBaudRateTest, ListedRatesHaveTheirMemberOthersAreCustom) {
    EXPECT_EQ(ToBaudRate(9600), TBaudRate::br9600);
    EXPECT_EQ(ToBaudRate(14400), TBaudRate::br14400);
    EXPECT_EQ(ToBaudRate(256000), TBaudRate::br256000);
    EXPECT_EQ(ToBaudRate(1800), TBaudRate::brCustom);
    EXPECT_EQ(ToBaudRate(1500000), TBaudRate::brCustom);
    EXPECT_EQ(BaudRateValue(TBaudRate::br134_5, 0), 134);
    EXPECT_EQ(BaudRateValue(TBaudRate::br256000, 0), 256000);
    EXPECT_EQ(BaudRateValue(TBaudRate::brCustom, 1800), 1800);
    // The one table of line speeds is in member order, and every rate it maps is its own.
    for (std::size_t i = 0; i < LineSpeeds.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(LineSpeeds[i].Member), i);
        if (LineSpeeds[i].FromRate) {
            EXPECT_EQ(ToBaudRate(LineSpeeds[i].Rate), LineSpeeds[i].Member);
        }
    }
    EXPECT_EQ(TermiosSpeedOfRate(1800), B1800);
    EXPECT_EQ(TermiosSpeedOfRate(14400), 0u);
}

TEST(ConnectionThreads, AWaitEndsAtOnceWhenItsThreadQuitsOrItIsCancelled) {
    // Each connection lives on the thread that opened it; two at once on two threads.
    PtyPair first;
    PtyPair second;
    struct TRun {
        bool Waiting = false;
        bool Ended = false;
        bool Cancelled = false;
        std::chrono::steady_clock::duration Took{};
    };
    // The runs report through a mutex, and each call handed to a thread passes one: the
    // ordering Qt's event queue gives is invisible to a thread sanitizer.
    std::mutex reports;
    TRun byQuit;
    TRun byCancel;
    QThread quitting;
    QThread cancelling;
    QObject quitContext;
    QObject cancelContext;
    quitContext.moveToThread(&quitting);
    cancelContext.moveToThread(&cancelling);
    TCommConnection* cancelled = nullptr; // the cancelling thread's own
    const auto waitOn = [&reports](PtyPair& pty, TRun& run, TCommConnection** out) {
        TCommConnection connection;
        if (out != nullptr)
            *out = &connection;
        EXPECT_TRUE(connection.Open(pty.PortName(), 9600));
        {
            const std::lock_guard<std::mutex> held(reports);
            run.Waiting = true;
        }
        const auto start = std::chrono::steady_clock::now();
        const bool ended = !connection.Wait(10000);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(connection.IsOpen());
        if (out != nullptr)
            *out = nullptr;
        const std::lock_guard<std::mutex> held(reports);
        run.Ended = ended;
        run.Took = took;
        run.Cancelled = connection.Cancelled();
    };
    quitting.start();
    cancelling.start();
    HandOff(&quitContext, [&] { waitOn(first, byQuit, nullptr); });
    HandOff(&cancelContext, [&] { waitOn(second, byCancel, &cancelled); });
    // Both wait before one thread is told to quit and the other's wait is cancelled (a quit
    // that came before the call had run would drop the call).
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    for (bool waiting = false; !waiting && std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(5ms);
        const std::lock_guard<std::mutex> held(reports);
        waiting = byQuit.Waiting && byCancel.Waiting;
    }
    quitting.quit();
    HandOff(&cancelContext, [&] {
        if (cancelled != nullptr)
            cancelled->Cancel();
    });
    ASSERT_TRUE(quitting.wait(30000));
    cancelling.quit();
    ASSERT_TRUE(cancelling.wait(30000));
    const std::lock_guard<std::mutex> held(reports);
    for (const TRun* run : {&byQuit, &byCancel}) {
        EXPECT_TRUE(run->Waiting);
        EXPECT_TRUE(run->Ended);
        EXPECT_TRUE(run->Cancelled);
        EXPECT_LT(run->Took, 5s);
    }
}
