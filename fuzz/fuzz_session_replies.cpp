// SPDX-License-Identifier: Apache-2.0
// The display's replies to the handshakes and to the settings request, through a real
// pseudo-terminal into the device actions. The far end answers each request with fuzz bytes,
// cut into a few chunks, and may vanish (close its end) at a chosen point.
// Input: a flag byte (bit 0: Set Brightness instead of Get Setting; bit 1: the handshake reply
// starts with the correct answer; bits 2-3: vanish 0 never, 1 instead of the handshake reply,
// 2 after it, 3 after the settings reply), the length of the handshake reply's fuzz bytes,
// those bytes, then the settings reply.
// Every time-out is capped at 50 ms: without a 00 byte the settings request would wait 10 s.
// - The action ends (no hang), reports only what its kind of action may report, and leaves the
//   port closed, unlocked and without a descriptor left behind;
// - Get Setting reads what the display sent: the reply it reports is bytes the far end wrote,
//   cut before the first 00, and the record and the message are what the settings document
//   rules make of that reply.

#include "FuzzCheck.h"
#include "ReferenceSettings.h"

#include "VdHandshake.h"
#include "untComm.h"
#include "untDeviceActions.h"
#include "untHandshakeKeys.h"
#include "untSystemInfo.h"
#include "untUtf16.h"

#include <QCoreApplication>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int TimeoutCapMs = 50;

enum class Vanish { Never, InsteadOfHandshakeReply, AfterHandshakeReply, AfterSettingsReply };

struct Script {
    bool Brightness = false;
    bool CorrectAnswer = false;
    Vanish VanishAt = Vanish::Never;
    ByteString HandshakeReply; // after the correct answer, if any
    ByteString SettingsReply;
    std::uint64_t Seed = 0;
};

Script ReadScript(const std::uint8_t* data, std::size_t size) {
    Script s;
    const ByteString input(reinterpret_cast<const char*>(data), size);
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : input)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    s.Seed = hash;
    if (input.size() < 2)
        return s;
    const auto flags = static_cast<std::uint8_t>(input[0]);
    s.Brightness = (flags & 0x01) != 0;
    s.CorrectAnswer = (flags & 0x02) != 0;
    s.VanishAt = static_cast<Vanish>((flags >> 2) & 0x03);
    const std::size_t length = static_cast<std::uint8_t>(input[1]);
    s.HandshakeReply = input.substr(2, length);
    s.SettingsReply = input.substr(std::min(input.size(), 2 + length));
    return s;
}

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr)
            ++count;
        ::closedir(dir);
    }
    return count;
}

// The display's end: reads each request whole, answers it in chunks, maybe vanishes.
class FarEnd {
public:
    FarEnd(int master, const Script& script)
        : master_(master), script_(script), random_(script.Seed) {}

    // Everything it wrote, in order.
    ByteString Written;
    bool Vanished = false;

    void Run() {
        const ByteString request = Read(35);
        if (request.size() < 35)
            return;
        if (script_.VanishAt == Vanish::InsteadOfHandshakeReply)
            return Leave();
        ByteString answer;
        if (script_.CorrectAnswer)
            answer = AnswerHandShake(request, script_.Brightness ? StandardHandshakeKeys
                                                                 : JposHandshakeKeys);
        WriteInChunks(answer + script_.HandshakeReply);
        if (script_.VanishAt == Vanish::AfterHandshakeReply)
            return Leave();
        if (script_.Brightness)
            return;
        if (Read(4).size() < 4)
            return;
        WriteInChunks(script_.SettingsReply);
        if (script_.VanishAt == Vanish::AfterSettingsReply)
            Leave();
    }

private:
    int master_;
    const Script& script_;
    std::mt19937_64 random_;

    void Leave() {
        ::close(master_);
        Vanished = true;
    }

    ByteString Read(std::size_t count) {
        ByteString out;
        const auto deadline = Clock::now() + 3s;
        while (out.size() < count && Clock::now() < deadline) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - out.size()));
            if (n > 0)
                out.append(buffer, static_cast<std::size_t>(n));
        }
        return out;
    }

    void WriteInChunks(const ByteString& bytes) {
        std::size_t at = 0;
        const std::size_t chunks = 1 + random_() % 4;
        for (std::size_t k = 0; k < chunks && at < bytes.size(); ++k) {
            const std::size_t n =
                k + 1 == chunks ? bytes.size() - at : random_() % (bytes.size() - at + 1);
            for (std::size_t done = 0; done < n;) {
                const ssize_t w = ::write(master_, bytes.data() + at + done, n - done);
                if (w <= 0)
                    return;
                Written.append(bytes, at + done, static_cast<std::size_t>(w));
                done += static_cast<std::size_t>(w);
            }
            at += n;
            if (random_() % 2 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(random_() % 3000));
        }
    }
};

std::string Kinds(const TActionResult& result) {
    std::string out;
    for (const TActionMessage& m : result.Messages)
        out += " " + std::to_string(static_cast<int>(m.Kind)) + ":" + m.Text;
    return out;
}

void CheckMessages(const Script& script, const TActionResult& result) {
    const std::string all = Kinds(result);
    FUZZ_REQUIRE(result.Opened, "the pty did not open:" + all);
    int finals = 0;
    for (const TActionMessage& m : result.Messages) {
        switch (m.Kind) {
        case TMessageKind::HandShakeFailed:
        case TMessageKind::Done:
        case TMessageKind::Fail:
            FUZZ_REQUIRE(script.Brightness, "a setting's message from Get Setting:" + all);
            finals += m.Kind != TMessageKind::HandShakeFailed;
            break;
        case TMessageKind::GetSettingsError:
        case TMessageKind::ParseError:
        case TMessageKind::Summary:
        case TMessageKind::Error:
            FUZZ_REQUIRE(!script.Brightness, "Get Setting's message from a setting:" + all);
            ++finals;
            break;
        case TMessageKind::Disconnected:
            FUZZ_REQUIRE(result.Disconnected, "a disconnect message without a hang-up:" + all);
            ++finals;
            break;
        case TMessageKind::OpenFailed:
            FUZZ_REQUIRE(false, "open failed:" + all);
        }
    }
    // The far end stays unless told to vanish; the hang-up ends an action at once, with one
    // message and nothing after it.
    FUZZ_REQUIRE(finals == 1, "not exactly one closing message:" + all);
    FUZZ_REQUIRE(!result.Disconnected || script.VanishAt != Vanish::Never,
                 "a hang-up from a display that stayed:" + all);
    if (result.Disconnected)
        FUZZ_REQUIRE(result.Messages.back().Kind == TMessageKind::Disconnected,
                     "a message after the hang-up:" + all);
    if (script.Brightness && !result.Disconnected)
        FUZZ_REQUIRE((result.Messages.back().Kind == TMessageKind::Done) == result.Sent,
                     "Done!/Fail! does not say whether the frame went out:" + all);
}

void CheckSettingsRead(const Script& script, const FarEnd& farEnd, const TSystemInfo& current,
                       const TActionResult& result) {
    if (script.Brightness || result.Disconnected)
        return;
    const std::string all = Kinds(result);
    FUZZ_REQUIRE(result.Settings.has_value(), "Get Setting without a record:" + all);
    if (!script.CorrectAnswer)
        FUZZ_REQUIRE(!result.Settings->jpos, "JavaPOS mode from a wrong answer");
    const TMessageKind last = result.Messages.back().Kind;
    if (last == TMessageKind::GetSettingsError) {
        FUZZ_REQUIRE(result.SettingsReply.empty(), "no reply, yet one reported");
        return;
    }
    FUZZ_REQUIRE(farEnd.Written.find('\0') != ByteString::npos, "a reply without its 00 taken");
    const ByteString& reply = result.SettingsReply;
    FUZZ_REQUIRE(reply.find('\0') == ByteString::npos, "the reported reply holds a 00");
    FUZZ_REQUIRE(farEnd.Written.find(reply + '\0') != ByteString::npos,
                 "the reply is not bytes the display sent: " + FuzzShow(reply));

    TSystemInfo start = current;
    start.jpos = result.Settings->jpos;
    const SettingsExpectation want = ExpectedSettingsParse(Utf8ToUtf16(reply), start);
    const std::string difference = RecordDifference(want.Record, *result.Settings);
    FUZZ_REQUIRE(difference.empty(), difference + " for " + FuzzShow(reply));
    const bool parsed = want.Outcome == SettingsOutcome::Applied;
    const bool notObject = want.Outcome == SettingsOutcome::NotObject;
    FUZZ_REQUIRE((last == TMessageKind::Summary) == parsed && result.SettingsComplete == parsed &&
                     (last == TMessageKind::Error) == notObject,
                 "the message does not match the reading of " + FuzzShow(reply) + ":" + all);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_session_replies";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);

    const Script script = ReadScript(data, size);
    const std::size_t descriptors = OpenDescriptors();

    int master = -1;
    int slave = -1;
    char path[128] = {};
    FUZZ_REQUIRE(::openpty(&master, &slave, path, nullptr, nullptr) == 0, "openpty failed");
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    const std::string slavePath = path;

    FarEnd farEnd(master, script);
    std::thread display([&farEnd] { farEnd.Run(); });

    TSystemInfo current;
    ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()), current);
    TCommConnection connection;
    connection.SetTimeoutCap(TimeoutCapMs);
    const TSessionTarget target{slavePath.substr(sizeof "/dev/" - 1), 9600};
    const auto start = Clock::now();
    const TActionResult result =
        RunDeviceAction(connection, target, {},
                        script.Brightness ? SetBrightnessSteps(2) : GetSettingsSteps(current));
    const auto took = Clock::now() - start;
    display.join();

    // Three capped waits and the settling after the open; seconds mean a wait ran uncapped.
    FUZZ_REQUIRE(
        took < 3s,
        "the action took " +
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()) +
            " ms");
    FUZZ_REQUIRE(!connection.IsOpen(), "the connection stayed open");
    CheckMessages(script, result);
    CheckSettingsRead(script, farEnd, current, result);

    // Released: nobody holds the port's lock, and its exclusive mode is off again. (A display
    // that vanished took the port with it.)
    if (!farEnd.Vanished) {
        const int probe = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        FUZZ_REQUIRE(probe >= 0, "the port cannot be opened again");
        FUZZ_REQUIRE(::flock(probe, LOCK_EX | LOCK_NB) == 0, "the port is still locked");
        int exclusive = 0;
        if (::ioctl(probe, TIOCGEXCL, &exclusive) == 0)
            FUZZ_REQUIRE(exclusive == 0, "the port was left in exclusive mode");
        ::close(probe);
        ::close(master);
    }
    ::close(slave);
    FUZZ_REQUIRE(OpenDescriptors() == descriptors, "a descriptor was left open");
    return 0;
}
