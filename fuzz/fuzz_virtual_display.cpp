// SPDX-License-Identifier: Apache-2.0
// The virtual display's frame decoder and state. The input is the byte stream the host sends;
// how it arrives (chunk sizes, pauses around the decoder's two gaps) follows from a generator
// seeded by the input, so that every input is one reproducible delivery.
// - The frames hold every byte of the stream once, in order, each frame shaped as its kind;
// - delivered without pauses, any chunking gives the frames of the stream in one piece;
// - applying the frames (and scrolling) keeps the screen at two lines of 20 with the cursor
//   on it, and the display's own settings document parses into what the display holds.

#include "FuzzCheck.h"

#include "VdFrames.h"
#include "VdState.h"

#include "untCodePage.h"
#include "untHex.h"
#include "untSystemInfo.h"
#include "untUtf16.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = FrameDecoder::Clock;

bool StartsCommand(char b) {
    return b == 0x02 || b == 0x0B || b == 0x0C || b == 0x1F;
}

bool HasPrefix(const ByteString& bytes, std::initializer_list<int> prefix) {
    if (bytes.size() < prefix.size())
        return false;
    std::size_t i = 0;
    for (const int b : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

bool NoCommandByte(const ByteString& bytes, std::size_t from) {
    for (std::size_t i = from; i < bytes.size(); ++i)
        if (StartsCommand(bytes[i]))
            return false;
    return true;
}

void CheckShape(const Frame& frame) {
    const ByteString& b = frame.Bytes;
    const std::string what = std::string(FrameKindName(frame.Kind)) + " frame " + FuzzShow(b);
    FUZZ_REQUIRE(!b.empty(), "empty " + what);
    const std::size_t n = b.size();
    bool ok = false;
    switch (frame.Kind) {
    case FrameKind::Text:
        ok = NoCommandByte(b, 0);
        break;
    case FrameKind::Clear:
        ok = b == "\x0C";
        break;
    case FrameKind::Home:
        ok = b == "\x0B";
        break;
    case FrameKind::Cursor:
        ok = n >= 4 && HasPrefix(b, {0x1F, 0x24}) && NoCommandByte(b, 4);
        break;
    case FrameKind::Brightness:
        ok = n == 3 && HasPrefix(b, {0x1F, 0x58});
        break;
    case FrameKind::Charset:
        ok = n == 3 && HasPrefix(b, {0x02, 0x05});
        break;
    case FrameKind::Codepage:
        ok = n == 3 && HasPrefix(b, {0x02, 0x06});
        break;
    case FrameKind::Command:
        ok = n == 3 && HasPrefix(b, {0x02, 0x43});
        break;
    case FrameKind::Baud:
        ok = n == 3 && HasPrefix(b, {0x02, 0x42});
        break;
    case FrameKind::Restart:
        ok = n == 4 && HasPrefix(b, {0x02, 0x1D, 0xAA, 0x55});
        break;
    case FrameKind::HandShake:
        ok = n == 35 && HasPrefix(b, {0x02, 0x07, 0x13});
        break;
    case FrameKind::HandShakeJpos:
        ok = n == 35 && HasPrefix(b, {0x02, 0x07, 0x12});
        break;
    case FrameKind::SettingsRequest:
        ok = n == 4 && HasPrefix(b, {0x02, 0x07, 0x16, 0x05});
        break;
    case FrameKind::Welcome1:
    case FrameKind::Welcome2:
        ok = n >= 5 &&
             HasPrefix(b, {0x02, 0x07, 0x16, frame.Kind == FrameKind::Welcome1 ? 0x06 : 0x07}) &&
             b.find('\0', 4) == n - 1 && n - 5 <= FrameDecoder::MaxWelcomeText;
        break;
    case FrameKind::Scroll:
        ok = n == 5 && HasPrefix(b, {0x02, 0x07, 0x16, 0x09});
        break;
    case FrameKind::Unknown:
        ok = n >= 2 && (b[0] == 0x02 || b[0] == 0x1F);
        break;
    case FrameKind::Incomplete:
        ok = b[0] == 0x02 || b[0] == 0x1F;
        break;
    }
    FUZZ_REQUIRE(ok, "misshapen " + what);
}

void CheckScreen(const DisplayState& state) {
    const auto& screen = state.Screen();
    for (const ByteString& line : screen)
        FUZZ_REQUIRE(line.size() == static_cast<std::size_t>(kColumns),
                     "a line of " + std::to_string(line.size()) + " columns");
    FUZZ_REQUIRE(state.CursorRow() >= 0 && state.CursorRow() < kRows,
                 "cursor row " + std::to_string(state.CursorRow()));
    FUZZ_REQUIRE(state.CursorColumn() >= 0 && state.CursorColumn() < kColumns,
                 "cursor column " + std::to_string(state.CursorColumn()));
}

// The welcome lines the display must report: what the last welcome frames carried.
struct Welcome {
    std::optional<ByteString> Line1;
    std::optional<ByteString> Line2;
};

void CheckApplied(const DisplayState& state, const Frame& frame, const ApplyResult& result,
                  Welcome& welcome) {
    const std::uint8_t p = frame.Param();
    switch (frame.Kind) {
    case FrameKind::Brightness:
        FUZZ_REQUIRE(result.Applied == (p >= 1 && p <= 4), "brightness " + std::to_string(p));
        if (result.Applied)
            FUZZ_REQUIRE(state.Settings().back_light == p, "brightness not kept");
        break;
    case FrameKind::Welcome1:
        FUZZ_REQUIRE(result.Applied, "welcome line 1 refused");
        welcome.Line1 = frame.Text();
        break;
    case FrameKind::Welcome2:
        FUZZ_REQUIRE(result.Applied, "welcome line 2 refused");
        welcome.Line2 = frame.Text();
        break;
    case FrameKind::Unknown:
    case FrameKind::Incomplete:
        FUZZ_REQUIRE(!result.Applied, "a broken frame was applied");
        break;
    default:
        break;
    }
}

std::vector<Frame> Decode(const ByteString& stream) {
    FrameDecoder decoder;
    const Clock::time_point t0{};
    std::vector<Frame> frames = decoder.Feed(stream, t0);
    for (Frame& f : decoder.Tick(Clock::time_point::max()))
        frames.push_back(std::move(f));
    return frames;
}

bool SameFrames(const std::vector<Frame>& a, const std::vector<Frame>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].Kind != b[i].Kind || a[i].Bytes != b[i].Bytes)
            return false;
    return true;
}

std::uint64_t Seed(const ByteString& stream) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : stream)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

std::size_t ChunkSize(std::mt19937_64& random) {
    switch (random() % 4) {
    case 0:
        return 1;
    case 1:
        return 1 + random() % 4;
    case 2:
        return 1 + random() % 40;
    default:
        return 1 + random() % 400;
    }
}

// A pause before the next chunk: mostly none, sometimes around the text gap or the stuck gap.
Clock::duration Pause(std::mt19937_64& random) {
    const auto r = random() % 100;
    if (r < 60)
        return 0ms;
    if (r < 80)
        return std::chrono::microseconds(random() % 5000);
    if (r < 92)
        return FrameDecoder::TextGap - 2ms + std::chrono::microseconds(random() % 4000);
    return FrameDecoder::StuckGap - 2ms + std::chrono::microseconds(random() % 4000);
}

TSystemInfo StartSettings(std::mt19937_64& random) {
    SystemInfo = TSystemInfo{};
    ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()));
    TSystemInfo settings = SystemInfo;
    settings.Expand_Char_No =
        static_cast<std::uint8_t>(CodePageTable[random() % CodePageTable.size()].No_new);
    return settings;
}

void CheckOwnDocument(const DisplayState& state, const Welcome& welcome) {
    const std::string document = state.SettingsDocument();
    SystemInfo = TSystemInfo{};
    const TParseResult parsed = ParseSettingsJson(Utf8ToUtf16(document));
    FUZZ_REQUIRE(parsed.Success,
                 "own document refused (" + parsed.Error + "): " + FuzzShow(document));
    const TSystemInfo& s = state.Settings();
    FUZZ_REQUIRE(SystemInfo.Baud_Rate == s.Baud_Rate && SystemInfo.temp2 == s.temp2 &&
                     SystemInfo.Char_No == s.Char_No &&
                     SystemInfo.Expand_Char_No == s.Expand_Char_No &&
                     SystemInfo.Comm_No == s.Comm_No && SystemInfo.back_light == s.back_light,
                 "own document reports other settings: " + FuzzShow(document));
    FUZZ_REQUIRE(!welcome.Line1 || HexTextToBytes(SystemInfo.wel_mess1_hex) == *welcome.Line1,
                 "own document reports other bytes for line 1: " + FuzzShow(document));
    FUZZ_REQUIRE(!welcome.Line2 || HexTextToBytes(SystemInfo.wel_mess2_hex) == *welcome.Line2,
                 "own document reports other bytes for line 2: " + FuzzShow(document));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteString stream(reinterpret_cast<const char*>(data), size);
    std::mt19937_64 random(Seed(stream));

    const std::vector<Frame> whole = Decode(stream);

    // The same instant for every chunk: only the cutting differs.
    {
        FrameDecoder decoder;
        const Clock::time_point t0{};
        std::vector<Frame> frames;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min(ChunkSize(random), stream.size() - at);
            for (Frame& f : decoder.Feed(stream.substr(at, n), t0))
                frames.push_back(std::move(f));
            at += n;
        }
        for (Frame& f : decoder.Tick(Clock::time_point::max()))
            frames.push_back(std::move(f));
        FUZZ_REQUIRE(SameFrames(frames, whole), "the chunking changed the frames");
    }

    // With pauses, applied to a display.
    DisplayState state(StartSettings(random));
    CheckScreen(state);
    FrameDecoder decoder;
    Clock::time_point now{};
    ByteString seen;
    Welcome welcome;
    auto handle = [&](std::vector<Frame> frames) {
        for (const Frame& frame : frames) {
            CheckShape(frame);
            seen += frame.Bytes;
            const ApplyResult result = state.Apply(frame);
            CheckApplied(state, frame, result, welcome);
            CheckScreen(state);
        }
    };
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t n = std::min(ChunkSize(random), stream.size() - at);
        now += Pause(random);
        if (random() % 3 == 0) {
            // The display woke up for a deadline before the next bytes came.
            if (const auto deadline = decoder.NextDeadline(); deadline && *deadline <= now)
                handle(decoder.Tick(now));
        }
        handle(decoder.Feed(stream.substr(at, n), now));
        at += n;
        if (random() % 4 == 0) {
            state.ScrollStep();
            CheckScreen(state);
        }
    }
    handle(decoder.Tick(Clock::time_point::max()));
    FUZZ_REQUIRE(!decoder.Pending(), "bytes left pending after the last deadline");
    FUZZ_REQUIRE(seen == stream, "frames hold " + std::to_string(seen.size()) + " bytes of " +
                                     std::to_string(stream.size()) + ", or other ones");
    for (const Frame& frame : whole)
        CheckShape(frame);

    state.LineText(0);
    state.LineText(1);
    CheckOwnDocument(state, welcome);
    return 0;
}
