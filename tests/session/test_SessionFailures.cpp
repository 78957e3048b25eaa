// SPDX-License-Identifier: Apache-2.0
// The session when things go wrong: ports that cannot be opened, a display that vanishes in the
// middle of an action, replies that are no settings document, an action cancelled while it waits.

#include "PtyPair.h"
#include "ScriptedFarEnd.h"
#include "SessionTestSupport.h"

#include <QTimer>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

using namespace std::chrono_literals;
using K = TMessageKind;
using Clock = std::chrono::steady_clock;

namespace {

using TStart = std::function<bool(TDisplaySession&)>;

struct TActionCase {
    const char* Name;
    TStart Start;
    std::size_t HandshakeLength; // what the display reads before it vanishes
};

const std::vector<TActionCase> SettingActions = {
    {"command", [](auto& s) { return s.SetCommand(3); }, 35},
    {"speed", [](auto& s) { return s.SetBaudRate(4); }, 35},
    {"brightness", [](auto& s) { return s.SetBrightness(4); }, 35},
    {"welcome", [](auto& s) { return s.SetWelcome("A", "B", true); }, 35},
    {"code page", [](auto& s) { return s.SetCodePage(1, 2); }, 35},
    {"get settings", [](auto& s) { return s.GetSettings({}); }, 35},
};

} // namespace

TEST(SessionFailures, PortsThatCannotBeOpenedAreTypedAndSendNothing) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    const int holder = ::open(vd.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    struct TCase {
        std::string Port;
        TOpenFailure Reason;
        int Errno;
    };
    TDisplaySession session;
    for (const TCase& c : {TCase{"VylNoSuchPort", TOpenFailure::Missing, ENOENT},
                           TCase{"", TOpenFailure::NoPortName, EISDIR},
                           TCase{vd.PortName(), TOpenFailure::Busy, EBUSY}}) {
        for (const TActionCase& action : SettingActions) {
            session.SetTarget({c.Port, 9600});
            const TActionResult result = Finish(session, action.Start(session));
            EXPECT_EQ(Kinds(result), std::vector<TMessageKind>{K::OpenFailed}) << action.Name;
            EXPECT_FALSE(result.Opened);
            EXPECT_EQ(result.OpenFailure, c.Reason) << c.Port;
            EXPECT_EQ(result.OpenErrno, c.Errno) << c.Port;
            EXPECT_EQ(result.OpenError, std::strerror(c.Errno)) << c.Port;
        }
    }
    ::close(holder);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(vd.TraceEvents("RX").empty());
}

// Whenever the display vanishes (before the request's drain, during the wait, or before the
// next frame), the action ends at once with one message, and nothing more goes out.
TEST(SessionFailures, ADisplayThatVanishesEndsTheActionAtOnceWithOneMessage) {
    TDisplaySession session;
    for (const TActionCase& action : SettingActions) {
        for (const auto delay : {0ms, 20ms}) {
            PtyPair pty;
            ScriptedFarEnd vanishing(
                pty, action.HandshakeLength,
                [&pty](const ByteString&) {
                    pty.CloseMaster();
                    return ByteString();
                },
                delay);
            session.SetTarget({pty.PortName(), 9600});
            const auto start = Clock::now();
            const TActionResult result = Finish(session, action.Start(session));
            const auto elapsed = Clock::now() - start;
            EXPECT_EQ(Kinds(result), std::vector<TMessageKind>{K::Disconnected}) << action.Name;
            EXPECT_TRUE(result.Disconnected);
            EXPECT_FALSE(result.Sent);
            EXPECT_FALSE(result.NewBaudRate);
            // Far below the 200 ms, 500 ms and 10 s time-outs it would otherwise wait.
            EXPECT_LT(elapsed, 5s) << action.Name;
        }
    }
}

TEST(SessionFailures, ALineLostBetweenWelcomeFramesSendsNothingMore) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--hangup-after", "2"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDisplaySession session;
    session.SetTarget({vd.PortName(), 9600});
    const TActionResult result = Finish(session, session.SetWelcome("A", "B", false));
    const std::chrono::duration<double> ended = std::chrono::system_clock::now().time_since_epoch();
    EXPECT_EQ(Kinds(result), std::vector<TMessageKind>{K::Disconnected});
    const auto rx = vd.TraceEvents("RX");
    ASSERT_EQ(rx.size(), 2u);
    EXPECT_EQ(rx[1].substr(0, 11), "02 07 16 06");
    // The pause after line 1 ends at the hang-up that followed it, not after its 1.5 s
    // (counted from the frame on the clock of the display's trace, not from the start: the
    // handshake before takes its own time on a loaded machine).
    EXPECT_LT(ended.count() - FrameTime(vd, "02 07 16 06"), 1.0);
}

TEST(SessionFailures, RepliesThatAreNoSettingsDocument) {
    struct TCase {
        ByteString Reply;
        std::vector<TMessageKind> Messages;
        std::string Text;
    };
    const std::vector<TCase> cases = {
        {ByteString("this is not JSON\0", 17), {K::ParseError}, "Parsing failed!"},
        {ByteString("[1, 2]\0", 7), {K::Error}, ""},
        // Applied up to the member that fails; the record comes back as it then stands.
        {ByteString("{\"Comm_No\":5,\"Char_No\":1.5}\0", 29), {K::ParseError}, ""},
        // Bytes that came together with the 00 are not part of the document.
        {ByteString("{\"Comm_No\":5}\0x", 15), {K::Summary}, ""},
    };
    TDisplaySession session;
    for (const TCase& c : cases) {
        PtyPair pty;
        // The JavaPOS handshake goes unanswered; then the settings request gets the reply.
        ScriptedFarEnd display(pty, 35 + 4, [&c](const ByteString&) { return c.Reply; });
        TSystemInfo current;
        current.jpos = true;
        session.SetTarget({pty.PortName(), 9600});
        const TActionResult result = Finish(session, session.GetSettings(current));
        EXPECT_EQ(Kinds(result), c.Messages) << c.Reply;
        if (!c.Text.empty()) {
            EXPECT_EQ(result.Messages.at(0).Text, c.Text);
        }
        ASSERT_TRUE(result.Settings);
        EXPECT_FALSE(result.Settings->jpos);
        if (c.Reply.rfind("{\"Comm_No\":5", 0) == 0) {
            EXPECT_EQ(result.Settings->Comm_No, 5) << c.Reply;
        }
        EXPECT_EQ(display.Request().substr(35), "\x02\x07\x16\x05");
    }
}

TEST(SessionFailures, CancelEndsASilentGetSettingAtOnceWithoutSpinning) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--no-answer"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDisplaySession session;
    session.SetTarget({vd.PortName(), 9600});
    ASSERT_TRUE(session.GetSettings({}));
    // Measured from when the action waits for the reply to its settings request (the JavaPOS
    // handshake came first): opening the port and sending cost time of their own.
    ASSERT_EQ(vd.WaitForEvents("RX", 2).size(), 2u);
    const double cpu = CpuSeconds();
    Clock::time_point cancelled;
    QTimer::singleShot(1000, &session, [&] {
        cancelled = Clock::now();
        session.Cancel();
    });
    const TActionResult result = session.WaitForResult();
    const auto late = Clock::now() - cancelled;
    EXPECT_TRUE(result.Cancelled);
    EXPECT_TRUE(result.Messages.empty());
    EXPECT_LT(late, 100ms);
    // A second of waiting costs next to nothing.
    EXPECT_LT(CpuSeconds() - cpu, 0.25);
    // The port is free again at once.
    const TActionResult next = Finish(session, session.Clear());
    EXPECT_TRUE(next.Opened && next.Sent);
}

TEST(SessionFailures, ASecondActionIsRefusedWhileOneRunsAndTheSessionEndsCleanly) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--no-answer"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    {
        TDisplaySession session;
        session.SetTarget({vd.PortName(), 9600});
        EXPECT_TRUE(session.GetSettings({}));
        EXPECT_FALSE(session.Clear());
        EXPECT_TRUE(session.Busy());
        // Destroyed while the action waits: it is cancelled and the thread ends.
    }
    TDisplaySession session;
    session.SetTarget({vd.PortName(), 9600});
    const TActionResult next = Finish(session, session.Clear());
    EXPECT_TRUE(next.Opened && next.Sent);
}

TEST(SessionFailures, ARequestToEndSendsNoFurtherFrameAndShowsNothingMore) {
    // Asked while the handshake-failure box is open (which then closes, as a box does when the
    // program is told to end), or between the welcome frames.
    struct TCase {
        const char* Name;
        std::vector<std::string> Args;
        TStart Start;
        std::size_t AtRx; // ask once the display heard this many frames; 0: when the box opens
        Frames Sent;
    };
    const TStart welcome = [](auto& s) { return s.SetWelcome("A", "B", true); };
    const std::vector<TCase> cases = {
        {"brightness, box open",
         {"--no-answer"},
         [](auto& s) { return s.SetBrightness(4); },
         0,
         {"HS"}},
        {"welcome, box open", {"--no-answer"}, welcome, 0, {"HS"}},
        {"welcome, after line 1", {}, welcome, 2, {"HS", "02 07 16 06 41 00"}},
    };
    for (const TCase& c : cases) {
        VirtualDisplayProcess vd(VirtualDisplayProgram, c.Args);
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        TDisplaySession session;
        QObject::connect(&session, &TDisplaySession::MessageReported,
                         [&session](const TActionMessage& m) {
                             if (m.Kind != K::HandShakeFailed)
                                 return;
                             session.Cancel();
                             session.Continue();
                         });
        session.SetTarget({vd.PortName(), 9600});
        ASSERT_TRUE(c.Start(session)) << c.Name;
        if (c.AtRx > 0) {
            ASSERT_EQ(vd.WaitForEvents("RX", c.AtRx).size(), c.AtRx) << c.Name;
            session.Cancel();
        }
        const auto asked = Clock::now();
        const TActionResult result = session.WaitForResult();
        EXPECT_LT(Clock::now() - asked, 1s) << c.Name;
        EXPECT_TRUE(result.Cancelled) << c.Name;
        // Nothing after the box that was open: no "Done!", no "Fail!".
        EXPECT_EQ(Kinds(result), c.AtRx > 0 ? std::vector<K>{} : std::vector<K>{K::HandShakeFailed})
            << c.Name;
        vd.WaitForEvents("CLOSE", 1);
        EXPECT_EQ(Connections(vd, 1), std::vector<Frames>{c.Sent}) << c.Name;
    }
}
