// SPDX-License-Identifier: Apache-2.0
// The virtual display program end to end: started as a child that publishes a port under a
// unique name, driven through the link and the command module like the utility drives it.
#include "TraceLine.h"
#include "VdDevice.h"
#include "VirtualDisplayProcess.h"
#include "untCmd_RV310.h"
#include "untCmd_RV310Default.h"
#include "untComm.h"
#include "untCommDefault.h"
#include "untHex.h"
#include "untPublishedPorts.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <optional>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string kProgram = VYL_VIRTUAL_DISPLAY;

nlohmann::json Settings() {
    const ByteString reply = DSP_GetSettings();
    EXPECT_FALSE(reply.empty());
    EXPECT_EQ(reply.back(), '\0');
    return nlohmann::json::parse(reply.substr(0, reply.find('\0')), nullptr, false);
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The line opened by hand, for answers the link would not pass on (no 00, garbage).
class RawLine {
public:
    RawLine(const std::string& path, speed_t speed) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        cfsetspeed(&t, speed);
        tcsetattr(fd_, TCSANOW, &t);
    }
    ~RawLine() {
        if (fd_ >= 0)
            close(fd_);
    }
    bool Ok() const { return fd_ >= 0; }
    void Write(const ByteString& b) {
        ASSERT_EQ(write(fd_, b.data(), b.size()), ssize_t(b.size()));
    }
    // What one read gets once bytes are there (nothing after `limit`).
    ByteString ReadOnce(std::chrono::milliseconds limit) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(limit.count())) <= 0)
            return {};
        char buf[4096];
        const ssize_t n = read(fd_, buf, sizeof buf);
        return n > 0 ? ByteString(buf, static_cast<std::size_t>(n)) : ByteString();
    }
    // Reads until a 00 byte came (or `limit` passed).
    ByteString ReadDocument(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        ByteString out;
        while (out.find('\0') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            char buf[4096];
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }
    // Everything that comes within `span`.
    ByteString ReadFor(std::chrono::milliseconds span) {
        const auto end = std::chrono::steady_clock::now() + span;
        ByteString out;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return out;
            char buf[4096];
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0)
                return out;
            out.append(buf, static_cast<std::size_t>(n));
        }
    }
    // Reads until `quiet` passes without a byte; `hungUp` tells whether the far end went.
    ByteString ReadUntilQuiet(std::chrono::milliseconds quiet, bool* hungUp = nullptr) {
        ByteString out;
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(quiet.count())) <= 0)
                return out;
            char buf[4096];
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0) {
                if (hungUp)
                    *hungUp = true;
                return out;
            }
            out.append(buf, static_cast<std::size_t>(n));
        }
    }

private:
    int fd_ = -1;
};

// A display whose announcement is held up: its standard output is a pipe filled to the brim,
// so it blocks writing the "Publishing port" line until the test reads the pipe. The port is
// published by then, and a host may open it before the display gets any further.
class HeldBackDisplay {
public:
    explicit HeldBackDisplay(const std::vector<std::string>& extraArgs) {
        char dir[] = "/tmp/vyl-vd-held-XXXXXX";
        if (mkdtemp(dir) == nullptr)
            return;
        dir_ = dir;
        port_ = "VylHeld-" + std::to_string(getpid());
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        pipe_ = fds[0];
        fcntl(fds[1], F_SETPIPE_SZ, 4096);
        fcntl(fds[1], F_SETFL, O_NONBLOCK);
        const std::string filler(4096, '.');
        while (write(fds[1], filler.data(), filler.size()) > 0) {
        }
        // The display must block on the full pipe, not fail with EAGAIN.
        fcntl(fds[1], F_SETFL, 0);
        std::vector<std::string> all{kProgram, "--port", port_, "--trace", Trace(), "--quiet"};
        all.insert(all.end(), extraArgs.begin(), extraArgs.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], STDOUT_FILENO);
            execv(kProgram.c_str(), argv.data());
            _exit(127);
        }
        close(fds[1]);
    }
    ~HeldBackDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (pipe_ >= 0)
            close(pipe_);
        if (!dir_.empty()) {
            unlink(Trace().c_str());
            rmdir(dir_.c_str());
        }
    }
    HeldBackDisplay(const HeldBackDisplay&) = delete;
    HeldBackDisplay& operator=(const HeldBackDisplay&) = delete;

    // The device behind the published name, as soon as there is one.
    std::optional<std::string> WaitPublished() const {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline && pid_ > 0) {
            if (auto device = ResolvePublishedPort(port_))
                return device;
            std::this_thread::sleep_for(1ms);
        }
        return std::nullopt;
    }
    // Reads the pipe until the announcement came through; the display goes on from there.
    bool Release() {
        std::string seen;
        while (seen.find("Publishing port " + port_) == std::string::npos) {
            pollfd p{pipe_, POLLIN, 0};
            char buf[4096];
            if (poll(&p, 1, 10000) <= 0)
                return false;
            const ssize_t n = read(pipe_, buf, sizeof buf);
            if (n <= 0)
                return false;
            seen.append(buf, static_cast<std::size_t>(n));
        }
        return true;
    }
    // The events of the trace in order, waiting until `last` is among them.
    std::vector<std::string> EventsUntil(const std::string& last) const {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        for (;;) {
            std::vector<std::string> events;
            std::ifstream in(Trace());
            for (std::string line; std::getline(in, line);) {
                std::istringstream fields(line);
                std::string time, event;
                fields >> time >> event;
                events.push_back(event);
            }
            if (Contains(events, last) || std::chrono::steady_clock::now() > deadline)
                return events;
            std::this_thread::sleep_for(5ms);
        }
    }

private:
    std::string Trace() const { return dir_ + "/trace"; }

    std::string dir_;
    std::string port_;
    int pipe_ = -1;
    pid_t pid_ = -1;
};

TEST(VirtualDisplay, HandshakesAndEverySettingFrameShowInItsDocument) {
    VirtualDisplayProcess vd(kProgram, {"--model", "RV310", "--firmware", "7"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    std::vector<std::string> ports;
    ASSERT_TRUE(ListComPorts(ports));
    EXPECT_TRUE(std::count(ports.begin(), ports.end(), vd.PortName()) == 1);

    ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
    EXPECT_EQ(HandShakeJpos(), 0);
    auto doc = Settings();
    EXPECT_EQ(doc["product_name"], "RV310");
    EXPECT_EQ(doc["firmware_version"], 7);
    EXPECT_EQ(doc["back_light"], 3);
    EXPECT_EQ(doc["Comm_No"], 255);

    EXPECT_EQ(HandShake(), 0);
    EXPECT_EQ(DSP_SetBrightness(2), COMM_OK);
    EXPECT_EQ(DSP_SetCommand(3), COMM_OK);
    EXPECT_EQ(DSP_SetCharset(3), COMM_OK);
    EXPECT_EQ(DSP_SetCodepage(17), COMM_OK); // CP866
    EXPECT_EQ(DSP_SetWelMsg1("HELLO \x80"), COMM_OK);
    EXPECT_EQ(DSP_SetWelMessage_2("SECOND LINE"), COMM_OK);
    EXPECT_EQ(DSP_SetWelMessage_2_Scroll(false), COMM_OK);
    EXPECT_EQ(DSP_DisplayTextAt("AB", 2, 5), COMM_OK);
    EXPECT_EQ(DSP_Restart(), COMM_OK);
    doc = Settings();
    EXPECT_EQ(doc["back_light"], 2);
    EXPECT_EQ(doc["Comm_No"], 3);
    EXPECT_EQ(doc["Char_No"], 3);
    EXPECT_EQ(doc["Expand_Char_No"], 17);
    EXPECT_EQ(doc["wel_mess1"], "HELLO \xD0\x90");
    EXPECT_EQ(doc["wel_mess1_hex"], "48 45 4C 4C 4F 20 80");
    EXPECT_EQ(doc["wel_mess2"], "SECOND LINE");
    EXPECT_EQ(doc["temp2"].get<int>() & 0x02, 0x02);
    CloseComm();

    const auto rx = vd.TraceEvents("RX");
    EXPECT_TRUE(Contains(rx, "1F 58 02"));
    EXPECT_TRUE(Contains(rx, "02 43 33"));
    EXPECT_TRUE(Contains(rx, "02 07 16 06 48 45 4C 4C 4F 20 80 00"));
    EXPECT_TRUE(Contains(rx, "02 07 16 09 06"));
    EXPECT_TRUE(Contains(rx, "1F 24 05 02 41 42"));
    EXPECT_TRUE(Contains(rx, "02 1D AA 55"));
    EXPECT_EQ(std::count(rx.begin(), rx.end(), "02 07 16 05"), 2);
    EXPECT_EQ(vd.WaitForEvents("TX", 4).size(), 4u); // two handshakes, two documents
    EXPECT_TRUE(vd.TraceEvents("IGNORED").empty());

    // Stopping withdraws the port.
    EXPECT_EQ(vd.Stop(SIGTERM), 0);
    EXPECT_FALSE(ResolvePublishedPort(vd.PortName()));
}

TEST(VirtualDisplay, SpeedChangeLeavesAHostAtTheOldSpeedUnanswered) {
    VirtualDisplayProcess vd(kProgram, {});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    ASSERT_TRUE(OpenComm(vd.PortName(), 19200));
    EXPECT_EQ(HandShake(), COMM_TIMEOUT); // the display runs at 9600
    CloseComm();

    ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
    EXPECT_EQ(HandShake(), 0);
    EXPECT_EQ(DSP_SetBaudrate(1), COMM_OK);
    EXPECT_EQ(HandShake(), COMM_TIMEOUT); // the host still speaks 9600
    CloseComm();

    ASSERT_TRUE(OpenComm(vd.PortName(), 19200));
    EXPECT_EQ(HandShake(), 0);
    EXPECT_EQ(Settings()["Baud_Rate"], 1);
    CloseComm();
    EXPECT_EQ(vd.TraceEvents("SPEED"), std::vector<std::string>{"19200"});
    EXPECT_GE(vd.TraceEvents("DROP").size(), 2u);
}

TEST(VirtualDisplay, BytesAtAnotherSpeedArriveAsItsReceiverReadsThem) {
    VirtualDisplayProcess vd(kProgram, {"--baud", "19200"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    RawLine line(vd.DevicePath(), B9600);
    ASSERT_TRUE(line.Ok());
    // At half the display's speed FF loses its lowest bit to the long start bit; 00 reads a
    // 0 stop bit and is lost (worked out in the resampling tests).
    line.Write(ByteString("\xFF", 1));
    ASSERT_EQ(vd.WaitForEvents("RX", 1), std::vector<std::string>{"FE"});
    line.Write(ByteString("\x00", 1));
    const auto drops = vd.WaitForEvents("DROP", 2);
    ASSERT_EQ(drops.size(), 2u);
    EXPECT_EQ(drops[0], "FF host 9600 display 19200 read FE");
    EXPECT_EQ(drops[1], "00 host 9600 display 19200 read");
    line.Write(ByteString("\x02\x07\x16\x05", 4)); // the settings request, garbled
    EXPECT_TRUE(line.ReadUntilQuiet(300ms).empty());
    ASSERT_EQ(vd.WaitForEvents("DROP", 3).size(), 3u);

    RawLine right(vd.DevicePath(), B19200);
    right.Write(ByteString("\x02\x07\x16\x05", 4));
    const ByteString document = right.ReadDocument(5s);
    ASSERT_FALSE(document.empty());
    EXPECT_EQ(nlohmann::json::parse(document.substr(0, document.size() - 1))["Baud_Rate"], 1);
}

TEST(VirtualDisplay, SeveralDisplaysAtOnceEachAtItsOwnSpeed) {
    const std::vector<std::pair<std::string, int>> speeds = {
        {"9600", 0}, {"19200", 1}, {"38400", 2}, {"57600", 3}, {"115200", 4}};
    const speed_t codes[] = {B9600, B19200, B38400, B57600, B115200};
    std::vector<std::unique_ptr<VirtualDisplayProcess>> displays;
    std::vector<std::unique_ptr<RawLine>> lines;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        displays.push_back(std::make_unique<VirtualDisplayProcess>(
            kProgram, std::vector<std::string>{"--baud", speeds[i].first, "--model",
                                               "Display at " + speeds[i].first}));
        ASSERT_TRUE(displays.back()->Started()) << displays.back()->Stderr();
    }
    std::vector<std::string> ports;
    ASSERT_TRUE(ListComPorts(ports));
    for (const auto& vd : displays)
        EXPECT_EQ(std::count(ports.begin(), ports.end(), vd->PortName()), 1) << vd->PortName();

    // All lines open together, every request out before any answer is read.
    for (std::size_t i = 0; i < displays.size(); ++i) {
        lines.push_back(std::make_unique<RawLine>(displays[i]->DevicePath(), codes[i]));
        ASSERT_TRUE(lines.back()->Ok());
        lines.back()->Write(ByteString("\x02\x07\x16\x05", 4));
    }
    for (std::size_t i = 0; i < displays.size(); ++i) {
        const ByteString reply = lines[i]->ReadDocument(5s);
        ASSERT_FALSE(reply.empty()) << speeds[i].first;
        const auto doc = nlohmann::json::parse(reply.substr(0, reply.size() - 1));
        EXPECT_EQ(doc["Baud_Rate"], speeds[i].second);
        EXPECT_EQ(doc["product_name"], "Display at " + speeds[i].first);
    }
    lines.clear();

    // And each through the link by its name, at its speed.
    for (std::size_t i = 0; i < displays.size(); ++i) {
        ASSERT_TRUE(OpenComm(displays[i]->PortName(), std::stoi(speeds[i].first)));
        EXPECT_EQ(HandShake(), 0) << speeds[i].first;
        CloseComm();
        EXPECT_TRUE(displays[i]->TraceEvents("DROP").empty()) << speeds[i].first;
    }
}

TEST(VirtualDisplay, RequiredHandshakeHoldsForOneConnection) {
    VirtualDisplayProcess vd(kProgram, {"--require-handshake"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
    EXPECT_EQ(DSP_SetBrightness(1), COMM_OK); // no handshake yet: ignored
    EXPECT_EQ(Settings()["back_light"], 3);
    EXPECT_EQ(HandShake(), 0);
    EXPECT_EQ(DSP_SetBrightness(1), COMM_OK);
    EXPECT_EQ(Settings()["back_light"], 1);
    CloseComm();
    // The display sees the close a moment later; a host never reopens faster than that.
    ASSERT_EQ(vd.WaitForEvents("CLOSE", 1).size(), 1u);

    ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
    EXPECT_EQ(DSP_SetBrightness(4), COMM_OK); // a new connection needs its own handshake
    EXPECT_EQ(DSP_ClearScreen(), COMM_OK);    // display frames need none
    EXPECT_EQ(Settings()["back_light"], 1);
    CloseComm();
    EXPECT_EQ(vd.TraceEvents("IGNORED"), (std::vector<std::string>{"1F 58 01", "1F 58 04"}));
    EXPECT_EQ(vd.WaitForEvents("CLOSE", 2).size(), 2u);
}

TEST(VirtualDisplay, AHostThatOpensTheMomentThePortIsPublishedIsSeen) {
    HeldBackDisplay vd({"--require-handshake"});
    const auto device = vd.WaitPublished();
    ASSERT_TRUE(device);
    {
        RawLine line(*device, B9600);
        ASSERT_TRUE(line.Ok());
        line.Write(ByteString("\x1F\x58\x01", 3)); // a setting frame without a handshake
    }
    ASSERT_TRUE(vd.Release());
    EXPECT_EQ(vd.EventsUntil("CLOSE"),
              (std::vector<std::string>{"OPEN", "RX", "IGNORED", "CLOSE"}));
}

TEST(VirtualDisplay, ASpeedFrameReadLateIsJudgedAtTheSpeedItWasSentAt) {
    // The display reads each chunk a while after it came: by then the host has closed the port
    // and opened it again at the new speed, and may have written its next frame already.
    const struct {
        const char* ReadDelay;
        bool PauseAfterReopen; // the next frame once the display has seen the reopen
    } cases[] = {{"300", true}, {"20", false}, {"300", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("--read-delay ") + c.ReadDelay +
                     (c.PauseAfterReopen ? ", pause after the reopen" : ", no pause"));
        VirtualDisplayProcess vd(kProgram, {"--read-delay", c.ReadDelay});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
        // An exchange first, as every action starts with one: the display has heard this
        // connection before the speed frame comes.
        EXPECT_EQ(Settings()["Baud_Rate"], 0);
        EXPECT_EQ(DSP_SetBaudrate(1), COMM_OK);
        CloseComm();
        ASSERT_TRUE(OpenComm(vd.PortName(), 19200));
        if (c.PauseAfterReopen) {
            ASSERT_EQ(vd.WaitForEvents("OPEN", 2).size(), 2u);
        }
        const auto doc = Settings();
        EXPECT_TRUE(doc.is_object() && doc["Baud_Rate"] == 1) << vd.Trace();
        CloseComm();
        EXPECT_EQ(vd.TraceEvents("SPEED"), std::vector<std::string>{"19200"});
        EXPECT_EQ(vd.TraceEvents("RX"),
                  (std::vector<std::string>{"02 07 16 05", "02 42 31", "02 07 16 05"}));
        EXPECT_TRUE(vd.TraceEvents("DROP").empty());
    }
}

TEST(VirtualDisplay, LateAndMissingAnswers) {
    for (const int delay : {300, 1000}) {
        VirtualDisplayProcess vd(kProgram, {"--reply-delay", std::to_string(delay)});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        RawLine line(vd.DevicePath(), B9600);
        const auto asked = std::chrono::steady_clock::now();
        line.Write(ByteString("\x02\x07\x16\x05", 4));
        const ByteString first = line.ReadOnce(std::chrono::milliseconds(delay) + 5s);
        EXPECT_GE(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(delay));
        const ByteString document = first + line.ReadDocument(5s);
        ASSERT_FALSE(first.empty()) << delay;
        EXPECT_EQ(document.find('\0'), document.size() - 1) << delay;
        EXPECT_EQ(nlohmann::json::parse(document.substr(0, document.size() - 1))["Baud_Rate"], 0);
    }
    {
        // 300 ms is in time for the standard handshake, late for the JavaPOS one.
        VirtualDisplayProcess vd(kProgram, {"--reply-delay", "300"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
        EXPECT_EQ(HandShake(), 0);
        EXPECT_EQ(HandShakeJpos(), COMM_TIMEOUT);
        CloseComm();
    }
    {
        // An answer still on its way when the host gives up and closes is lost with the line.
        VirtualDisplayProcess vd(kProgram, {"--reply-delay", "800"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
        EXPECT_EQ(HandShake(), COMM_TIMEOUT);
        CloseComm();
        const auto lost = vd.WaitForEvents("LOST", 1);
        ASSERT_EQ(lost.size(), 1u);
        EXPECT_EQ(lost[0].size(), 35u * 3 - 1); // 35 bytes as spaced hex
        std::this_thread::sleep_for(500ms);
        EXPECT_TRUE(vd.TraceEvents("TX").empty());
    }
    {
        VirtualDisplayProcess vd(kProgram, {"--no-jpos"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
        EXPECT_EQ(HandShakeJpos(), COMM_TIMEOUT);
        EXPECT_EQ(HandShake(), 0);
        CloseComm();
    }
    {
        VirtualDisplayProcess vd(kProgram, {"--wrong-key"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
        EXPECT_EQ(HandShake(), 4);
        EXPECT_EQ(HandShakeJpos(), 4);
        CloseComm();
    }
    {
        VirtualDisplayProcess vd(kProgram, {"--no-answer"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        ASSERT_TRUE(OpenComm(vd.PortName(), 9600));
        EXPECT_EQ(HandShake(), COMM_TIMEOUT);
        CloseComm();
        EXPECT_TRUE(vd.TraceEvents("TX").empty());
    }
}

TEST(VirtualDisplay, AnswersArePacedAtTheLineSpeed) {
    VirtualDisplayProcess vd(kProgram, {});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    RawLine line(vd.DevicePath(), B9600);
    ASSERT_TRUE(line.Ok());
    const auto start = std::chrono::steady_clock::now();
    line.Write(ByteString("\x02\x07\x16\x05", 4));
    const ByteString reply = line.ReadUntilQuiet(300ms);
    const auto took = std::chrono::steady_clock::now() - start - 300ms;
    ASSERT_GT(reply.size(), 300u);
    EXPECT_EQ(reply.back(), '\0');
    // Ten bit times per byte at 9600 bit/s; a lower bound holds on any machine.
    const auto expected = std::chrono::microseconds(reply.size() * 10 * 1000000 / 9600);
    EXPECT_GE(took, expected * 9 / 10);
}

TEST(VirtualDisplay, AnInstantDisplayAnswersInOneWrite) {
    VirtualDisplayProcess vd(kProgram, {"--instant"});
    ASSERT_TRUE(vd.Started()) << vd.Stderr();
    RawLine line(vd.DevicePath(), B9600);
    ASSERT_TRUE(line.Ok());
    // The first read after the answer began holds all of it; paced, it would hold a byte or
    // two (a byte takes a millisecond at 9600 bit/s).
    line.Write(ByteString("\x02\x07\x13", 3) + ByteString(32, 'A'));
    EXPECT_EQ(line.ReadOnce(5s).size(), 35u);
    line.Write(ByteString("\x02\x07\x16\x05", 4));
    const ByteString document = line.ReadOnce(5s);
    ASSERT_GT(document.size(), 300u);
    EXPECT_EQ(document.find('\0'), document.size() - 1);
    EXPECT_EQ(vd.WaitForEvents("TX", 2).size(), 2u);
}

TEST(VirtualDisplay, OtherDevicesOnThePortPlayTheirPart) {
    const ByteString request("\x02\x07\x16\x05", 4);
    // At most what the line carries at 9600 bit/s in `span`, and two of the stream's lines
    // that were already on their way.
    auto atLineSpeed = [](std::chrono::steady_clock::duration span) {
        return static_cast<std::size_t>(std::chrono::duration<double>(span).count() * 960) +
               2 * StreamLine(0).size() + 2;
    };
    const struct {
        const char* Option;
        std::optional<ByteString> Reply; // the whole reply to the request; none: a stream
    } cases[] = {{"--echo", request},
                 {"--receipt-printer", ByteString(1, kPrinterStatus)},
                 {"--stream", std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Option);
        VirtualDisplayProcess vd(kProgram, {c.Option});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        std::vector<std::string> ports;
        ASSERT_TRUE(ListComPorts(ports));
        EXPECT_EQ(std::count(ports.begin(), ports.end(), vd.PortName()), 1);

        auto start = std::chrono::steady_clock::now();
        auto line = std::make_unique<RawLine>(vd.DevicePath(), B9600);
        line->Write(request);
        const ByteString reply = line->ReadFor(600ms);
        if (c.Reply) {
            EXPECT_EQ(reply, *c.Reply);
            EXPECT_EQ(vd.WaitForEvents("TX", 1),
                      std::vector<std::string>{BytesToSpacedHex(*c.Reply)});
        } else {
            // Weight lines from the open on, printable but for their CR LF, never a document.
            EXPECT_EQ(reply.rfind("ST,GS,+0000.000kg\r\nST,GS,+0000.005kg\r\n", 0), 0u) << reply;
            EXPECT_EQ(reply.find('{'), std::string::npos);
            EXPECT_LE(reply.size(), atLineSpeed(std::chrono::steady_clock::now() - start));
            // Nothing piles up while no host listens: a new connection gets only what the
            // line carried since its open.
            line.reset();
            std::this_thread::sleep_for(400ms);
            start = std::chrono::steady_clock::now();
            line = std::make_unique<RawLine>(vd.DevicePath(), B9600);
            const ByteString again = line->ReadFor(300ms);
            EXPECT_FALSE(again.empty());
            EXPECT_LE(again.size(), atLineSpeed(std::chrono::steady_clock::now() - start));
            EXPECT_TRUE(vd.TraceEvents("TX").empty());
        }
        // Each shows what it heard, and hears a host at another speed as the display would.
        line = std::make_unique<RawLine>(vd.DevicePath(), B19200);
        line->Write(request);
        const auto drops = vd.WaitForEvents("DROP", 1);
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(drops[0].rfind("02 07 16 05 host 19200 display 9600 read", 0), 0u) << drops[0];
        line.reset();
        const auto heard = vd.TraceEvents("RX");
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard[0], "02 07 16 05");
        EXPECT_TRUE(vd.TraceEvents("SPEED").empty());
    }
}

TEST(VirtualDisplay, MisbehavioursOnTheRawLine) {
    {
        VirtualDisplayProcess vd(kProgram, {"--no-terminator"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        RawLine line(vd.DevicePath(), B9600);
        line.Write(ByteString("\x02\x07\x16\x05", 4));
        const ByteString reply = line.ReadUntilQuiet(300ms);
        ASSERT_FALSE(reply.empty());
        EXPECT_EQ(reply.find('\0'), std::string::npos);
        EXPECT_EQ(reply.back(), '}');
    }
    {
        VirtualDisplayProcess vd(kProgram, {"--garbage"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        RawLine line(vd.DevicePath(), B9600);
        line.Write(ByteString("\x02\x07\x16\x05", 4));
        const ByteString reply = line.ReadUntilQuiet(300ms);
        ASSERT_FALSE(reply.empty());
        EXPECT_EQ(reply.find('\0'), reply.size() - 1);
        EXPECT_TRUE(nlohmann::json::parse(reply.substr(0, reply.size() - 1), nullptr, false)
                        .is_discarded());
    }
    {
        VirtualDisplayProcess vd(kProgram, {"--hangup-after", "2"});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        RawLine line(vd.DevicePath(), B9600);
        line.Write(ByteString("\x0C", 1));
        line.Write(ByteString("\x02\x07\x16\x05", 4));
        bool hungUp = false;
        const ByteString reply = line.ReadUntilQuiet(2s, &hungUp);
        EXPECT_EQ(reply.back(), '\0'); // the second frame is still answered
        EXPECT_TRUE(hungUp);
        EXPECT_EQ(vd.Wait(5s), 0);
        EXPECT_FALSE(ResolvePublishedPort(vd.PortName()));
        EXPECT_EQ(vd.WaitForEvents("HANGUP", 1).size(), 1u);
    }
}

TEST(VirtualDisplay, SignalsWithdrawThePort) {
    for (int signal : {SIGINT, SIGHUP}) {
        VirtualDisplayProcess vd(kProgram, {});
        ASSERT_TRUE(vd.Started()) << vd.Stderr();
        EXPECT_TRUE(ResolvePublishedPort(vd.PortName()));
        EXPECT_EQ(vd.Stop(signal), 0) << signal << ": " << vd.Stderr();
        EXPECT_FALSE(ResolvePublishedPort(vd.PortName())) << signal;
    }
}

TEST(VirtualDisplay, HelpAndBadOptions) {
    const ProgramRun help = RunProgram(kProgram, {"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Stdout.find("--trace FILE"), std::string::npos);
    EXPECT_NE(help.Stdout.find("RX <hex>"), std::string::npos);
    for (const char* device : {"--echo", "--stream", "--receipt-printer"})
        EXPECT_NE(help.Stdout.find(device), std::string::npos) << device;

    for (const std::vector<std::string>& args : {std::vector<std::string>{"--bogus"},
                                                 {"--baud", "12345"},
                                                 {"--port", "a/b"},
                                                 {"--settings", "/nonexistent/settings.json"}}) {
        const ProgramRun bad = RunProgram(kProgram, args);
        EXPECT_EQ(bad.Status, 2) << args[0];
        EXPECT_NE(bad.Stderr.find("vyl-virtual-display: "), std::string::npos) << bad.Stderr;
    }

    // A name held by a live display cannot be published twice.
    VirtualDisplayProcess first(kProgram, {});
    ASSERT_TRUE(first.Started());
    const ProgramRun second = RunProgram(kProgram, {"--port", first.PortName(), "--quiet"});
    EXPECT_EQ(second.Status, 1);
    EXPECT_NE(second.Stderr.find(first.PortName()), std::string::npos) << second.Stderr;
}

} // namespace

TEST(VirtualDisplay, TraceTimesReadAsMicrosecondsSinceTheEpoch) {
    // The benchmarks subtract these on Linux and under Wine alike; the calendar is worked out
    // by hand there, so its edges are checked against known instants.
    const struct {
        const char* Text;
        std::int64_t Micros;
    } cases[] = {
        {"1970-01-01T00:00:00.000000Z", 0},
        {"2000-02-29T23:59:59.999999Z", 951868799999999},
        {"2026-12-10T03:49:02.345297Z", 1796874542345297},
        {"2038-01-19T03:14:08.000001Z", 2147483648000001},
        {"2026-12-10 03:49:02", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TraceTimeMicros(c.Text), c.Micros) << c.Text;
}
