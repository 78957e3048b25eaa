// SPDX-License-Identifier: Apache-2.0
#include "untComm.h"
#include "untLineSpeeds.h"

#include <algorithm>
#include <cerrno>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct BusyGuard {
    explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& flag_;
};

// An error that means the line is gone rather than a fault of ours: the far end hung up
// between the write and the drain, or the device was unplugged.
bool LineGone(const EComError& error, const TCustomComPort& port) {
    return error.ErrorCode == EIO || error.ErrorCode == ENXIO || error.ErrorCode == ENODEV ||
           port.LineHungUp();
}

} // namespace

TBaudRate ToBaudRate(int rate) {
    for (const TLineSpeed& row : LineSpeeds)
        if (row.FromRate && row.Rate == rate)
            return row.Member;
    return TBaudRate::brCustom;
}

TCommConnection::TCommConnection() = default;

TCommConnection::~TCommConnection() {
    Close();
}

bool TCommConnection::Open(const std::string& portName, int baudRate) {
    if (open_ || port_)
        Close();
    hungUp_ = false;
    cancelled_ = false;
    auto port = std::make_unique<TComPort>();
    port->OnRxChar = [this](TCustomComPort& sender) { RxChar(sender); };
    port->OnHangUp = [this](TCustomComPort&) { LineLost(); };
    try {
        port->SetDeviceName(portName);
        port->SetCustomBaudRate(baudRate);
        port->SetBaudRate(ToBaudRate(baudRate));
        port->SetStopBits(TStopBits::sb1);
        port->SetParity(TParity::paNone);
        port->SetDataBits(TDataBits::db8);
        TFlowControl flow;
        flow.XOnLimit = 2048;
        flow.XOffLimit = 512;
        flow.DTR = TDTRControl::dcDisable;
        flow.RTS = TRTSControl::rcDisable;
        flow.XOnXOff = TXOnXOffControl::xcDisable;
        port->SetFlowControl(flow);
        TTimeouts timeouts = port->Timeouts();
        timeouts.ReadInterval = 0;
        port->SetTimeouts(timeouts);
        port->SetSynchronizeEvents(true);
        port->SetActive(true);
        // Opening drops DTR and RTS and sets the line up; a display (and many USB adapters,
        // which apply settings asynchronously) needs a moment before the first frame, or its
        // first bytes can be lost.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        open_ = port->Active();
        openError_ = {};
    } catch (const EComError& e) {
        open_ = false;
        openError_ = {e.ErrorCode, e.what()};
    } catch (const std::exception& e) {
        open_ = false;
        openError_ = {0, e.what()};
    } catch (...) {
        open_ = false;
        openError_ = {0, "Unknown error"};
    }
    // A port object that failed to open is not kept: nothing is held between actions.
    if (open_)
        port_ = std::move(port);
    return open_;
}

void TCommConnection::Close() {
    if (!open_ && !port_)
        return;
    try {
        if (port_) {
            port_->ClearInput();
            // Lets the last frame go out; output is never thrown away.
            port_->ClearOutput();
            port_->ClearLineErrors();
            port_->SetActive(false);
        }
    } catch (...) {
        // The port may already have closed itself (line hung up).
    }
    // Whatever failed above, the connection ends closed and the port released.
    open_ = false;
    port_.reset();
}

void TCommConnection::LineLost() {
    hungUp_ = true;
    Close();
    wait_.Wake();
}

void TCommConnection::Cancel() {
    cancelled_ = true;
    Close();
    wait_.Wake();
}

std::chrono::milliseconds TCommConnection::Capped(std::int64_t ms) const {
    if (timeoutCap_ > 0 && ms > timeoutCap_)
        ms = timeoutCap_;
    return std::chrono::milliseconds(ms);
}

int TCommConnection::Send(const ByteString& frame) {
    if (!open_ || !port_ || Cancelled())
        return COMM_NOT_OPEN;
    BusyGuard busy(busy_);
    try {
        port_->WriteAnsiString(frame);
        port_->WaitForWriteCompletion();
    } catch (const EComError& e) {
        if (LineGone(e, *port_))
            LineLost();
        // The frame never left: no caller may report it as done.
        return COMM_NOT_OPEN;
    } catch (...) {
        return COMM_NOT_OPEN;
    }
    return COMM_OK;
}

void TCommConnection::RxChar(TCustomComPort& sender) {
    if (!busy_)
        return; // left queued until the next exchange or the close purges it
    try {
        const bool first = rxBuffer_.empty();
        rxBuffer_ += sender.ReadAnsiString();
        lastRx_ = Clock::now();
        if (first)
            firstRx_ = lastRx_;
    } catch (const EComError& e) {
        if (!LineGone(e, sender))
            throw;
        LineLost();
        return;
    }
    wait_.Wake();
}

bool TCommConnection::ReplyComplete(std::int32_t expectedLength, bool terminatorMode,
                                    std::uint8_t terminator) const {
    if (terminatorMode)
        return rxBuffer_.find(static_cast<char>(terminator)) != ByteString::npos;
    return static_cast<std::int64_t>(rxBuffer_.size()) >= expectedLength;
}

int TCommConnection::Query(const ByteString& request, ByteString& reply, int& length,
                           bool terminatorMode, std::uint8_t terminator) {
    if (!open_ || !port_ || Cancelled())
        return COMM_NOT_OPEN;
    if (busy_)
        return COMM_BUSY;
    BusyGuard busy(busy_);
    rxBuffer_.clear();
    try {
        port_->ClearInput();
        port_->Write(request.data(), static_cast<std::int32_t>(request.size()), true);
    } catch (const EComError& e) {
        if (!LineGone(e, *port_))
            throw;
        LineLost();
        return COMM_NOT_OPEN;
    }
    const auto start = Clock::now();
    const auto timeout = Capped(queryTimeout_);
    // Timed out once more than the time-out in whole milliseconds has passed.
    const auto deadline = start + timeout + std::chrono::milliseconds(1);
    // The end that the first-byte and gap limits set, as things stand.
    const auto limitEnd = [&] {
        if (rxBuffer_.empty() && firstByteLimit_ > 0)
            return std::min(deadline, start + std::chrono::milliseconds(firstByteLimit_ + 1));
        auto end = deadline;
        if (!rxBuffer_.empty() && gapLimit_ > 0)
            end = std::min(end, lastRx_ + std::chrono::milliseconds(gapLimit_ + 1));
        if (!rxBuffer_.empty() && readLimit_ > 0)
            end = std::min(end, firstRx_ + std::chrono::milliseconds(readLimit_ + 1));
        return end;
    };
    bool timedOut = false;
    for (;;) {
        // One look per arrival of bytes (or a millisecond when the reply is complete
        // already), instead of a look every millisecond: the result is the same and an
        // idle wait costs nothing.
        const bool complete = ReplyComplete(length, terminatorMode, terminator);
        const auto wakeAt =
            complete ? std::min(deadline, Clock::now() + std::chrono::milliseconds(1)) : limitEnd();
        if (wait_.WaitUntil(wakeAt) == TEventWait::TEnd::Quit && !Interrupted())
            Cancel();
        if (Interrupted())
            return COMM_NOT_OPEN;
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        if (elapsed > timeout) {
            timedOut = true;
            break;
        }
        if (ReplyComplete(length, terminatorMode, terminator))
            break;
        if (Clock::now() >= limitEnd() ||
            (replyCut_ && !rxBuffer_.empty() && replyCut_(rxBuffer_))) {
            timedOut = true;
            break;
        }
    }
    length = static_cast<int>(rxBuffer_.size());
    reply = rxBuffer_;
    return timedOut ? COMM_TIMEOUT : COMM_OK;
}

void TCommConnection::SetQueryTimeout(int ms) {
    queryTimeout_ = static_cast<std::uint32_t>(ms);
}

void TCommConnection::SetReplyLimits(int firstByteMs, int gapMs, int readMs) {
    firstByteLimit_ = std::max(firstByteMs, 0);
    gapLimit_ = std::max(gapMs, 0);
    readLimit_ = std::max(readMs, 0);
}

void TCommConnection::SetReplyCut(std::function<bool(const ByteString& sofar)> giveUp) {
    replyCut_ = std::move(giveUp);
}

bool TCommConnection::Wait(int ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (!Interrupted() && Clock::now() < deadline) {
        if (wait_.WaitUntil(deadline) == TEventWait::TEnd::Quit) {
            Cancel();
            break;
        }
    }
    return !Interrupted();
}
