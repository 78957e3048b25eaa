// SPDX-License-Identifier: Apache-2.0
#include "TComPort.h"
#include "untComErrors.h"

#include <QWinEventNotifier>

#include <algorithm>
#include <array>

#include <windows.h>

// Windows tells of arrivals through a completed read: the watcher keeps a one-byte overlapped
// read pending (it waits for its byte without limit), and its event wakes the opening thread's
// event loop; what has come in behind that byte is taken at once. (A longer read would wait
// for the line to fall quiet, which a paced answer does not do before its end.) A read that
// fails means the line is gone: a USB adapter pulled out, or under Wine the far end of a
// pseudo-terminal closed.
struct TComThread::TShared {
    TCustomComPort* port = nullptr;
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED read{};
    bool pending = false;
    char first = 0;
    OVERLAPPED drain{};
    std::array<char, 4096> buffer{};
    QWinEventNotifier* notifier = nullptr;

    TShared() = default;
    TShared(const TShared&) = delete;
    TShared& operator=(const TShared&) = delete;
    ~TShared() {
        // Qt allows a notifier to be deleted from inside its own activation, which is where a
        // handler that closes the port ends up. The read must be over before its buffer and
        // event go.
        delete notifier;
        if (pending) {
            DWORD got = 0;
            CancelIoEx(handle, &read);
            GetOverlappedResult(handle, &read, &got, TRUE);
        }
        if (read.hEvent != nullptr)
            CloseHandle(read.hEvent);
        if (drain.hEvent != nullptr)
            CloseHandle(drain.hEvent);
    }

    // 0 once a read is pending (or already complete: its event is set either way).
    DWORD StartRead() {
        if (!ReadFile(handle, &first, 1, nullptr, &read) && GetLastError() != ERROR_IO_PENDING)
            return GetLastError();
        pending = true;
        return 0;
    }

    // Appends what the driver holds now to `target`; 0 or the error.
    DWORD Drain(ByteString& target) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle, &errors, &status))
            return GetLastError();
        DWORD left = status.cbInQue;
        while (left > 0) {
            const DWORD want = std::min<DWORD>(left, static_cast<DWORD>(buffer.size()));
            DWORD got = 0;
            // The bytes are there: the read completes at once.
            if (!ReadFile(handle, buffer.data(), want, nullptr, &drain) &&
                GetLastError() != ERROR_IO_PENDING)
                return GetLastError();
            if (!GetOverlappedResult(handle, &drain, &got, TRUE))
                return GetLastError();
            target.append(buffer.data(), got);
            left -= std::min(left, got);
            if (got == 0)
                break;
        }
        return 0;
    }
};

// Takes the completed read's byte and what followed it into the port and starts the next read
// before handing on, so that what arrives during a handler wakes the loop again. The port, and
// this watcher with it, may be gone when a handler returns: nothing is touched after a hand-off.
void TComThread::Deliver(TShared& shared) {
    DWORD got = 0;
    const BOOL done = GetOverlappedResult(shared.handle, &shared.read, &got, FALSE);
    if (!done && GetLastError() == ERROR_IO_INCOMPLETE)
        return;
    shared.pending = false;
    TCustomComPort* const port = shared.port;
    if (port == nullptr)
        return;
    if (done && got > 0)
        port->received_ += shared.first;
    if (!done || shared.Drain(port->received_) != 0 || shared.StartRead() != 0) {
        port->DispatchHangUp();
        return;
    }
    if (got > 0)
        port->DispatchRxChar();
}

TComThread::TComThread(TCustomComPort& port, TPortHandle portHandle)
    : shared_(std::make_unique<TShared>()) {
    shared_->port = &port;
    shared_->handle = static_cast<HANDLE>(portHandle);
    shared_->read.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shared_->drain.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (shared_->read.hEvent == nullptr || shared_->drain.hEvent == nullptr)
        RaiseWin32Error(GetLastError());
    shared_->notifier = new QWinEventNotifier(shared_->read.hEvent);
    TShared* const shared = shared_.get();
    QObject::connect(shared_->notifier, &QWinEventNotifier::activated, shared_->notifier,
                     [shared] { Deliver(*shared); });
    if (const DWORD error = shared_->StartRead(); error != 0)
        RaiseWin32Error(error);
}

TComThread::~TComThread() {
    Stop();
}

void TComThread::Stop() {
    if (!shared_)
        return;
    shared_->port = nullptr;
    if (shared_->notifier != nullptr)
        shared_->notifier->setEnabled(false);
    shared_.reset();
}
