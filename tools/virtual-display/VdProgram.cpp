// SPDX-License-Identifier: Apache-2.0
#include "VdProgram.h"

#include "VdArrivals.h"
#include "VdDevice.h"
#include "VdFrames.h"
#include "VdHandshake.h"
#include "VdHostWatch.h"
#include "VdLineSpeed.h"
#include "VdResample.h"
#include "VdState.h"
#include "VdTerminal.h"
#include "VdTrace.h"
#include "untHex.h"
#include "untPublishedPorts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <random>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int gSignalPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const int saved = errno;
    const char b = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = write(gSignalPipe[1], &b, 1);
    errno = saved;
}

bool InstallSignals(std::string& error) {
    if (pipe2(gSignalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaction(s, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

std::string LocalTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    return text;
}

// The pty whose slave is published; both ends stay open for the program's whole life.
struct Pty {
    int Master = -1;
    int Slave = -1;
    std::string SlavePath;
    ~Pty() {
        if (Master >= 0)
            close(Master);
        if (Slave >= 0)
            close(Slave);
    }
};

// One answer on its way out, written byte by byte at the display's line speed.
struct Outgoing {
    ByteString Bytes;
    Clock::time_point Start; // when the first bit may leave
    Clock::duration ByteTime;
    bool Traced = true; // a stream's lines are not: they would flood the trace
    std::size_t Sent = 0;
    Clock::time_point DueOf(std::size_t index) const {
        return Start + ByteTime * static_cast<long>(index + 1);
    }
    Clock::time_point End() const { return Start + ByteTime * static_cast<long>(Bytes.size()); }
};

class Display {
public:
    Display(const VdOptions& options, const TSystemInfo& start, Pty& pty, VdHostWatch& watch,
            VdTrace& trace)
        : options_(options), state_(start), pty_(pty), trace_(trace),
          terminal_(options.Quiet, isatty(STDOUT_FILENO) == 1), watch_(watch),
          arrivals_(std::chrono::milliseconds(options.ReadDelayMs)),
          random_(std::random_device{}()), hostOpen_(!watch.Active()) {}

    int Run();

private:
    // Notes what came since the last wake-up, in order; Digest takes it in after the lag.
    void Observe();
    std::size_t Arrived() const;
    // Takes what the host sent (at most `limit` bytes) off the line, as sent at `hostSpeed`.
    void TakeLine(std::optional<std::size_t> limit, unsigned hostSpeed);
    void Digest(Clock::time_point now);
    void Receive(const ByteString& bytes, unsigned hostSpeed, Clock::time_point now);
    void Handle(const Frame& frame);
    // The display applies a frame and answers it.
    void Serve(const Frame& frame);
    // A device other than the display only shows the frame.
    void Overhear(const Frame& frame);
    bool ShowsScreen() const { return options_.Device == VdDevice::Display; }
    Clock::duration ByteTime() const;
    void Queue(ByteString reply);
    // Keeps the streaming device's next lines queued while a host listens.
    void FeedStream();
    // Writes what is due of the answers queued; sets writeBlocked_ when the host's input is full.
    void Send();
    void OnHostChange(VdHostWatch::Change change);
    void Handle(std::vector<Frame> frames) {
        for (const Frame& f : frames)
            Handle(f);
    }
    ByteString Garbage(std::size_t size, bool noZero);
    // Before hanging up: waits (a few seconds at most) until the host has read what was sent.
    void AwaitHostRead() const;
    timespec PollTimeout(Clock::time_point now) const;

    const VdOptions& options_;
    DisplayState state_;
    Pty& pty_;
    VdTrace& trace_;
    VdTerminal terminal_;
    VdHostWatch& watch_;
    FrameDecoder decoder_;
    VdArrivals arrivals_;
    std::deque<Outgoing> out_;
    std::mt19937 random_;
    bool hostOpen_;                 // a host has the port open (always, without notifications)
    std::uint64_t streamLines_ = 0; // lines the streaming device has queued
    bool authorized_ = false;       // a handshake was answered on this connection
    long frames_ = 0;
    bool hangup_ = false;
    bool writeBlocked_ = false;
    Clock::time_point lastRx_ = Clock::now();
    unsigned hostSpeed_ = 0; // the host's speed as last sampled in its current connection
    Clock::time_point nextScroll_ = Clock::now();
};

ByteString Display::Garbage(std::size_t size, bool noZero) {
    std::uniform_int_distribution<int> byte(noZero ? 1 : 0, 255);
    ByteString g;
    for (std::size_t i = 0; i < size; ++i)
        g += static_cast<char>(byte(random_));
    return g;
}

Clock::duration Display::ByteTime() const {
    // Ten bit times per byte: start bit, eight data bits, stop bit.
    const int speed = std::max(state_.LineSpeed(), 1);
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / speed));
}

void Display::Queue(ByteString reply) {
    // An instant display sends the whole answer at once.
    const auto byteTime = options_.Instant ? Clock::duration::zero() : ByteTime();
    Clock::time_point start = Clock::now() + std::chrono::milliseconds(options_.ReplyDelayMs);
    if (!out_.empty())
        start = std::max(start, out_.back().End());
    out_.push_back(Outgoing{std::move(reply), start, byteTime});
    if (options_.Instant)
        Send();
}

void Display::FeedStream() {
    // Two lines ahead, so the next starts the moment the last byte of the one before has gone;
    // always at the line speed, --instant or not: a stream is its pace.
    if (options_.Device != VdDevice::Stream || !hostOpen_)
        return;
    while (out_.size() < 2) {
        const Clock::time_point start = out_.empty() ? Clock::now() : out_.back().End();
        out_.push_back(Outgoing{StreamLine(streamLines_++), start, ByteTime(), false});
    }
}

void Display::Handle(const Frame& frame) {
    ++frames_;
    if (options_.Device == VdDevice::Display)
        Serve(frame);
    else
        Overhear(frame);
    if (options_.HangupAfter > 0 && frames_ >= options_.HangupAfter)
        hangup_ = true;
}

void Display::Overhear(const Frame& frame) {
    trace_.Write("RX", &frame.Bytes);
    terminal_.Log(LocalTime() + " RX " + BytesToSpacedHex(frame.Bytes));
}

void Display::Serve(const Frame& frame) {
    trace_.Write("RX", &frame.Bytes);
    ApplyResult result;
    if (DisplayState::IsSettingFrame(frame.Kind) && options_.RequireHandshake && !authorized_) {
        result = {false, std::string(FrameKindName(frame.Kind)) + " without a handshake"};
    } else {
        const int speedBefore = state_.LineSpeed();
        result = state_.Apply(frame);
        if (state_.LineSpeed() != speedBefore)
            trace_.Write("SPEED", nullptr, std::to_string(state_.LineSpeed()));
    }

    std::optional<ByteString> reply;
    const bool jpos = frame.Kind == FrameKind::HandShakeJpos;
    if (frame.Kind == FrameKind::HandShake || jpos) {
        if (options_.NoAnswer || (jpos && !options_.Jpos)) {
            result.Description += ", not answered";
        } else if (options_.Garbage) {
            reply = Garbage(35, false);
        } else {
            reply = AnswerHandShake(frame.Bytes, jpos ? JposHandshakeKeys : StandardHandshakeKeys,
                                    options_.WrongKey);
            authorized_ = authorized_ || !options_.WrongKey;
        }
    } else if (frame.Kind == FrameKind::SettingsRequest) {
        if (options_.NoAnswer) {
            result.Description += ", not answered";
        } else {
            reply = options_.Garbage ? Garbage(64, true) : state_.SettingsDocument();
            if (!options_.NoTerminator)
                *reply += '\0';
        }
    }
    if (!result.Applied)
        trace_.Write("IGNORED", &frame.Bytes);
    terminal_.Log(LocalTime() + " RX " + BytesToSpacedHex(frame.Bytes) + "   " +
                  result.Description + (result.Applied ? "" : " (ignored)"));
    if (reply)
        Queue(std::move(*reply));
}

std::size_t Display::Arrived() const {
    int n = 0;
    return ioctl(pty_.Master, FIONREAD, &n) == 0 && n > 0 ? static_cast<std::size_t>(n) : 0;
}

void Display::TakeLine(std::optional<std::size_t> limit, unsigned hostSpeed) {
    // Without a limit this reads until the line is empty: the read that finds nothing also
    // waits for bytes the kernel is still carrying from the slave to the master.
    std::size_t left = limit.value_or(std::numeric_limits<std::size_t>::max());
    char buf[4096];
    while (left > 0) {
        const ssize_t n = read(pty_.Master, buf, std::min(sizeof buf, left));
        if (n <= 0)
            return;
        left -= static_cast<std::size_t>(n);
        arrivals_.AddBytes(ByteString(buf, static_cast<std::size_t>(n)), hostSpeed, Clock::now());
    }
}

void Display::Digest(Clock::time_point now) {
    while (auto a = arrivals_.TakeDue(now)) {
        if (a->Change) {
            OnHostChange(*a->Change);
            continue;
        }
        lastRx_ = now;
        Receive(a->Bytes, a->HostSpeed, a->At);
    }
}

void Display::Receive(const ByteString& bytes, unsigned hostSpeed, Clock::time_point now) {
    ByteString read; // what the receiver made of the bytes
    // A speed frame switches the display at once: the bytes after it in the same chunk are
    // already judged at the new speed.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned own = static_cast<unsigned>(state_.LineSpeed());
        if (hostSpeed != 0 && hostSpeed != own) {
            // At another speed the display's receiver reads other bits than were sent, and
            // loses the characters whose stop bit it reads as 0: what is left are bytes like
            // any others.
            const ByteString sent = bytes.substr(i);
            const ByteString garbled = ReceivedAtRate(sent, hostSpeed, own);
            const std::string speeds =
                "host " + std::to_string(hostSpeed) + " display " + std::to_string(own);
            std::string what = speeds + " read";
            if (!garbled.empty()) {
                what += ' ';
                what += BytesToSpacedHex(garbled);
            }
            trace_.Write("DROP", &sent, what);
            terminal_.Log(LocalTime() + " ?? " + BytesToSpacedHex(sent) + "   read as \"" +
                          BytesToSpacedHex(garbled) + "\" (" + speeds + ")");
            read += garbled;
            Handle(decoder_.Feed(garbled, now));
            break;
        }
        read += bytes[i];
        Handle(decoder_.Feed(bytes.substr(i, 1), now));
    }
    if (ByteString answer = DeviceAnswer(options_.Device, read); !answer.empty())
        Queue(std::move(answer));
}

void Display::Observe() {
    // A pty keeps no speed with its bytes, so the host's speed is sampled at every wake-up,
    // before the open and close notifications are read: when none came, the connection that
    // was open at the sample is still open, the sample is its speed, and the bytes that had
    // arrived by then are its own. Bytes that come later wait for the next wake-up, which
    // follows at once: the display only notes them here, however slowly it reads.
    const unsigned sampled = HostLineSpeed(pty_.Slave);
    const std::size_t arrived = Arrived();
    const std::vector<VdHostWatch::Change> changes = watch_.Read();
    using Change = VdHostWatch::Change;
    // Closing leaves the host's settings on the line: unless another open came, the sample is
    // still the speed of the connection that had the port last. (A connection that opened,
    // wrote and closed within one wake-up, with the next one open already, is judged at the
    // next one's speed: nothing tells them apart.)
    if (std::find(changes.begin(), changes.end(), Change::Opened) == changes.end())
        hostSpeed_ = sampled;
    if (changes.empty()) {
        if (arrived > 0)
            TakeLine(arrived, hostSpeed_);
        return;
    }
    for (const Change change : changes) {
        if (change == Change::Closed) {
            // What is still unread was written before the close, by the connection that
            // closed: it is judged at the last speed sampled in that connection.
            TakeLine(std::nullopt, hostSpeed_);
            arrivals_.AddChange(change, Clock::now());
        } else {
            arrivals_.AddChange(change, Clock::now());
            hostSpeed_ = HostLineSpeed(pty_.Slave);
        }
    }
}

void Display::OnHostChange(VdHostWatch::Change change) {
    // A connection's half frame must not glue onto the next one; a text run is complete.
    Handle(decoder_.Tick(Clock::time_point::max()));
    authorized_ = false;
    const bool opened = change == VdHostWatch::Change::Opened;
    hostOpen_ = opened;
    trace_.Write(opened ? "OPEN" : "CLOSE");
    if (!opened) {
        // What the display sends while no host listens is lost on a real line; on a pty it
        // would wait in the slave's input for the next connection.
        for (const Outgoing& o : out_) {
            const ByteString unsent = o.Bytes.substr(o.Sent);
            if (o.Traced)
                trace_.Write("LOST", &unsent);
        }
        out_.clear();
        tcflush(pty_.Slave, TCIFLUSH);
    }
    terminal_.Log(LocalTime() + (opened ? " host opened the port" : " host closed the port"));
}

void Display::Send() {
    writeBlocked_ = false;
    while (!out_.empty()) {
        Outgoing& o = out_.front();
        const Clock::time_point now = Clock::now();
        std::size_t due = o.Sent;
        while (due < o.Bytes.size() && o.DueOf(due) <= now)
            ++due;
        if (due > o.Sent) {
            // All that is due in one write: an instant answer leaves whole.
            const std::size_t wanted = due - o.Sent;
            const ssize_t n = write(pty_.Master, o.Bytes.data() + o.Sent, wanted);
            if (n > 0)
                o.Sent += static_cast<std::size_t>(n);
            // The host's input is full: wait until it reads rather than retry at once.
            writeBlocked_ = n < static_cast<ssize_t>(wanted);
        }
        if (o.Sent < o.Bytes.size())
            return;
        if (!o.Traced) {
            out_.pop_front();
            continue;
        }
        trace_.Write("TX", &o.Bytes);
        const std::string shown = o.Bytes.size() > 48
                                      ? BytesToSpacedHex(o.Bytes.substr(0, 48)) + " ... (" +
                                            std::to_string(o.Bytes.size()) + " bytes)"
                                      : BytesToSpacedHex(o.Bytes);
        terminal_.Log(LocalTime() + " TX " + shown);
        out_.pop_front();
    }
}

void Display::AwaitHostRead() const {
    // Closing the master hangs the line up and a pty then discards the host's unread input,
    // where a real line would have delivered the answer before the cable went. Polling the
    // display's own slave fd also moves bytes still on their way into the host's input first.
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
    for (;;) {
        pollfd p{pty_.Slave, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN) || Clock::now() >= limit)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

timespec Display::PollTimeout(Clock::time_point now) const {
    Clock::time_point wake = now + std::chrono::seconds(1);
    if (!out_.empty() && !writeBlocked_)
        wake = std::min(wake, out_.front().DueOf(out_.front().Sent));
    if (const auto d = decoder_.NextDeadline())
        wake = std::min(wake, *d + arrivals_.Lag());
    if (const auto due = arrivals_.NextDue())
        wake = std::min(wake, *due);
    if (ShowsScreen() && terminal_.Interactive() && state_.Scrolling())
        wake = std::min(wake, nextScroll_);
    // To the nanosecond: a byte at 115200 bit/s takes 87 us, and an instant answer must not
    // wait for a millisecond tick.
    const long long ns = std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count());
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

int Display::Run() {
    if (ShowsScreen())
        terminal_.Refresh(state_);
    for (;;) {
        Clock::time_point now = Clock::now();
        const short lineEvents = static_cast<short>(POLLIN | (writeBlocked_ ? POLLOUT : 0));
        pollfd fds[3] = {
            {pty_.Master, lineEvents, 0}, {gSignalPipe[0], POLLIN, 0}, {watch_.Fd(), POLLIN, 0}};
        const timespec timeout = PollTimeout(now);
        const int ready = ppoll(fds, watch_.Active() ? 3 : 2, &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "vyl-virtual-display: ppoll: %s\n", std::strerror(errno));
            return kExitFailure;
        }
        if (ready > 0 && (fds[1].revents & POLLIN)) {
            terminal_.Log(LocalTime() + " signal received, withdrawing the port");
            return kExitOk;
        }
        Observe();
        now = Clock::now();
        Digest(now);
        // Without open/close notifications a long silence stands for the end of a connection.
        if (!watch_.Active() && authorized_ && now - lastRx_ > std::chrono::seconds(5))
            authorized_ = false;
        // The decoder lives in the display's own time, which lags the line's by the read lag.
        Handle(decoder_.Tick(now - arrivals_.Lag()));
        FeedStream();
        Send();
        if (ShowsScreen()) {
            if (terminal_.Interactive() && state_.Scrolling() && now >= nextScroll_) {
                state_.ScrollStep();
                nextScroll_ = now + std::chrono::milliseconds(350);
            }
            terminal_.Refresh(state_);
        }
        // A stream never ends: only the answers must be out.
        if (hangup_ &&
            std::none_of(out_.begin(), out_.end(), [](const Outgoing& o) { return o.Traced; })) {
            AwaitHostRead();
            trace_.Write("HANGUP");
            terminal_.Log(LocalTime() + " hanging up");
            return kExitOk;
        }
    }
}

bool OpenPty(Pty& pty, std::string& error) {
    char name[256] = {};
    if (openpty(&pty.Master, &pty.Slave, name, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    pty.SlavePath = name;
    termios t{};
    tcgetattr(pty.Slave, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B9600);
    tcsetattr(pty.Slave, TCSANOW, &t);
    fcntl(pty.Master, F_SETFL, fcntl(pty.Master, F_GETFL) | O_NONBLOCK);
    fcntl(pty.Master, F_SETFD, FD_CLOEXEC);
    fcntl(pty.Slave, F_SETFD, FD_CLOEXEC);
    return true;
}

} // namespace

int RunVirtualDisplay(const VdOptions& options) {
    TSystemInfo start;
    std::string error;
    if (!BuildStartSettings(options, start, error)) {
        std::fprintf(stderr, "vyl-virtual-display: %s\n", error.c_str());
        return kExitBadOptions;
    }
    VdTrace trace;
    if (options.TraceFile && !trace.Open(*options.TraceFile, error)) {
        std::fprintf(stderr, "vyl-virtual-display: %s\n", error.c_str());
        return kExitBadOptions;
    }
    if (!InstallSignals(error)) {
        std::fprintf(stderr, "vyl-virtual-display: %s\n", error.c_str());
        return kExitFailure;
    }
    Pty pty;
    if (!OpenPty(pty, error)) {
        std::fprintf(stderr, "vyl-virtual-display: %s\n", error.c_str());
        return kExitFailure;
    }
    // Watching starts before the name is out: a host may open the port the moment it appears.
    VdHostWatch watch(pty.SlavePath);
    std::unique_ptr<TPortPublication> publication;
    try {
        publication = std::make_unique<TPortPublication>(options.Port, pty.SlavePath);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vyl-virtual-display: cannot publish port %s: %s\n",
                     options.Port.c_str(), e.what());
        return kExitFailure;
    }
    std::printf("Publishing port %s (%s)\n", options.Port.c_str(), pty.SlavePath.c_str());
    std::fflush(stdout);

    Display display(options, start, pty, watch, trace);
    const int status = display.Run();
    publication->Withdraw();
    return status;
}
