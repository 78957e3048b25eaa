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
#include <map>
#include <memory>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Generous limits: a loaded machine must not make a display look silent. (How fast the search
// is with its own limits is the benchmark's business.)
TSearchTiming Patient() {
    TSearchTiming timing;
    timing.FirstByteMs = 1000;
    timing.GapMs = 1000;
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

// A pty carries no speed with its bytes: the virtual display samples the host's speed when it
// wakes, so one that slept through a close, the next open and that connection's probe would
// judge the probe at the old speed (a real line has no such gap). Before each speed this waits,
// on the port's own thread, until the port's display has seen every earlier connection close.
class TInStep {
public:
    explicit TInStep(const std::vector<const VirtualDisplayProcess*>& displays) {
        for (const VirtualDisplayProcess* vd : displays)
            ports_[vd->PortName()] = {vd, vd->TraceEvents("CLOSE").size()};
    }
    std::function<void(const std::string&, int)> Hook() {
        return [this](const std::string& port, int) {
            const auto it = ports_.find(port);
            if (it == ports_.end())
                return;
            // Each port's thread touches its own entry only.
            TPort& p = it->second;
            p.Display->WaitForEvents("CLOSE", p.Connections);
            ++p.Connections;
        };
    }
    // Waits until the display has seen every connection so far close; how many there were.
    std::size_t Closed(const VirtualDisplayProcess& vd) {
        const std::size_t connections = ports_.at(vd.PortName()).Connections;
        vd.WaitForEvents("CLOSE", connections);
        return connections;
    }

private:
    struct TPort {
        const VirtualDisplayProcess* Display = nullptr;
        std::size_t Connections = 0;
    };
    std::map<std::string, TPort> ports_;
};

TSearchRequest Request(std::vector<std::string> ports, int firstRate, TInStep& step) {
    TSearchRequest request;
    request.Ports = std::move(ports);
    request.FirstRate = firstRate;
    request.Timing = Patient();
    request.Trying = step.Hook();
    return request;
}

// How many bytes the display read at a speed other than its own.
std::size_t DroppedBytes(const VirtualDisplayProcess& vd) {
    std::size_t n = 0;
    for (const std::string& drop : vd.TraceEvents("DROP")) {
        // "<bytes sent> host <speed> display <speed> read <bytes read>"
        const std::size_t host = drop.find(" host ");
        n += host == std::string::npos ? 0 : (host + 1) / 3;
    }
    return n;
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

TEST(DisplaySearch, FindsEachDisplayAtItsOwnSpeedFromAnyStartAndAtNoOther) {
    // One display at each speed, searched side by side.
    std::vector<std::unique_ptr<VirtualDisplayProcess>> displays;
    std::vector<const VirtualDisplayProcess*> all;
    std::vector<std::string> ports;
    const std::vector<int> speeds = SearchOrder(9600);
    for (int speed : speeds) {
        displays.push_back(std::make_unique<VirtualDisplayProcess>(
            VirtualDisplayProgram,
            VdArgs(speed, {"--model", "RV" + std::to_string(speed), "--firmware", "7"})));
        ASSERT_TRUE(displays.back()->Started()) << displays.back()->Stderr();
        all.push_back(displays.back().get());
        ports.push_back(displays.back()->PortName());
    }
    TInStep step(all);
    // From 9600 each display's speed comes at its place in the table; from 115200 that one
    // comes first and 57600 last.
    std::size_t searches = 0;
    for (int first : {9600, 115200}) {
        const TSearchResult result = FindDisplay(Request(ports, first, step));
        ++searches;
        ASSERT_EQ(result.Ports.size(), speeds.size());
        for (std::size_t i = 0; i < speeds.size(); ++i) {
            const TPortSearch& port = result.Ports[i];
            const VirtualDisplayProcess& vd = *displays[i];
            const std::string where = std::to_string(speeds[i]) + " from " + std::to_string(first);
            ASSERT_TRUE(port.Found) << where << "\n" << vd.Trace();
            EXPECT_EQ(port.Found->BaudRate, speeds[i]) << where;
            EXPECT_EQ(port.Found->PortName, vd.PortName()) << where;
            EXPECT_TRUE(port.Found->ByDocument) << where;
            EXPECT_EQ(port.Found->HandShake, TAnsweredHandShake::JavaPos) << where;
            EXPECT_EQ(port.Found->Model, "RV" + std::to_string(speeds[i])) << where;
            EXPECT_EQ(port.Found->FirmwareVersion, 7) << where;
            ASSERT_TRUE(port.Found->Settings) << where;
            EXPECT_TRUE(port.Found->Settings->jpos) << where;
            EXPECT_EQ(port.Found->SettingsReply.rfind("{", 0), 0u) << where;
            EXPECT_EQ(Rates(port), OrderUpTo(first, speeds[i])) << where;
            EXPECT_EQ(Outcomes(port), SilentUntilFound(port.Tried.size())) << where;
            EXPECT_FALSE(port.OpenFailed || port.Disconnected || port.Cancelled) << where;
            // The display answered only at its own speed, and no frame of a wrong speed was
            // taken for a command: the settings request and the JavaPOS handshake, once each.
            EXPECT_EQ(Connections(vd, step.Closed(vd)).back(), (Frames{"02 07 16 05", "HSJ"}))
                << where;
            EXPECT_EQ(vd.WaitForEvents("TX", 2 * searches).size(), 2 * searches) << where;
            EXPECT_EQ(CommandFrames(vd), 2 * searches) << where;
            EXPECT_TRUE(vd.TraceEvents("SPEED").empty()) << where;
        }
    }
    // The one-port form, for a caller that was given no speed: found at once at its speed.
    const TPortSearch one = FindDisplayOnPort(ports[2], speeds[2], Patient());
    ASSERT_TRUE(one.Found);
    EXPECT_EQ(one.Found->BaudRate, speeds[2]);
    EXPECT_EQ(Rates(one), std::vector<int>{speeds[2]});
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

    TInStep step({&noJpos, &fast, &silent, &garbage, &endless});
    TSearchRequest request = Request({silent.PortName(), noJpos.PortName(), garbage.PortName(),
                                      missing, fast.PortName(), endless.PortName()},
                                     9600, step);
    // A port named twice is searched once.
    const std::vector<std::string> once = request.Ports;
    request.Ports.push_back(fast.PortName());
    const TSearchResult result = FindDisplay(request);
    ASSERT_EQ(result.Ports.size(), once.size());
    for (std::size_t i = 0; i < once.size(); ++i)
        EXPECT_EQ(result.Ports[i].PortName, once[i]);
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
    EXPECT_EQ(Connections(noJpos, step.Closed(noJpos)).back(),
              (Frames{"02 07 16 05", "HSJ", "HS"}));

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
        // Each connection opens once the display has seen the last one close (see TInStep).
        std::size_t connections = 0;
        const auto next = [&] { vd.WaitForEvents("CLOSE", connections++); };
        const auto document = [&] {
            next();
            const TPortSearch port = FindDisplayOnPort(vd.PortName(), display, Patient());
            return port.Found ? port.Found->SettingsReply : ByteString("none");
        };
        const ByteString before = document();
        for (int wrong : speeds) {
            if (wrong == display)
                continue;
            next();
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
        EXPECT_EQ(vd.WaitForEvents("TX", 4).size(), 4u) << display;
        EXPECT_EQ(CommandFrames(vd), 4u) << display;
        EXPECT_TRUE(vd.TraceEvents("SPEED").empty()) << display;
        EXPECT_TRUE(vd.TraceEvents("IGNORED").empty()) << display;
        // Every probe reached it, each byte read at the wrong speed.
        EXPECT_EQ(DroppedBytes(vd), SearchProbe().size() * ProbesPerSpeed * 4) << display;
    }
}

TEST(DisplaySearch, AsASessionActionHeldOffAndCancelled) {
    VirtualDisplayProcess silent(VirtualDisplayProgram, VdArgs(9600, {"--no-answer"}));
    VirtualDisplayProcess display(VirtualDisplayProgram, VdArgs(19200));
    ASSERT_TRUE(silent.Started() && display.Started());
    TInStep step({&silent, &display});
    const std::vector<std::string> ports = {silent.PortName(), display.PortName()};
    Clock::time_point closing;
    {
        TDisplaySession session;
        TSearchRequest slow = Request(ports, 9600, step);
        slow.Timing.FirstByteMs = 8000;
        ASSERT_TRUE(session.FindDisplay(slow));
        // One action at a time.
        EXPECT_FALSE(session.FindDisplay(Request(ports, 9600, step)));
        EXPECT_FALSE(session.GetSettings({display.PortName(), 19200}, {}));
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

        // The session goes on.
        const TActionResult found =
            Finish(session, session.FindDisplay(Request({display.PortName()}, 9600, step)));
        EXPECT_FALSE(found.Cancelled);
        ASSERT_TRUE(found.Search && found.Search->Found());
        EXPECT_EQ(found.Search->Found()->BaudRate, 19200);
        EXPECT_EQ(found.Search->Found()->PortName, display.PortName());
        EXPECT_TRUE(found.Messages.empty());

        // Closing the session in the middle of a search ends it.
        ASSERT_TRUE(session.FindDisplay(slow));
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
