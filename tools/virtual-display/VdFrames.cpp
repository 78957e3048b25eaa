// SPDX-License-Identifier: Apache-2.0
#include "VdFrames.h"

namespace {

constexpr char kStx = 0x02;
constexpr char kHome = 0x0B;
constexpr char kClear = 0x0C;
constexpr char kUs = 0x1F;

bool StartsCommand(char b) {
    return b == kStx || b == kHome || b == kClear || b == kUs;
}

std::uint8_t At(const ByteString& s, std::size_t i) {
    return static_cast<std::uint8_t>(s[i]);
}

enum class Verdict { More, Done, TextFollows, Unknown };

struct Examined {
    Verdict V;
    FrameKind Kind = FrameKind::Unknown;
};

// Looks at a frame begun with 02 or 1F: complete, wanting more, or not a frame we know.
Examined Examine(const ByteString& p) {
    const std::size_t n = p.size();
    if (n < 2)
        return {Verdict::More};
    if (p[0] == kUs) {
        switch (At(p, 1)) {
        case 0x24:
            return n < 4 ? Examined{Verdict::More}
                         : Examined{Verdict::TextFollows, FrameKind::Cursor};
        case 0x58:
            return n < 3 ? Examined{Verdict::More} : Examined{Verdict::Done, FrameKind::Brightness};
        default:
            return {Verdict::Unknown};
        }
    }
    auto oneParam = [n](FrameKind kind) {
        return n < 3 ? Examined{Verdict::More} : Examined{Verdict::Done, kind};
    };
    switch (At(p, 1)) {
    case 0x05:
        return oneParam(FrameKind::Charset);
    case 0x06:
        return oneParam(FrameKind::Codepage);
    case 0x43:
        return oneParam(FrameKind::Command);
    case 0x42:
        return oneParam(FrameKind::Baud);
    case 0x1D:
        if (n < 3)
            return {Verdict::More};
        if (At(p, 2) != 0xAA)
            return {Verdict::Unknown};
        if (n < 4)
            return {Verdict::More};
        return At(p, 3) == 0x55 ? Examined{Verdict::Done, FrameKind::Restart}
                                : Examined{Verdict::Unknown};
    case 0x07:
        break;
    default:
        return {Verdict::Unknown};
    }
    if (n < 3)
        return {Verdict::More};
    const std::uint8_t function = At(p, 2);
    if (function == 0x12 || function == 0x13) {
        if (n < 35)
            return {Verdict::More};
        return {Verdict::Done, function == 0x13 ? FrameKind::HandShake : FrameKind::HandShakeJpos};
    }
    if (function != 0x16)
        return {Verdict::Unknown};
    if (n < 4)
        return {Verdict::More};
    switch (At(p, 3)) {
    case 0x05:
        return {Verdict::Done, FrameKind::SettingsRequest};
    case 0x06:
    case 0x07: {
        const FrameKind kind = At(p, 3) == 0x06 ? FrameKind::Welcome1 : FrameKind::Welcome2;
        if (n > 4 && p.back() == '\0')
            return {Verdict::Done, kind};
        if (n - 4 > FrameDecoder::MaxWelcomeText)
            return {Verdict::Unknown};
        return {Verdict::More};
    }
    case 0x09:
        return n < 5 ? Examined{Verdict::More} : Examined{Verdict::Done, FrameKind::Scroll};
    default:
        return {Verdict::Unknown};
    }
}

} // namespace

ByteString Frame::Text() const {
    switch (Kind) {
    case FrameKind::Text:
        return Bytes;
    case FrameKind::Cursor:
        return Bytes.size() > 4 ? Bytes.substr(4) : ByteString{};
    case FrameKind::Welcome1:
    case FrameKind::Welcome2:
        return Bytes.size() > 5 ? Bytes.substr(4, Bytes.size() - 5) : ByteString{};
    default:
        return {};
    }
}

std::uint8_t Frame::Param(std::size_t index) const {
    std::size_t at = 0;
    switch (Kind) {
    case FrameKind::Cursor:
        at = 2 + index;
        break;
    case FrameKind::Brightness:
    case FrameKind::Charset:
    case FrameKind::Codepage:
    case FrameKind::Command:
    case FrameKind::Baud:
        at = 2;
        break;
    case FrameKind::Scroll:
        at = 4;
        break;
    default:
        return 0;
    }
    return at < Bytes.size() ? At(Bytes, at) : 0;
}

const char* FrameKindName(FrameKind kind) {
    switch (kind) {
    case FrameKind::Text:
        return "text";
    case FrameKind::Clear:
        return "clear";
    case FrameKind::Home:
        return "home";
    case FrameKind::Cursor:
        return "cursor";
    case FrameKind::Brightness:
        return "brightness";
    case FrameKind::Charset:
        return "character set";
    case FrameKind::Codepage:
        return "code page";
    case FrameKind::Restart:
        return "restart";
    case FrameKind::Command:
        return "command mode";
    case FrameKind::Baud:
        return "speed";
    case FrameKind::HandShake:
        return "handshake";
    case FrameKind::HandShakeJpos:
        return "JavaPOS handshake";
    case FrameKind::SettingsRequest:
        return "settings request";
    case FrameKind::Welcome1:
        return "welcome line 1";
    case FrameKind::Welcome2:
        return "welcome line 2";
    case FrameKind::Scroll:
        return "line 2 scrolling";
    case FrameKind::Unknown:
        return "unknown";
    case FrameKind::Incomplete:
        return "incomplete";
    }
    return "?";
}

void FrameDecoder::Emit(FrameKind kind, std::vector<Frame>& out) {
    out.push_back(Frame{kind, std::move(pending_)});
    pending_.clear();
    textRun_ = false;
}

void FrameDecoder::Push(char byte, std::vector<Frame>& out) {
    if (textRun_) {
        if (!StartsCommand(byte)) {
            pending_ += byte;
            return;
        }
        Emit(textKind_, out);
    }
    if (pending_.empty()) {
        if (byte == kClear) {
            pending_ = byte;
            Emit(FrameKind::Clear, out);
        } else if (byte == kHome) {
            pending_ = byte;
            Emit(FrameKind::Home, out);
        } else if (byte == kStx || byte == kUs) {
            pending_ = byte;
        } else {
            pending_ = byte;
            textRun_ = true;
            textKind_ = FrameKind::Text;
        }
        return;
    }
    pending_ += byte;
    const Examined e = Examine(pending_);
    switch (e.V) {
    case Verdict::More:
        break;
    case Verdict::Done:
        Emit(e.Kind, out);
        break;
    case Verdict::TextFollows:
        textRun_ = true;
        textKind_ = e.Kind;
        break;
    case Verdict::Unknown:
        Emit(FrameKind::Unknown, out);
        break;
    }
}

std::vector<Frame> FrameDecoder::Feed(const ByteString& bytes, Clock::time_point now) {
    std::vector<Frame> out = Tick(now);
    for (char b : bytes)
        Push(b, out);
    if (!bytes.empty())
        last_ = now;
    return out;
}

std::vector<Frame> FrameDecoder::Tick(Clock::time_point now) {
    std::vector<Frame> out;
    if (const auto deadline = NextDeadline(); deadline && now >= *deadline)
        Emit(textRun_ ? textKind_ : FrameKind::Incomplete, out);
    return out;
}

std::optional<FrameDecoder::Clock::time_point> FrameDecoder::NextDeadline() const {
    if (pending_.empty())
        return std::nullopt;
    return last_ + (textRun_ ? Clock::duration(TextGap) : Clock::duration(StuckGap));
}

void FrameDecoder::Reset() {
    pending_.clear();
    textRun_ = false;
}
