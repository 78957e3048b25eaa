// SPDX-License-Identifier: Apache-2.0
// What the port component is on every system: its settings, the checks on its state and the
// hand-off of its events to the handlers. The I/O itself is in the system's own file.
#include "TComPort.h"
#include "untLineSpeeds.h"

#include <QtGlobal>

namespace {

const char* const ClosedPortMessage = "Can't perform this operation on a closed port";
const char* const OpenPortMessage = "Can't perform this operation on an open port";

TComExceptionReport& ExceptionReport() {
    static TComExceptionReport report;
    return report;
}

// Runs a handler with its own copy (it may close or even destroy the port); what it raises goes
// to the exception report, never across the event loop.
void RunHandler(const std::function<void(TCustomComPort&)>& bound, TCustomComPort& port,
                const char* what) {
    const auto handler = bound;
    try {
        handler(port);
    } catch (const std::exception& e) {
        if (ExceptionReport())
            ExceptionReport()(e);
        else
            qWarning("%s handler failed: %s", what, e.what());
    }
}

} // namespace

void SetComExceptionReport(TComExceptionReport report) {
    ExceptionReport() = std::move(report);
}

std::int32_t BaudRateValue(TBaudRate rate, std::int32_t custom) {
    if (rate == TBaudRate::brCustom)
        return custom;
    return LineSpeeds[static_cast<std::size_t>(rate)].Rate;
}

TCustomComPort::TCustomComPort() = default;

TCustomComPort::~TCustomComPort() {
    ReleasePort();
}

void TCustomComPort::RequireOpen() const {
    if (!Active())
        throw EComError(ClosedPortMessage, 0);
}

void TCustomComPort::RequireClosed() const {
    if (Active())
        throw EComError(OpenPortMessage, 0);
}

void TCustomComPort::SetDeviceName(const std::string& name) {
    RequireClosed();
    deviceName_ = name;
}

void TCustomComPort::SetCustomBaudRate(std::int32_t rate) {
    customBaudRate_ = rate;
    baudRate_ = TBaudRate::brCustom;
    ApplyIfOpen();
}

void TCustomComPort::SetBaudRate(TBaudRate rate) {
    baudRate_ = rate;
    ApplyIfOpen();
}

void TCustomComPort::SetDataBits(TDataBits bits) {
    dataBits_ = bits;
    ApplyIfOpen();
}

void TCustomComPort::SetParity(TParity parity) {
    parity_ = parity;
    ApplyIfOpen();
}

void TCustomComPort::SetStopBits(TStopBits bits) {
    stopBits_ = bits;
    ApplyIfOpen();
}

void TCustomComPort::SetFlowControl(const TFlowControl& flow) {
    flowControl_ = flow;
    ApplyIfOpen();
}

void TCustomComPort::SetCharacters(const TCharacters& chars) {
    characters_ = chars;
    ApplyIfOpen();
}

void TCustomComPort::SetOptions(TComOptions options) {
    options_ = options;
    ApplyIfOpen();
}

// Time-outs and queue sizes have no per-port meaning here: reads only take what is
// queued, and writes wait until the bytes are transmitted.
void TCustomComPort::SetTimeouts(const TTimeouts& timeouts) {
    timeouts_ = timeouts;
}

void TCustomComPort::SetBufferSizes(const TBufferSizes& sizes) {
    bufferSizes_ = sizes;
}

void TCustomComPort::SetSynchronizeEvents(bool on) {
    RequireClosed();
    synchronizeEvents_ = on;
}

void TCustomComPort::ApplyIfOpen() {
    if (Active())
        ApplyLineSettings();
}

void TCustomComPort::SetActive(bool active) {
    if (active == Active())
        return;
    if (active)
        DoOpen();
    else
        Close();
}

void TCustomComPort::Close() {
    if (!Active())
        return;
    ReleasePort();
}

void TCustomComPort::WriteAnsiString(const ByteString& bytes) {
    Write(bytes.data(), static_cast<std::int32_t>(bytes.size()), false);
}

void TCustomComPort::DispatchHangUp() {
    if (!Active())
        return;
    Close();
    if (OnHangUp)
        RunHandler(OnHangUp, *this, "Hang-up");
}

void TCustomComPort::DispatchRxChar() {
    if (Active() && OnRxChar)
        RunHandler(OnRxChar, *this, "Receive");
}
