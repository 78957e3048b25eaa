// SPDX-License-Identifier: Apache-2.0
// The port component over termios.
#include "TComPort.h"
#include "untCustomSpeed.h"
#include "untLineSpeeds.h"
#include "untPortList.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const char* const TimeoutMessage = "Timeout";

[[noreturn]] void RaiseOsError(int err) {
    errno = 0;
    throw EComError(std::strerror(err), err);
}

// Devices without modem lines or line-error counters (a pty) answer these.
bool NotSupportedByDevice(int err) {
    return err == ENOTTY || err == EINVAL;
}

void SetModemLine(int fd, int line, bool on) {
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0 && !NotSupportedByDevice(errno))
        RaiseOsError(errno);
}

} // namespace

void TCustomComPort::DoOpen() {
    ReleasePort();
    errno = 0;
    const std::string path = PortDevicePath(deviceName_);
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        RaiseOsError(errno);
    fd_ = fd;
    try {
        // flock refuses a second opener even when it is root, whom TIOCEXCL lets through.
        if (flock(fd_, LOCK_EX | LOCK_NB) != 0)
            RaiseOsError(errno == EWOULDBLOCK ? EBUSY : errno);
        if (ioctl(fd_, TIOCEXCL) != 0)
            RaiseOsError(errno);
        exclusive_ = true;
        // Only input is purged: output that is queued belongs to a frame already handed over.
        if (tcflush(fd_, TCIFLUSH) != 0)
            RaiseOsError(errno);
        ApplyLineSettings();
        if (OnRxChar || OnHangUp)
            thread_ = std::make_unique<TComThread>(*this, fd_);
    } catch (...) {
        ReleasePort();
        throw;
    }
}

void TCustomComPort::ApplyLineSettings() {
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        RaiseOsError(errno);
    // Raw bytes both ways: no translation, no echo, no signals, no line editing.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IUCLC | IMAXBEL | IXANY | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    switch (dataBits_) {
    case TDataBits::dbDefault:
        break;
    case TDataBits::db5:
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS5;
        break;
    case TDataBits::db6:
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS6;
        break;
    case TDataBits::db7:
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS7;
        break;
    case TDataBits::db8:
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS8;
        break;
    default:
        RaiseOsError(EINVAL); // 4, 9 and 16 data bits: no tty supports them
    }
    const tcflag_t parityBits = PARENB | PARODD | CMSPAR;
    switch (parity_) {
    case TParity::paDefault:
        break;
    case TParity::paNone:
        t.c_cflag &= ~parityBits;
        break;
    case TParity::paOdd:
        t.c_cflag = (t.c_cflag & ~parityBits) | PARENB | PARODD;
        break;
    case TParity::paEven:
        t.c_cflag = (t.c_cflag & ~parityBits) | PARENB;
        break;
    case TParity::paMark:
        t.c_cflag |= parityBits;
        break;
    case TParity::paSpace:
        t.c_cflag = (t.c_cflag & ~parityBits) | PARENB | CMSPAR;
        break;
    }
    if (options_.test(OptionBit(TComOption::coParityCheck)))
        t.c_iflag |= INPCK;
    switch (stopBits_) {
    case TStopBits::sbDefault:
        break;
    case TStopBits::sb1:
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
        break;
    case TStopBits::sb1_5:
    case TStopBits::sb2:
        t.c_cflag |= CSTOPB;
        break;
    }
    if (flowControl_.RTS == TRTSControl::rcHandshake ||
        options_.test(OptionBit(TComOption::coOutxCtsFlow)))
        t.c_cflag |= CRTSCTS;
    else if (flowControl_.RTS != TRTSControl::rcDefault)
        t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    const tcflag_t xonBits = IXON | IXOFF;
    switch (flowControl_.XOnXOff) {
    case TXOnXOffControl::xcDefault:
        break;
    case TXOnXOffControl::xcDisable:
        t.c_iflag &= ~xonBits;
        break;
    case TXOnXOffControl::xcInput:
        t.c_iflag = (t.c_iflag & ~xonBits) | IXOFF;
        break;
    case TXOnXOffControl::xcOutput:
        t.c_iflag = (t.c_iflag & ~xonBits) | IXON;
        break;
    case TXOnXOffControl::xcInputOutput:
        t.c_iflag |= xonBits;
        break;
    }
    t.c_cc[VSTART] = static_cast<cc_t>(characters_.XOn);
    t.c_cc[VSTOP] = static_cast<cc_t>(characters_.XOff);

    const std::int32_t rate = BaudRateValue(baudRate_, customBaudRate_);
    bool customRate = false;
    if (baudRate_ != TBaudRate::brDefault) {
        if (rate <= 0)
            RaiseOsError(EINVAL);
        const speed_t standard = TermiosSpeedOfRate(rate);
        if (standard != 0)
            cfsetspeed(&t, standard);
        else
            customRate = true;
    }
    if (tcsetattr(fd_, TCSANOW, &t) != 0)
        RaiseOsError(errno);
    if (customRate) {
        if (const int err = SetCustomSpeed(fd_, static_cast<unsigned>(rate)); err != 0)
            RaiseOsError(err);
    }

    if (flowControl_.DTR == TDTRControl::dcDisable || flowControl_.DTR == TDTRControl::dcEnable)
        SetModemLine(fd_, TIOCM_DTR, flowControl_.DTR == TDTRControl::dcEnable);
    if (flowControl_.RTS == TRTSControl::rcDisable || flowControl_.RTS == TRTSControl::rcEnable)
        SetModemLine(fd_, TIOCM_RTS, flowControl_.RTS == TRTSControl::rcEnable);
}

void TCustomComPort::ReleasePort() noexcept {
    if (thread_) {
        thread_->Stop();
        thread_.reset();
    }
    if (fd_ >= 0) {
        // The exclusive flag outlives our descriptor on a pty whose far end stays open, and
        // would lock an ordinary user out of the next action. Output is not flushed: a
        // frame handed over is a frame sent.
        if (exclusive_)
            ioctl(fd_, TIOCNXCL);
        close(fd_);
    }
    fd_ = -1;
    exclusive_ = false;
    writePending_ = false;
}

void TCustomComPort::ClearInput() {
    if (Active() && tcflush(fd_, TCIFLUSH) != 0)
        RaiseOsError(errno);
}

void TCustomComPort::ClearOutput() {
    if (Active() && writePending_) {
        if (tcdrain(fd_) != 0)
            RaiseOsError(errno);
        writePending_ = false;
    }
}

void TCustomComPort::CheckLineErrors() {
    RequireOpen();
    // Framing, overrun, parity and break counts are read and dropped: nobody is told.
    serial_icounter_struct counters{};
    if (ioctl(fd_, TIOCGICOUNT, &counters) != 0 && !NotSupportedByDevice(errno))
        RaiseOsError(errno);
}

void TCustomComPort::ClearLineErrors() {
    CheckLineErrors();
}

bool TCustomComPort::LineHungUp() const {
    if (!Active())
        return false;
    pollfd p{fd_, 0, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR)) != 0;
}

std::int32_t TCustomComPort::InputCount() {
    RequireOpen();
    int count = 0;
    if (ioctl(fd_, FIONREAD, &count) != 0)
        RaiseOsError(errno);
    return count;
}

void TCustomComPort::Write(const void* buffer, std::int32_t count, bool waitForCompletion) {
    RequireOpen();
    const char* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    const std::size_t total = count > 0 ? static_cast<std::size_t>(count) : 0;
    while (done < total) {
        const ssize_t n = write(fd_, bytes + done, total - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            writePending_ = true;
        } else if (n < 0 && errno == EAGAIN) {
            // The driver's queue is full: wait for room, without limit. A hang-up wakes
            // the wait too, and the write then fails with the device's error.
            pollfd p{fd_, POLLOUT, 0};
            if (poll(&p, 1, -1) < 0 && errno != EINTR)
                RaiseOsError(errno);
        } else if (n < 0 && errno != EINTR) {
            RaiseOsError(errno);
        } else if (n == 0) {
            throw EComError(TimeoutMessage, 0);
        }
    }
    // The driver hands the bytes on from a kernel worker that usually waits for this CPU:
    // give it up once, so the frame reaches the line now rather than when this thread next
    // sleeps (on a pseudo-terminal that was 100 to 200 microseconds per frame).
    sched_yield();
    if (waitForCompletion)
        WaitForWriteCompletion();
}

void TCustomComPort::WaitForWriteCompletion() {
    RequireOpen();
    if (writePending_) {
        while (tcdrain(fd_) != 0) {
            if (errno != EINTR)
                RaiseOsError(errno);
        }
        writePending_ = false;
    }
    CheckLineErrors();
}

ByteString TCustomComPort::ReadAnsiString() {
    const std::int32_t count = InputCount();
    ByteString bytes;
    if (count <= 0)
        return bytes;
    bytes.resize(static_cast<std::size_t>(count));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = read(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno != EAGAIN)
            RaiseOsError(errno);
        else
            break;
    }
    if (done != bytes.size())
        throw EComError(TimeoutMessage, 0);
    return bytes;
}
