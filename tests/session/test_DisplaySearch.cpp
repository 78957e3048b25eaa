// SPDX-License-Identifier: Apache-2.0
// Finding the display against virtual displays: at each of its speeds from any start, on
// several ports at once, never at a wrong speed; what a wrong speed's probes do to a display
// (nothing); and the search as a session action that can be cancelled.

#include "SessionTestSupport.h"
#include "untComm.h"
#include "untDisplaySearch.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Generous limits: a loaded machine must not make a display look silent. (How fast the search
// is with its own limits is the benchmark's business.)
TSearchTiming Patient() {
    TSearchTiming timing;
    timing.FirstByteMs = 400;
    timing.GapMs = 600;
    return timing;
}

std::vector<int> Rates(const TPortSearch& port) {
    std::vector<int> rates;
    for (const TSpeedTry& t : port.Tried)
        rates.push_back(t.BaudRate);
    return rates;
}

std::vector<TSpeedOutcome> Outcomes(const TPortSearch& port) {
    std::vector<TSpeedOutcome> outcomes;
    for (const TSpeedTry& t : port.Tried)
        outcomes.push_back(t.Outcome);
    return outcomes;
}

// Every speed up to the display's silent, the display's confirmed.
std::vector<TSpeedOutcome> SilentUntilFound(std::size_t tried) {
    std::vector<TSpeedOutcome> outcomes(tried, TSpeedOutcome::Silent);
    if (!outcomes.empty())
        outcomes.back() = TSpeedOutcome::Confirmed;
    return outcomes;
}

std::vector<int> OrderUpTo(int first, int found) {
    std::vector<int> order = SearchOrder(first);
    order.erase(std::find(order.begin(), order.end(), found) + 1, order.end());
    return order;
}

std::vector<std::string> VdArgs(int baud, std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"--baud", std::to_string(baud)});
    return more;
}

// The RX events whose frame begins with a command byte.
std::size_t CommandFrames(const VirtualDisplayProcess& vd) {
    std::size_t n = 0;
    for (const std::string& rx : vd.TraceEvents("RX"))
        for (const char* start : {"02", "0B", "0C", "1F"})
            n += rx.rfind(start, 0) == 0 ? 1 : 0;
    return n;
}

} // namespace

TEST(DisplaySearch, FindsTheDisplayAtEachSpeedFromAnyStartAndAtNoOther) {
    struct TCase {
        int Display;
        int First;
    };
    // Each start puts the display's speed late in the order.
    for (const TCase& c : {TCase{9600, 115200}, TCase{19200, 38400}, TCase{38400, 57600},
                           TCase{57600, 115200}, TCase{115200, 9600}, TCase{19200, 19200}}) {
        const std::string model = "RV" + std::to_string(c.Display);
        VirtualDisplayProcess vd(VirtualDisplayProgram,
                                 VdArgs(c.Display, {"--model", model, "--firmware", "7"}));
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        const TPortSearch port = FindDisplaySpeed(vd.PortName(), c.First, Patient());
        const std::string where = std::to_string(c.Display) + " from " + std::to_string(c.First);
        ASSERT_TRUE(port.Found) << where << "\n" << vd.Trace();
        EXPECT_EQ(port.Found->BaudRate, c.Display) << where;
        EXPECT_EQ(port.Found->PortName, vd.PortName()) << where;
        EXPECT_TRUE(port.Found->ByDocument) << where;
        EXPECT_EQ(port.Found->HandShake, TAnsweredHandShake::JavaPos) << where;
        EXPECT_EQ(port.Found->Model, model) << where;
        EXPECT_EQ(port.Found->FirmwareVersion, 7) << where;
        ASSERT_TRUE(port.Found->Settings) << where;
        EXPECT_TRUE(port.Found->Settings->jpos) << where;
        EXPECT_EQ(port.Found->SettingsReply.rfind("{", 0), 0u) << where;
        EXPECT_EQ(Rates(port), OrderUpTo(c.First, c.Display)) << where;
        EXPECT_EQ(Outcomes(port), SilentUntilFound(port.Tried.size())) << where;
        EXPECT_FALSE(port.OpenFailed || port.Disconnected || port.Cancelled) << where;
        // The display answered only at its own speed, and no frame of a wrong speed was taken
        // for a command: the settings request and the JavaPOS handshake, once each.
        EXPECT_EQ(Connections(vd, port.Tried.size()).back(), (Frames{"02 07 16 05", "HSJ"}))
            << where;
        EXPECT_EQ(vd.TraceEvents("TX").size(), 2u) << where;
        EXPECT_EQ(CommandFrames(vd), 2u) << where;
        EXPECT_TRUE(vd.TraceEvents("SPEED").empty()) << where;
    }
}

TEST(DisplaySearch, PortsSideBySideEachWithWhatItHas) {
    VirtualDisplayProcess noJpos(VirtualDisplayProgram,
                                 VdArgs(38400, {"--no-jpos", "--model", "NOJPOS"}));
    VirtualDisplayProcess fast(VirtualDisplayProgram, VdArgs(115200, {"--model", "FAST"}));
    VirtualDisplayProcess silent(VirtualDisplayProgram, VdArgs(9600, {"--no-answer"}));
    VirtualDisplayProcess garbage(VirtualDisplayProgram, VdArgs(19200, {"--garbage"}));
    VirtualDisplayProcess endless(VirtualDisplayProgram, VdArgs(57600, {"--no-terminator"}));
    for (const VirtualDisplayProcess* vd : {&noJpos, &fast, &silent, &garbage, &endless})
        ASSERT_TRUE(vd->Started()) << vd->Stderr();
    const std::string missing = "VylNoSuchPort-" + std::to_string(getpid());

    TSearchRequest request;
    request.Ports = {silent.PortName(), noJpos.PortName(), garbage.PortName(),
                     missing,           fast.PortName(),   endless.PortName()};
    request.FirstRate = 9600;
    request.Timing = Patient();
    const TSearchResult result = FindDisplay(request);
    ASSERT_EQ(result.Ports.size(), request.Ports.size());
    for (std::size_t i = 0; i < request.Ports.size(); ++i)
        EXPECT_EQ(result.Ports[i].PortName, request.Ports[i]);
    EXPECT_FALSE(result.Cancelled);
    const std::vector<int> all = SearchOrder(9600);
    using O = TSpeedOutcome;

    const TPortSearch& s = result.Ports[0];
    EXPECT_FALSE(s.Found);
    EXPECT_EQ(Rates(s), all);
    EXPECT_EQ(Outcomes(s), std::vector<O>(5, O::Silent));

    const TPortSearch& n = result.Ports[1];
    ASSERT_TRUE(n.Found);
    EXPECT_EQ(n.Found->BaudRate, 38400);
    EXPECT_EQ(n.Found->HandShake, TAnsweredHandShake::Standard);
    EXPECT_TRUE(n.Found->ByDocument);
    EXPECT_EQ(n.Found->Model, "NOJPOS");
    EXPECT_FALSE(n.Found->Settings->jpos);
    EXPECT_EQ(Connections(noJpos, n.Tried.size()).back(), (Frames{"02 07 16 05", "HSJ", "HS"}));

    // Something answers at 19200, but nothing it says proves a display.
    const TPortSearch& g = result.Ports[2];
    EXPECT_FALSE(g.Found);
    EXPECT_EQ(Rates(g), all);
    EXPECT_EQ(Outcomes(g),
              (std::vector<O>{O::Silent, O::Unproven, O::Silent, O::Silent, O::Silent}));

    const TPortSearch& m = result.Ports[3];
    EXPECT_FALSE(m.Found);
    EXPECT_TRUE(m.OpenFailed);
    EXPECT_EQ(m.OpenErrno, ENOENT);
    EXPECT_FALSE(m.OpenError.empty());
    EXPECT_TRUE(m.Tried.empty());

    const TPortSearch& f = result.Ports[4];
    ASSERT_TRUE(f.Found);
    EXPECT_EQ(f.Found->BaudRate, 115200);
    EXPECT_EQ(f.Found->HandShake, TAnsweredHandShake::JavaPos);
    EXPECT_EQ(f.Found->Model, "FAST");

    // A document that never ends proves nothing; the handshake that follows it does.
    const TPortSearch& e = result.Ports[5];
    ASSERT_TRUE(e.Found);
    EXPECT_EQ(e.Found->BaudRate, 57600);
    EXPECT_FALSE(e.Found->ByDocument);
    EXPECT_EQ(e.Found->HandShake, TAnsweredHandShake::JavaPos);
    EXPECT_EQ(e.Found->Model, "");
    EXPECT_FALSE(e.Found->Settings);

    // The first port in the order asked that has a display.
    ASSERT_NE(result.Found(), nullptr);
    EXPECT_EQ(result.Found()->PortName, noJpos.PortName());
    for (const VirtualDisplayProcess* vd : {&noJpos, &fast, &silent, &garbage, &endless})
        EXPECT_TRUE(vd->TraceEvents("SPEED").empty());
}

TEST(DisplaySearch, ProbesAtAWrongSpeedNeitherConfirmNorChangeTheDisplay) {
    constexpr int ProbesPerSpeed = 200;
    // Quick probes: whether the display answered is read from its trace, not from the wait.
    TSearchTiming quick;
    quick.FirstByteMs = 2;
    quick.GapMs = 50;
    const std::vector<int> speeds = SearchOrder(9600);
    for (int display : speeds) {
        VirtualDisplayProcess vd(VirtualDisplayProgram,
                                 VdArgs(display, {"--command", "3", "--brightness", "3"}));
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        const auto document = [&] {
            const TPortSearch port = FindDisplaySpeed(vd.PortName(), display, Patient());
            return port.Found ? port.Found->SettingsReply : ByteString("none");
        };
        const ByteString before = document();
        for (int wrong : speeds) {
            if (wrong == display)
                continue;
            TCommConnection connection;
            ASSERT_TRUE(connection.Open(vd.PortName(), wrong));
            int confirmed = 0;
            int silent = 0;
            for (int i = 0; i < ProbesPerSpeed; ++i) {
                std::optional<TFoundDisplay> found;
                const TSpeedTry t = ProbeSpeed(connection, vd.PortName(), wrong, quick, found);
                confirmed += found || t.Outcome == TSpeedOutcome::Confirmed ? 1 : 0;
                silent += t.Outcome == TSpeedOutcome::Silent ? 1 : 0;
            }
            connection.Close();
            EXPECT_EQ(confirmed, 0) << display << " probed at " << wrong;
            EXPECT_EQ(silent, ProbesPerSpeed) << display << " probed at " << wrong;
        }
        const ByteString after = document();
        EXPECT_EQ(after, before) << display;
        EXPECT_EQ(before.rfind("{", 0), 0u) << display;
        // Answers went out only to the two reads at the display's own speed (document and
        // JavaPOS handshake each), and the wrong speeds' bytes came through as text.
        EXPECT_EQ(vd.TraceEvents("TX").size(), 4u) << display;
        EXPECT_EQ(CommandFrames(vd), 4u) << display;
        EXPECT_TRUE(vd.TraceEvents("SPEED").empty()) << display;
        EXPECT_TRUE(vd.TraceEvents("IGNORED").empty()) << display;
        EXPECT_GE(vd.TraceEvents("DROP").size(), 4u * (ProbesPerSpeed / 2)) << display;
    }
}

TEST(DisplaySearch, AsASessionActionHeldOffAndCancelled) {
    VirtualDisplayProcess silent(VirtualDisplayProgram, VdArgs(9600, {"--no-answer"}));
    VirtualDisplayProcess display(VirtualDisplayProgram, VdArgs(57600));
    ASSERT_TRUE(silent.Started() && display.Started());
    TSearchTiming slow;
    slow.FirstByteMs = 8000;
    Clock::time_point closing;
    {
        TDisplaySession session;
        ASSERT_TRUE(session.FindDisplay({{silent.PortName(), display.PortName()}, 9600, slow}));
        // One action at a time.
        EXPECT_FALSE(session.FindDisplay({{display.PortName()}, 9600, {}}));
        EXPECT_FALSE(session.GetSettings({display.PortName(), 57600}, {}));
        QTimer::singleShot(200, &session, [&session] { session.Cancel(); });
        const auto start = Clock::now();
        const TActionResult result = session.WaitForResult();
        EXPECT_LT(Clock::now() - start, 7s) << "the cancel ended the waits";
        EXPECT_TRUE(result.Cancelled);
        ASSERT_TRUE(result.Search);
        EXPECT_TRUE(result.Search->Cancelled);
        EXPECT_EQ(result.Search->Found(), nullptr);
        ASSERT_EQ(result.Search->Ports.size(), 2u);
        EXPECT_TRUE(result.Search->Ports[0].Cancelled);

        // The session goes on: found with the usual limits.
        TSearchRequest again;
        again.Ports = {silent.PortName(), display.PortName()};
        again.Timing = Patient();
        const TActionResult found = Finish(session, session.FindDisplay(again));
        EXPECT_FALSE(found.Cancelled);
        ASSERT_TRUE(found.Search && found.Search->Found());
        EXPECT_EQ(found.Search->Found()->BaudRate, 57600);
        EXPECT_EQ(found.Search->Found()->PortName, display.PortName());
        EXPECT_TRUE(found.Messages.empty());

        // Closing the session in the middle of a search ends it.
        ASSERT_TRUE(session.FindDisplay({{silent.PortName()}, 9600, slow}));
        QEventLoop pause;
        QTimer::singleShot(300, &pause, &QEventLoop::quit);
        pause.exec();
        closing = Clock::now();
    }
    EXPECT_LT(Clock::now() - closing, 7s);
    // The ports are free again for anyone.
    TCommConnection connection;
    EXPECT_TRUE(connection.Open(silent.PortName(), 9600)) << connection.LastOpenError().Text;
}
