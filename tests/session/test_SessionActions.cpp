// SPDX-License-Identifier: Apache-2.0
// Every device action through the session against the virtual display: the frames on the wire
// in order, the handshake first, the pauses, the messages and the records that come back.

#include "SessionTestSupport.h"
#include "untTestPatterns.h"

#include <QTimer>

using K = TMessageKind;

namespace {

// A display that starts from known, non-default settings: UTC/S (3), Russia (12), CP866 (17),
// brightness 2, and refuses setting frames that no handshake preceded.
const std::vector<std::string> KnownDisplay = {
    "--model",    "RV310", "--firmware",   "7", "--command",          "3", "--charset", "12",
    "--codepage", "17",    "--brightness", "2", "--require-handshake"};

void Target(TDisplaySession& session, const VirtualDisplayProcess& vd, int rate = 9600) {
    session.SetTarget({vd.PortName(), rate});
}

} // namespace

TEST(SessionActions, SettingFramesFollowTheHandshakeAndReadBack) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDisplaySession session;
    Target(session, vd);

    struct TCase {
        const char* Name;
        std::function<bool()> Start;
        std::vector<TMessageKind> Messages;
    };
    const std::vector<TCase> cases = {
        {"command", [&] { return session.SetCommand(3); }, {K::Done}},
        {"brightness", [&] { return session.SetBrightness(2); }, {K::Done}},
        {"code page", [&] { return session.SetCodePage(12, 17); }, {K::Done}},
        {"restart", [&] { return session.Restart(); }, {}},
        {"clear", [&] { return session.Clear(); }, {}},
        {"text",
         [&] {
             return session.DisplayText(u"AB\u00e9", 437, {{2, 5}});
         },
         {}},
        {"pattern", [&] { return session.ShowTestPattern(204); }, {}},
    };
    std::size_t closed = 0;
    for (const TCase& c : cases) {
        const TActionResult result = Finish(session, c.Start());
        EXPECT_EQ(Kinds(result), c.Messages) << c.Name;
        EXPECT_TRUE(result.Opened && result.Sent) << c.Name;
        EXPECT_FALSE(result.Disconnected || result.Cancelled) << c.Name;
        // The display tells connections apart only by the closes it has seen: a frame written
        // by the next connection before it woke up would count with this one (a pty carries
        // no boundary between them).
        EXPECT_EQ(vd.WaitForEvents("CLOSE", ++closed).size(), closed) << c.Name;
    }
    const auto connections = Connections(vd, cases.size());
    EXPECT_EQ(connections, (std::vector<Frames>{
                               {"HS", "02 43 33"},
                               {"HS", "1F 58 02"},
                               {"HS", "02 05 0C", "02 06 11"},
                               {"02 1D AA 55"},
                               {"0C"},
                               {"1F 24 05 02 41 42 82"},
                               {"0B", "E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF 20 20 "
                                      "20 20 F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF 20 "
                                      "20 20 20"}}));
    // The display's moment to store the character set before the code page comes.
    EXPECT_GE(FrameTime(vd, "02 06 11") - FrameTime(vd, "02 05 0C"), 0.05);

    // What the display now holds comes back, applied over the record given.
    TSystemInfo current;
    current.product_class = "kept";
    const TActionResult read = Finish(session, session.GetSettings(current));
    EXPECT_EQ(Kinds(read), std::vector<TMessageKind>{K::Summary});
    ASSERT_TRUE(read.Settings && read.SettingsComplete && read.Summary);
    EXPECT_TRUE(read.Settings->jpos);
    EXPECT_EQ(read.Settings->Comm_No, 3);
    EXPECT_EQ(read.Settings->back_light, 2);
    EXPECT_EQ(read.Settings->Char_No, 12);
    EXPECT_EQ(read.Settings->Expand_Char_No, 17);
    EXPECT_EQ(read.Summary->CommandSet, "UTC/S");
    EXPECT_EQ(read.Summary->InterChar, "Russia");
    EXPECT_EQ(read.Summary->CodePage, u"CP866");
    EXPECT_EQ(read.Summary->BaudRate, "9600");
    // The document as the display sent it, without its 00.
    ASSERT_FALSE(read.SettingsReply.empty());
    EXPECT_EQ(read.SettingsReply.front(), '{');
    EXPECT_EQ(read.SettingsReply.back(), '}');
    EXPECT_EQ(Connections(vd, cases.size() + 1).back(), (Frames{"HSJ", "02 07 16 05"}));
}

TEST(SessionActions, SpeedChangeMovesTheNextConnection) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDisplaySession session;
    Target(session, vd);

    // The session follows the display to its new speed by itself.
    const TActionResult changed = Finish(session, session.SetBaudRate(1));
    EXPECT_EQ(Kinds(changed), std::vector<TMessageKind>{K::Done});
    EXPECT_EQ(changed.NewBaudRate, 19200);
    EXPECT_EQ(session.Target().PortName, vd.PortName());
    EXPECT_EQ(session.Target().BaudRate, 19200);

    const TActionResult read = Finish(session, session.GetSettings({}));
    ASSERT_TRUE(read.Summary) << (read.Messages.empty() ? "" : read.Messages[0].Text);
    EXPECT_EQ(read.Summary->BaudRate, "19200");
    EXPECT_EQ(vd.TraceEvents("SPEED"), std::vector<std::string>{"19200"});

    // With no speed of the table nothing is sent after the handshake and nothing is followed.
    const TActionResult none = Finish(session, session.SetBaudRate(255));
    EXPECT_EQ(Kinds(none), std::vector<TMessageKind>{K::Fail});
    EXPECT_FALSE(none.NewBaudRate);
    EXPECT_EQ(session.Target().BaudRate, 19200);
    EXPECT_EQ(Connections(vd, 3),
              (std::vector<Frames>{{"HS", "02 42 31"}, {"HSJ", "02 07 16 05"}, {"HS"}}));

    // A search that finds the display moves the target to where it found it; one that finds
    // nothing leaves it.
    session.SetTarget({"VylNoSuchPort", 9600});
    TSearchRequest nowhere;
    nowhere.Ports = {"VylNoSuchPort"};
    EXPECT_EQ(Finish(session, session.FindDisplay(nowhere)).Search->Found(), nullptr);
    EXPECT_EQ(session.Target().PortName, "VylNoSuchPort");
    TSearchRequest here;
    here.Ports = {vd.PortName()};
    const TActionResult found = Finish(session, session.FindDisplay(here));
    ASSERT_TRUE(found.Search && found.Search->Found());
    EXPECT_EQ(session.Target().PortName, vd.PortName());
    EXPECT_EQ(session.Target().BaudRate, 19200);
}

TEST(SessionActions, WelcomeLinesGoOutWithTheirPauses) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDisplaySession session;
    Target(session, vd);
    // A 00 ends its line; line 2 does not scroll.
    const TActionResult result =
        Finish(session, session.SetWelcome("ABC", ByteString("D\0E", 3), false));
    EXPECT_EQ(Kinds(result), std::vector<TMessageKind>{K::Done});
    EXPECT_EQ(Connections(vd, 1), (std::vector<Frames>{{"HS", "02 07 16 06 41 42 43 00",
                                                        "02 07 16 07 44 00", "02 07 16 09 06"}}));
    const double first = FrameTime(vd, "02 07 16 06");
    const double second = FrameTime(vd, "02 07 16 07");
    const double scroll = FrameTime(vd, "02 07 16 09");
    // The pauses, with room for the display's own delays in logging.
    EXPECT_GE(second - first, 1.3);
    EXPECT_GE(scroll - second, 1.3);
    double closed = 0;
    for (const TTraceLine& line : TraceLines(vd))
        if (line.Event == "CLOSE")
            closed = line.Seconds();
    EXPECT_GE(closed - scroll, 0.3);
}

TEST(SessionActions, FailedHandshakeWaitsForContinueThenSends) {
    VirtualDisplayProcess vd(VirtualDisplayProgram, {"--no-answer"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    TDisplaySession session;
    Target(session, vd);
    std::vector<TMessageKind> reported;
    QObject::connect(&session, &TDisplaySession::MessageReported,
                     [&](const TActionMessage& m) { reported.push_back(m.Kind); });
    // The user takes a while to close the box: nothing may go out meanwhile.
    std::size_t framesWhileWaiting = 99;
    double cpuWhileWaiting = 99;
    QObject::connect(&session, &TDisplaySession::MessageReported, [&](const TActionMessage& m) {
        if (m.Kind != K::HandShakeFailed)
            return;
        const double cpu = CpuSeconds();
        QTimer::singleShot(300, &session, [&, cpu] {
            cpuWhileWaiting = CpuSeconds() - cpu;
            framesWhileWaiting = vd.TraceEvents("RX").size();
            session.Continue();
        });
    });
    const TActionResult result = Finish(session, session.SetCommand(255));
    EXPECT_EQ(framesWhileWaiting, 1u);
    EXPECT_LT(cpuWhileWaiting, 0.15) << "the wait for the user must sleep, not spin";
    EXPECT_EQ(Kinds(result), (std::vector<TMessageKind>{K::HandShakeFailed, K::Done}));
    EXPECT_EQ(reported, Kinds(result));
    EXPECT_NE(result.HandShake, 0);
    EXPECT_EQ(Connections(vd, 1), (std::vector<Frames>{{"HS", "02 43 FF"}}));
}
