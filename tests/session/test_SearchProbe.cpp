// SPDX-License-Identifier: Apache-2.0
// The search's probe read at a wrong speed, worked out for every pair of the display's speeds
// with the receiver model of the virtual display: only stray characters, never a command and
// never the request itself. The order in which the speeds are tried. What a reply to the probe
// earns (the handshakes only for one like the display's), and a late answer that arrives while
// the next speed is tried, from a far end that ignores the line speed as a pty or a USB display
// does.

#include "PtyPair.h"
#include "ScriptedFarEnd.h"
#include "VdFrames.h"
#include "VdResample.h"
#include "untComm.h"
#include "untDisplaySearch.h"
#include "untHex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

const std::vector<unsigned> Speeds = {9600, 19200, 38400, 57600, 115200};

// The frames a display makes of `bytes`, the last one closed by a long quiet.
std::vector<Frame> FramesOf(const ByteString& bytes) {
    FrameDecoder decoder;
    const auto now = FrameDecoder::Clock::now();
    std::vector<Frame> frames = decoder.Feed(bytes, now);
    for (Frame& f : decoder.Tick(FrameDecoder::Clock::time_point::max()))
        frames.push_back(std::move(f));
    return frames;
}

// The display's document as it names itself and its speed, with its 00.
ByteString Document(int baudRateNo, const std::string& model = "M") {
    return "{\"product_name\":\"" + model + "\",\"Baud_Rate\":" + std::to_string(baudRateNo) +
           ",\"firmware_version\":3}" + std::string(1, '\0');
}

ByteString Repeated(const ByteString& bytes, int times) {
    ByteString out;
    for (int i = 0; i < times; ++i)
        out += bytes;
    return out;
}

} // namespace

TEST(SearchProbe, AtEveryWrongSpeedOnlyStrayCharactersArrive) {
    // Probes that leave back to back are read together: up to eight in a row.
    for (unsigned sender : Speeds) {
        for (unsigned receiver : Speeds) {
            for (int count = 1; count <= 8; ++count) {
                const ByteString sent = Repeated(SearchProbe(), count);
                const ByteString read = ReceivedAtRate(sent, sender, receiver);
                const std::string where = std::to_string(sender) + " -> " +
                                          std::to_string(receiver) + " x" + std::to_string(count) +
                                          ": " + BytesToSpacedHex(read);
                const std::vector<Frame> frames = FramesOf(read);
                if (sender == receiver) {
                    // The model's own check: at the same speed the request is one.
                    ASSERT_EQ(frames.size(), static_cast<std::size_t>(count)) << where;
                    for (const Frame& f : frames)
                        EXPECT_EQ(f.Kind, FrameKind::SettingsRequest) << where;
                    continue;
                }
                for (char b : read) {
                    // A byte that starts a command, or ends a welcome line.
                    EXPECT_TRUE(b != 0x00 && b != 0x02 && b != 0x0B && b != 0x0C && b != 0x1F)
                        << where;
                }
                for (const Frame& f : frames)
                    EXPECT_EQ(f.Kind, FrameKind::Text) << where;
            }
        }
    }
}

TEST(SearchProbe, TheGivenSpeedThenTheFactorySpeedThenTheRest) {
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {9600, {9600, 19200, 38400, 57600, 115200}},
        {57600, {57600, 9600, 19200, 38400, 115200}},
        {115200, {115200, 9600, 19200, 38400, 57600}},
        // Not one of the display's speeds: nothing to try it at.
        {4800, {9600, 19200, 38400, 57600, 115200}},
        {0, {9600, 19200, 38400, 57600, 115200}},
    };
    for (const auto& [first, order] : cases)
        EXPECT_EQ(SearchOrder(first), order) << first;
    EXPECT_EQ(SearchProbe(), ByteString("\x02\x07\x16\x05", 4));
}

TEST(SearchProbe, OnlyAReplyLikeTheDisplaysEarnsTheHandshakes) {
    struct TCase {
        const char* What;
        ByteString Reply;
        TSpeedOutcome Outcome;
        int NamedSpeed;
        bool HandShakes; // sent after the request
    };
    const ByteString probe = SearchProbe();
    const std::vector<TCase> cases = {
        {"nothing", "", TSpeedOutcome::Silent, 0, false},
        {"a modem's echo", probe, TSpeedOutcome::Unproven, 0, false},
        {"an echo with a 00 after it", probe + "x" + std::string(1, '\0'), TSpeedOutcome::Unproven,
         0, false},
        {"a printer's status byte", "\x12", TSpeedOutcome::Unproven, 0, false},
        {"a lone 00", std::string(1, '\0'), TSpeedOutcome::Unproven, 0, false},
        {"noise ended by 00", "\xF8\x80\x80" + std::string(1, '\0'), TSpeedOutcome::Unproven, 0,
         true},
        {"a scale's line ended by 00", "ST,GS,+0000.005kg" + std::string(1, '\0'),
         TSpeedOutcome::Unproven, 0, false},
        {"text without its 00", "{\"product_name\":\"M\"", TSpeedOutcome::Unproven, 0, false},
        {"more than 4 KiB", "{" + std::string(5000, ' '), TSpeedOutcome::Unproven, 0, false},
        {"the document naming 19200", Document(1), TSpeedOutcome::Confirmed, 0, true},
        {"a document naming no speed", Document(255), TSpeedOutcome::Confirmed, 0, true},
        {"the document naming 9600", Document(0), TSpeedOutcome::Unproven, 9600, false},
        {"a nameless document", Document(1, ""), TSpeedOutcome::Unproven, 0, true},
    };
    for (const TCase& c : cases) {
        PtyPair pty;
        TCommConnection connection;
        ASSERT_TRUE(connection.Open(pty.PortName(), 19200));
        ScriptedFarEnd farEnd(pty, probe.size(), [&c](const ByteString&) { return c.Reply; });
        std::optional<TFoundDisplay> found;
        const TSpeedTry attempt = ProbeSpeed(connection, pty.PortName(), 19200, {}, found);
        connection.Close();
        EXPECT_EQ(farEnd.Request(), probe) << c.What;
        EXPECT_EQ(attempt.Outcome, c.Outcome) << c.What;
        EXPECT_EQ(attempt.NamedSpeed, c.NamedSpeed) << c.What;
        EXPECT_EQ(found.has_value(), c.Outcome == TSpeedOutcome::Confirmed) << c.What;
        const ByteString after = pty.ReadUntilQuiet(std::chrono::milliseconds(100));
        EXPECT_EQ(after.rfind("\x02\x07\x12", 0) == 0, c.HandShakes)
            << c.What << ": " << BytesToSpacedHex(after);
    }
}

TEST(SearchProbe, ALateAnswerCountsOnlyAtTheSpeedItsRequestWasSentAt) {
    // Answers each request 300 ms late with its document naming 9600, whatever the speed.
    PtyPair pty;
    std::atomic<bool> stop = false;
    std::thread farEnd([&] {
        ByteString heard;
        std::vector<std::chrono::steady_clock::time_point> due;
        while (!stop) {
            heard += pty.Read(1, std::chrono::milliseconds(5));
            for (std::size_t at; (at = heard.find(SearchProbe())) != ByteString::npos;) {
                heard.erase(0, at + SearchProbe().size());
                due.push_back(std::chrono::steady_clock::now() + std::chrono::milliseconds(300));
            }
            if (!due.empty() && due.front() <= std::chrono::steady_clock::now()) {
                pty.Write(Document(0));
                due.erase(due.begin());
            }
        }
    });
    TCommConnection connection;
    const TPortSearch port = SearchPort(connection, pty.PortName(), SearchOrder(9600), {});
    stop = true;
    farEnd.join();
    ASSERT_TRUE(port.Found);
    EXPECT_EQ(port.Found->BaudRate, 9600);
    // Passed over at 9600, the answer to that request came at 19200 and sent the search back.
    ASSERT_GE(port.Tried.size(), 3u);
    EXPECT_EQ(port.Tried[1].BaudRate, 19200);
    EXPECT_EQ(port.Tried[1].NamedSpeed, 9600);
    EXPECT_EQ(port.Tried.back().BaudRate, 9600);
    EXPECT_EQ(port.Tried.back().Outcome, TSpeedOutcome::Confirmed);
}
