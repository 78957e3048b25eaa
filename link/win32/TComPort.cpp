// SPDX-License-Identifier: Apache-2.0
// The port component over Win32: \\.\COMn opened exclusively for overlapped I/O, its line set
// through the DCB.
#include "TComPort.h"
#include "untComErrors.h"
#include "untPortList.h"
#include "untWideText.h"

#include <QAbstractEventDispatcher>

#include <cerrno>

#include <windows.h>

namespace {

const char* const TimeoutMessage = "Timeout";

HANDLE Native(TPortHandle handle) {
    return static_cast<HANDLE>(handle);
}

// One overlapped call with an event of its own, waited for to its end.
class TOverlappedCall {
public:
    TOverlappedCall() {
        call_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (call_.hEvent == nullptr)
            RaiseWin32Error(GetLastError());
    }
    ~TOverlappedCall() { CloseHandle(call_.hEvent); }
    TOverlappedCall(const TOverlappedCall&) = delete;
    TOverlappedCall& operator=(const TOverlappedCall&) = delete;

    OVERLAPPED* Get() { return &call_; }

    // The bytes moved by a call that returned `started`.
    DWORD Finish(HANDLE port, BOOL started) {
        if (!started && GetLastError() != ERROR_IO_PENDING)
            RaiseWin32Error(GetLastError());
        DWORD done = 0;
        if (!GetOverlappedResult(port, &call_, &done, TRUE))
            RaiseWin32Error(GetLastError());
        return done;
    }

private:
    OVERLAPPED call_{};
};

COMSTAT LineStatus(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    // Framing, overrun, parity and break flags are read and dropped: nobody is told.
    if (!ClearCommError(port, &errors, &status))
        RaiseWin32Error(GetLastError());
    return status;
}

BYTE ByteSizeOf(TDataBits bits, BYTE current) {
    switch (bits) {
    case TDataBits::dbDefault:
        return current;
    case TDataBits::db5:
        return 5;
    case TDataBits::db6:
        return 6;
    case TDataBits::db7:
        return 7;
    case TDataBits::db8:
        return 8;
    default:
        RaiseWin32Error(ERROR_INVALID_PARAMETER); // 4, 9 and 16 data bits: no UART has them
    }
}

BYTE ParityOf(TParity parity, BYTE current) {
    switch (parity) {
    case TParity::paNone:
        return NOPARITY;
    case TParity::paOdd:
        return ODDPARITY;
    case TParity::paEven:
        return EVENPARITY;
    case TParity::paMark:
        return MARKPARITY;
    case TParity::paSpace:
        return SPACEPARITY;
    default:
        return current;
    }
}

BYTE StopBitsOf(TStopBits bits, BYTE current) {
    switch (bits) {
    case TStopBits::sb1:
        return ONESTOPBIT;
    case TStopBits::sb1_5:
        return ONE5STOPBITS;
    case TStopBits::sb2:
        return TWOSTOPBITS;
    default:
        return current;
    }
}

} // namespace

void TCustomComPort::DoOpen() {
    ReleasePort();
    const std::wstring path = WideFromUtf8(PortDevicePath(deviceName_));
    // No sharing: a serial port belongs to one program at a time.
    const HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        RaiseWin32Error(GetLastError());
    fd_ = port;
    exclusive_ = true;
    try {
        // The queue sizes are a recommendation the driver may ignore.
        SetupComm(port, static_cast<DWORD>(bufferSizes_.Input),
                  static_cast<DWORD>(bufferSizes_.Output));
        // Only input is purged: output that is queued belongs to a frame already handed over.
        if (!PurgeComm(port, PURGE_RXCLEAR))
            RaiseWin32Error(GetLastError());
        ApplyLineSettings();
        // A read waits for its first byte without limit and returns once the line has been
        // quiet for a millisecond; the watcher's pending read is how arrivals are seen (a
        // pseudo-terminal under Wine has no receive events to wait for). Writes have no
        // time-out: they complete when the bytes are out.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = 1;
        if (!SetCommTimeouts(port, &timeouts))
            RaiseWin32Error(GetLastError());
        // Without an event loop on this thread nothing could be delivered: reads then take
        // what the driver holds.
        if ((OnRxChar || OnHangUp) && QAbstractEventDispatcher::instance() != nullptr)
            thread_ = std::make_unique<TComThread>(*this, fd_);
    } catch (...) {
        ReleasePort();
        throw;
    }
}

void TCustomComPort::ApplyLineSettings() {
    const HANDLE port = Native(fd_);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb))
        RaiseWin32Error(GetLastError());
    dcb.fBinary = TRUE;
    if (baudRate_ != TBaudRate::brDefault) {
        const std::int32_t rate = BaudRateValue(baudRate_, customBaudRate_);
        if (rate <= 0)
            RaiseWin32Error(ERROR_INVALID_PARAMETER);
        dcb.BaudRate = static_cast<DWORD>(rate); // the driver takes any rate it can divide to
    }
    dcb.ByteSize = ByteSizeOf(dataBits_, dcb.ByteSize);
    dcb.Parity = ParityOf(parity_, dcb.Parity);
    dcb.StopBits = StopBitsOf(stopBits_, dcb.StopBits);
    dcb.fParity = options_.test(OptionBit(TComOption::coParityCheck));
    dcb.fOutxCtsFlow = flowControl_.RTS == TRTSControl::rcHandshake ||
                       options_.test(OptionBit(TComOption::coOutxCtsFlow));
    dcb.fOutxDsrFlow = options_.test(OptionBit(TComOption::coOutxDsrFlow));
    dcb.fDsrSensitivity = options_.test(OptionBit(TComOption::coDsrSensitivity));
    dcb.fTXContinueOnXoff = options_.test(OptionBit(TComOption::coTxContinueOnXoff));
    dcb.fErrorChar = options_.test(OptionBit(TComOption::coErrorChar));
    dcb.fNull = options_.test(OptionBit(TComOption::coNullStrip));
    dcb.fAbortOnError = options_.test(OptionBit(TComOption::coAbortOnError));
    switch (flowControl_.DTR) {
    case TDTRControl::dcDisable:
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        break;
    case TDTRControl::dcEnable:
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        break;
    case TDTRControl::dcHandshake:
        dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
        break;
    case TDTRControl::dcDefault:
        break;
    }
    switch (flowControl_.RTS) {
    case TRTSControl::rcDisable:
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        break;
    case TRTSControl::rcEnable:
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        break;
    case TRTSControl::rcHandshake:
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        break;
    case TRTSControl::rcToggle:
        dcb.fRtsControl = RTS_CONTROL_TOGGLE;
        break;
    case TRTSControl::rcDefault:
        break;
    }
    switch (flowControl_.XOnXOff) {
    case TXOnXOffControl::xcDisable:
        dcb.fOutX = dcb.fInX = FALSE;
        break;
    case TXOnXOffControl::xcInput:
        dcb.fOutX = FALSE;
        dcb.fInX = TRUE;
        break;
    case TXOnXOffControl::xcOutput:
        dcb.fOutX = TRUE;
        dcb.fInX = FALSE;
        break;
    case TXOnXOffControl::xcInputOutput:
        dcb.fOutX = dcb.fInX = TRUE;
        break;
    case TXOnXOffControl::xcDefault:
        break;
    }
    if (flowControl_.XOnLimit != 0)
        dcb.XonLim = flowControl_.XOnLimit;
    if (flowControl_.XOffLimit != 0)
        dcb.XoffLim = flowControl_.XOffLimit;
    dcb.XonChar = static_cast<char>(characters_.XOn);
    dcb.XoffChar = static_cast<char>(characters_.XOff);
    dcb.ErrorChar = static_cast<char>(characters_.Error);
    dcb.EofChar = static_cast<char>(characters_.Eof);
    dcb.EvtChar = static_cast<char>(characters_.Event);
    if (!SetCommState(port, &dcb))
        RaiseWin32Error(GetLastError());
}

void TCustomComPort::ReleasePort() noexcept {
    if (thread_) {
        thread_->Stop();
        thread_.reset();
    }
    // Output is not purged: a frame handed over is a frame sent.
    if (fd_ != InvalidPortHandle)
        CloseHandle(Native(fd_));
    fd_ = InvalidPortHandle;
    exclusive_ = false;
    writePending_ = false;
    received_.clear();
}

void TCustomComPort::ClearInput() {
    if (!Active())
        return;
    received_.clear();
    // The watcher's read stays pending: it belongs to the next arrival.
    if (!PurgeComm(Native(fd_), PURGE_RXCLEAR))
        RaiseWin32Error(GetLastError());
}

// A write completes only when the driver has sent its bytes (no write time-outs are set), so
// nothing is pending here. FlushFileBuffers is not used: Wine's discards what a pseudo-terminal
// still holds.
void TCustomComPort::ClearOutput() {
    writePending_ = false;
}

void TCustomComPort::CheckLineErrors() {
    RequireOpen();
    LineStatus(Native(fd_));
}

void TCustomComPort::ClearLineErrors() {
    CheckLineErrors();
}

bool TCustomComPort::LineHungUp() const {
    if (!Active())
        return false;
    DWORD errors = 0;
    COMSTAT status{};
    return !ClearCommError(Native(fd_), &errors, &status) && LinkErrorOf(GetLastError()) == ENODEV;
}

std::int32_t TCustomComPort::InputCount() {
    RequireOpen();
    // With a watcher the driver's queue is what its pending read has not taken yet, and is
    // taken on the next arrival event.
    if (thread_)
        return static_cast<std::int32_t>(received_.size());
    return static_cast<std::int32_t>(received_.size() + LineStatus(Native(fd_)).cbInQue);
}

void TCustomComPort::Write(const void* buffer, std::int32_t count, bool waitForCompletion) {
    RequireOpen();
    if (count <= 0)
        return;
    TOverlappedCall call;
    const BOOL started =
        WriteFile(Native(fd_), buffer, static_cast<DWORD>(count), nullptr, call.Get());
    // Without write time-outs a write that succeeds has written everything; Wine reports
    // no count for an overlapped write to a serial device, so none is asked for.
    call.Finish(Native(fd_), started);
    writePending_ = true;
    if (waitForCompletion)
        WaitForWriteCompletion();
}

void TCustomComPort::WaitForWriteCompletion() {
    RequireOpen();
    writePending_ = false;
    CheckLineErrors();
}

ByteString TCustomComPort::ReadAnsiString() {
    RequireOpen();
    ByteString bytes = std::move(received_);
    received_.clear();
    if (thread_)
        return bytes;
    const DWORD queued = LineStatus(Native(fd_)).cbInQue;
    if (queued == 0)
        return bytes;
    const std::size_t had = bytes.size();
    bytes.resize(had + queued);
    TOverlappedCall call;
    const BOOL started = ReadFile(Native(fd_), bytes.data() + had, queued, nullptr, call.Get());
    const DWORD got = call.Finish(Native(fd_), started);
    if (got != queued)
        throw EComError(TimeoutMessage, 0);
    return bytes;
}
