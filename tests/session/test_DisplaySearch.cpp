// SPDX-License-Identifier: Apache-2.0
// Finding the display against virtual displays: at each of its speeds from any start, on
// several ports at once, never at a wrong speed; what a wrong speed's probes do to a display
// (nothing); and the search as a session action that can be cancelled.

#include "SessionTestSupport.h"
#include "untComm.h"
#include "untDisplaySearch.h"

#include <QEventLoop>
#include <QTimer>

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
    return timing;
}

std::vector<std::string> VdArgs(int baud, std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"--baud", std::to_string(baud)});
    return more;
}

// A port's search in one line: each speed tried (S silent, U unproven, C confirmed), then what
// was found or why the port could not be searched.
std::string Summary(const TPortSearch& port) {
    std::string s;
    for (const TSpeedTry& t : port.Tried)
        s += std::to_string(t.BaudRate) + "SUC"[static_cast<int>(t.Outcome)] + " ";
    if (port.OpenFailed)
        s += "open failed " + std::to_string(port.OpenErrno);
    if (const auto& f = port.Found) {
        const char* handshakes[] = {"no handshake", "JavaPOS", "standard"};
        s += "found " + std::to_string(f->BaudRate) + " " +
             handshakes[static_cast<int>(f->HandShake)] +
             (f->ByDocument ? " " + f->Model + " v" + std::to_string(f->FirmwareVersion) +
                                  (f->Settings->jpos ? " jpos" : "")
                            : " no document");
    }
    return s;
}

// The speeds from `first` up to the display's, silent, then the display's confirmed.
std::string SilentUntil(int first, int display) {
    std::string s;
    for (int rate : SearchOrder(first)) {
        s += std::to_string(rate) + (rate == display ? "C " : "S ");
        if (rate == display)
            break;
    }
    return s;
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
    TSearchRequest Request(std::vector<std::string> ports, int firstRate) {
        TSearchRequest request;
        request.Ports = std::move(ports);
        request.FirstRate = firstRate;
        request.Timing = Patient();
        request.Trying = [this](const std::string& port, int) {
            // Each port's thread touches its own entry only.
            if (const auto it = ports_.find(port); it != ports_.end())
                it->second.Display->WaitForEvents("CLOSE", it->second.Connections++);
        };
        return request;
    }
    // The frames of the display's last connection, once it has closed.
    Frames LastConnection(const VirtualDisplayProcess& vd) {
        return Connections(vd, ports_.at(vd.PortName()).Connections).back();
    }

private:
    struct TPort {
        const VirtualDisplayProcess* Display = nullptr;
        std::size_t Connections = 0;
    };
    std::map<std::string, TPort> ports_;
};

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
            VirtualDisplayProgram, VdArgs(speed, {"--model", "M", "--firmware", "7"})));
        ASSERT_TRUE(displays.back()->Started()) << displays.back()->Stderr();
        all.push_back(displays.back().get());
        ports.push_back(displays.back()->PortName());
    }
    TInStep step(all);
    // From 9600 each display's speed comes at its place in the table; from 115200 that one
    // comes first and 57600 last.
    std::size_t searches = 0;
    for (int first : {9600, 115200}) {
        const TSearchResult result = FindDisplay(step.Request(ports, first));
        ++searches;
        ASSERT_EQ(result.Ports.size(), speeds.size());
        for (std::size_t i = 0; i < speeds.size(); ++i) {
            const VirtualDisplayProcess& vd = *displays[i];
            EXPECT_EQ(Summary(result.Ports[i]), SilentUntil(first, speeds[i]) + "found " +
                                                    std::to_string(speeds[i]) +
                                                    " JavaPOS M v7 jpos")
                << vd.Trace();
            // It answered only at its own speed, and no bytes of a wrong speed were taken for a
            // command: the settings request and the JavaPOS handshake, once each per search.
            EXPECT_EQ(step.LastConnection(vd), (Frames{"02 07 16 05", "HSJ"}));
            EXPECT_EQ(vd.WaitForEvents("TX", 2 * searches).size(), 2 * searches);
            EXPECT_EQ(CommandFrames(vd), 2 * searches);
            EXPECT_TRUE(vd.TraceEvents("SPEED").empty());
        }
    }
    // The one-port form, for a caller that was given no speed.
    EXPECT_EQ(Summary(FindDisplayOnPort(ports[2], speeds[2], Patient())),
              SilentUntil(speeds[2], speeds[2]) + "found 38400 JavaPOS M v7 jpos");
}

TEST(DisplaySearch, PortsSideBySideEachWithWhatItHas) {
    VirtualDisplayProcess silent(VirtualDisplayProgram, VdArgs(9600, {"--no-answer"}));
    VirtualDisplayProcess noJpos(VirtualDisplayProgram, VdArgs(38400, {"--no-jpos"}));
    VirtualDisplayProcess garbage(VirtualDisplayProgram, VdArgs(19200, {"--garbage"}));
    VirtualDisplayProcess fast(VirtualDisplayProgram, VdArgs(115200, {"--model", "FAST"}));
    VirtualDisplayProcess endless(VirtualDisplayProgram, VdArgs(57600, {"--no-terminator"}));
    VirtualDisplayProcess nameless(VirtualDisplayProgram, VdArgs(38400, {"--model", ""}));
    const std::vector<const VirtualDisplayProcess*> all = {&silent, &noJpos,  &garbage,
                                                           &fast,   &endless, &nameless};
    for (const VirtualDisplayProcess* vd : all)
        ASSERT_TRUE(vd->Started()) << vd->Stderr();
    const std::string missing = "VylNoSuchPort-" + std::to_string(getpid());
    TInStep step(all);
    // A port named twice is searched once.
    const TSearchResult result = FindDisplay(
        step.Request({silent.PortName(), noJpos.PortName(), garbage.PortName(), missing,
                      fast.PortName(), endless.PortName(), nameless.PortName(), fast.PortName()},
                     9600));
    // Nothing proven in the first pass: the second tries every speed again.
    const std::string none = "9600S 19200S 38400S 57600S 115200S ";
    const auto twice = [](const std::string& pass) { return pass + pass; };
    const std::vector<std::pair<std::string, std::string>> expected = {
        {silent.PortName(), twice(none)},
        {noJpos.PortName(),
         SilentUntil(9600, 38400) + "found 38400 standard VYL Virtual Display v1"},
        // Something answers, but nothing it says proves a display.
        {garbage.PortName(), twice("9600S 19200U 38400S 57600S 115200S ")},
        {missing, "open failed " + std::to_string(ENOENT)},
        {fast.PortName(), SilentUntil(9600, 115200) + "found 115200 JavaPOS FAST v1 jpos"},
        // A document that never ends proves nothing, and does not look enough like the
        // display's to earn the handshakes.
        {endless.PortName(), twice("9600S 19200S 38400S 57600U 115200S ")},
        // A reply that ends like the display's but is no document of it: the handshake proves.
        {nameless.PortName(), SilentUntil(9600, 38400) + "found 38400 JavaPOS no document"},
    };
    ASSERT_EQ(result.Ports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(result.Ports[i].PortName, expected[i].first);
        EXPECT_EQ(Summary(result.Ports[i]), expected[i].second) << expected[i].first;
    }
    EXPECT_FALSE(result.Cancelled);
    // The first port in the order asked that has a display.
    ASSERT_NE(result.Found(), nullptr);
    EXPECT_EQ(result.Found()->PortName, noJpos.PortName());
    EXPECT_EQ(step.LastConnection(noJpos), (Frames{"02 07 16 05", "HSJ", "HS"}));
    for (const VirtualDisplayProcess* vd : all)
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
        ASSERT_EQ(before.rfind("{", 0), 0u);
        std::size_t dropped = 0;
        for (int wrong : speeds) {
            if (wrong == display)
                continue;
            next();
            TCommConnection connection;
            ASSERT_TRUE(connection.Open(vd.PortName(), wrong));
            int silent = 0;
            for (int i = 0; i < ProbesPerSpeed; ++i) {
                std::optional<TFoundDisplay> found;
                silent += ProbeSpeed(connection, vd.PortName(), wrong, quick, found).Outcome ==
                                      TSpeedOutcome::Silent &&
                                  !found
                              ? 1
                              : 0;
            }
            connection.Close();
            EXPECT_EQ(silent, ProbesPerSpeed) << display << " probed at " << wrong;
            dropped += SearchProbe().size() * ProbesPerSpeed;
        }
        EXPECT_EQ(document(), before) << display;
        // Answers went out only to the two reads at the display's own speed (document and
        // JavaPOS handshake each), and every byte sent at a wrong speed came through as text.
        EXPECT_EQ(vd.WaitForEvents("TX", 4).size(), 4u) << display;
        EXPECT_EQ(CommandFrames(vd), 4u) << display;
        EXPECT_TRUE(vd.TraceEvents("SPEED").empty()) << display;
        EXPECT_TRUE(vd.TraceEvents("IGNORED").empty()) << display;
        std::size_t read = 0;
        for (const std::string& drop : vd.TraceEvents("DROP")) // "<bytes> host <speed> ..."
            read += (drop.find(" host ") + 1) / 3;
        EXPECT_EQ(read, dropped) << display;
    }
}

TEST(DisplaySearch, AsASessionActionHeldOffCancelledAndEndedWithTheSession) {
    VirtualDisplayProcess silent(VirtualDisplayProgram, VdArgs(9600, {"--no-answer"}));
    VirtualDisplayProcess display(VirtualDisplayProgram, VdArgs(19200));
    ASSERT_TRUE(silent.Started() && display.Started());
    TInStep step({&silent, &display});
    TSearchRequest slow = step.Request({silent.PortName(), display.PortName()}, 9600);
    slow.Timing.FirstByteMs = 8000;
    Clock::time_point closing;
    {
        TDisplaySession session;
        ASSERT_TRUE(session.FindDisplay(slow));
        EXPECT_FALSE(session.FindDisplay(slow));
        EXPECT_FALSE(session.GetSettings({}));
        QTimer::singleShot(200, &session, [&session] { session.Cancel(); });
        const auto start = Clock::now();
        const TActionResult result = session.WaitForResult();
        EXPECT_LT(Clock::now() - start, 7s) << "the cancel ended the waits";
        EXPECT_TRUE(result.Cancelled);
        ASSERT_TRUE(result.Search);
        EXPECT_TRUE(result.Search->Cancelled && result.Search->Ports[0].Cancelled);
        EXPECT_EQ(result.Search->Found(), nullptr);

        const TActionResult found =
            Finish(session, session.FindDisplay(step.Request({display.PortName()}, 9600)));
        ASSERT_TRUE(found.Search);
        EXPECT_EQ(Summary(found.Search->Ports[0]),
                  "9600S 19200C found 19200 JavaPOS VYL Virtual Display v1 jpos");
        EXPECT_TRUE(found.Messages.empty() && !found.Cancelled);

        ASSERT_TRUE(session.FindDisplay(slow));
        QEventLoop pause;
        QTimer::singleShot(300, &pause, &QEventLoop::quit);
        pause.exec();
        closing = Clock::now();
    }
    EXPECT_LT(Clock::now() - closing, 7s) << "closing the session ended its search";
    TCommConnection connection;
    EXPECT_TRUE(connection.Open(silent.PortName(), 9600)) << connection.LastOpenError().Text;
}

// Late displays and other devices, each alone on its port and searched with the search's own
// limits: a late display is found at its own speed only, though its answer to one speed's
// request arrives while the next speed is tried; a device that is no display gets nothing but
// the settings request, and one that keeps sending costs the search little.
TEST(DisplaySearch, LateDisplaysAndOtherDevices) {
    struct TCase {
        std::vector<std::string> Args;
        int Display; // the speed it is found at; 0: none
        std::chrono::seconds Within;
    };
    const std::vector<TCase> cases = {
        // Loose bounds, for a loaded machine; a streaming port took 51 s when each speed waited
        // out its whole reply time-out.
        {{"--baud", "9600", "--reply-delay", "300"}, 9600, 12s},
        {{"--baud", "115200", "--reply-delay", "1000"}, 115200, 15s},
        {{"--echo"}, 0, 15s},
        {{"--echo", "--baud", "38400"}, 0, 15s},
        {{"--stream"}, 0, 5s},
        {{"--stream", "--baud", "115200"}, 0, 5s},
        {{"--receipt-printer"}, 0, 20s},
    };
    for (const TCase& c : cases) {
        std::string name;
        for (const std::string& arg : c.Args)
            name += arg + " ";
        SCOPED_TRACE(name);
        VirtualDisplayProcess vd(VirtualDisplayProgram, c.Args);
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        TSearchRequest request;
        request.Ports = {vd.PortName()};
        const auto start = Clock::now();
        const TSearchResult result = FindDisplay(request);
        EXPECT_LT(Clock::now() - start, c.Within);
        ASSERT_EQ(result.Ports.size(), 1u);
        const TPortSearch& port = result.Ports[0];
        for (const TSpeedTry& t : port.Tried) {
            EXPECT_TRUE(t.Outcome != TSpeedOutcome::Confirmed || t.BaudRate == c.Display)
                << Summary(port);
            EXPECT_TRUE(t.NamedSpeed == 0 || t.NamedSpeed == c.Display) << Summary(port);
        }
        if (c.Display != 0) {
            ASSERT_TRUE(port.Found) << Summary(port) << vd.Trace();
            EXPECT_EQ(port.Found->BaudRate, c.Display);
            EXPECT_TRUE(port.Found->ByDocument);
            continue;
        }
        EXPECT_FALSE(port.Found) << Summary(port);
        EXPECT_EQ(port.Tried.size(), 2 * SearchOrder(9600).size()) << Summary(port);
        // What the host sent at every other speed and every frame it heard at its own:
        // requests only. (What it read of the other speeds' bytes starts no frame.)
        const auto requestsOnly = [](const std::string& bytes) {
            for (std::size_t i = 0; i < bytes.size(); i += 12)
                if (bytes.compare(i, 11, "02 07 16 05") != 0)
                    return false;
            return !bytes.empty();
        };
        for (const std::string& rx : vd.TraceEvents("RX"))
            EXPECT_TRUE(rx.rfind("02", 0) != 0 || rx == "02 07 16 05") << rx;
        for (const std::string& drop : vd.TraceEvents("DROP"))
            EXPECT_TRUE(requestsOnly(drop.substr(0, drop.find(" host ")))) << drop;
        EXPECT_FALSE(vd.TraceEvents("RX").empty());
    }
}
