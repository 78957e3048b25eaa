// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ByteString.h"
#include "TComPort.h"
#include "untEventWait.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Link result codes.
constexpr int COMM_OK = 0;
constexpr int COMM_NOT_OPEN = 1;
constexpr int COMM_BUSY = 2;
constexpr int COMM_TIMEOUT = 3;

// Why the last open failed: the OS's error number (0 for none, or when the failure was not
// the OS's) and its text.
struct TOpenError {
    int Code = 0;
    std::string Text;
};

// One connection to one port, for one action. Used on the thread that opened it: its receive
// events and its hang-up arrive in that thread's event loop. Several connections (on several
// ports and threads) may be open at once.
class TCommConnection {
public:
    TCommConnection();
    ~TCommConnection();
    TCommConnection(const TCommConnection&) = delete;
    TCommConnection& operator=(const TCommConnection&) = delete;

    // Port name N opens /dev/N, or the published virtual port N (a path opens as it is).
    // Closes an open port first.
    bool Open(const std::string& portName, int baudRate);
    // Always ends closed with the port released; never raises. Written bytes are not discarded.
    void Close();
    // COMM_OK once the frame is transmitted; COMM_NOT_OPEN when closed or when the write failed.
    int Send(const ByteString& frame);
    // Writes the request and gathers the reply until complete or the time-out has passed.
    // A hang-up, before or during the wait, ends it at once with COMM_NOT_OPEN and the port
    // released. Any other error of the port itself (EComError) is passed on to the caller with
    // the busy state cleared.
    int Query(const ByteString& request, ByteString& reply, int& length, bool terminatorMode,
              std::uint8_t terminator);
    void SetQueryTimeout(int ms);
    // Two more ways for an exchange to end as a time-out before its reply time-out (0: off,
    // the default): no byte came within firstByteMs of the write, or bytes came and then none
    // for gapMs before the reply was complete. They hold until set again. A search passes
    // over a silent line speed this way without waiting out a reply that may be long.
    // readMs (0: off) bounds the reading once the first byte came, however the bytes flow.
    void SetReplyLimits(int firstByteMs, int gapMs, int readMs = 0);
    // Ends each exchange as a time-out as soon as `giveUp` holds for the bytes gathered so
    // far, unless the reply is complete (empty: off, the default). Holds until set again.
    void SetReplyCut(std::function<bool(const ByteString& sofar)> giveUp);
    // Sleeps in the event loop for ms milliseconds. Ends early (false) when the line hangs up,
    // the connection is cancelled or the thread's event loop quits.
    bool Wait(int ms);

    // From the connection's thread (a queued call, say): ends the wait in progress and makes
    // every later wait and exchange end at once, with the port released, until the next Open.
    void Cancel();
    // Once `*ending` holds (it may be set from any thread), the connection is as good as
    // cancelled: no frame leaves and every wait and exchange ends at once, even before the
    // queued Cancel arrives. Null: none.
    void SetEndingFlag(const std::atomic<bool>* ending) { ending_ = ending; }
    // No time-out longer than this (0: none); for tests that feed many replies.
    void SetTimeoutCap(int ms) { timeoutCap_ = ms; }

    bool IsOpen() const { return open_; }
    // The line hung up since the last Open (the device or the far end went away).
    bool HungUp() const { return hungUp_; }
    bool Cancelled() const { return cancelled_ || (ending_ != nullptr && ending_->load()); }
    // The reason of the last failed Open (Code 0 and empty after a successful one).
    const TOpenError& LastOpenError() const { return openError_; }

    // The receive handler bound to the port.
    void RxChar(TCustomComPort& sender);

private:
    bool ReplyComplete(std::int32_t expectedLength, bool terminatorMode,
                       std::uint8_t terminator) const;
    void LineLost();
    bool Interrupted() const { return hungUp_ || Cancelled(); }
    std::chrono::milliseconds Capped(std::int64_t ms) const;

    std::unique_ptr<TComPort> port_;
    bool open_ = false;
    bool busy_ = false;
    bool hungUp_ = false;
    bool cancelled_ = false;
    const std::atomic<bool>* ending_ = nullptr;
    ByteString rxBuffer_;
    std::uint32_t queryTimeout_ = 1000;
    int firstByteLimit_ = 0;
    int gapLimit_ = 0;
    int readLimit_ = 0;
    std::function<bool(const ByteString&)> replyCut_;
    std::chrono::steady_clock::time_point firstRx_{};
    std::chrono::steady_clock::time_point lastRx_{};
    int timeoutCap_ = 0;
    TOpenError openError_;
    TEventWait wait_;
};

TBaudRate ToBaudRate(int rate);

// Fills `target` with the machine's serial ports and the published virtual ports, sorted;
// false (target untouched) when the source cannot be read.
bool ListComPorts(std::vector<std::string>& target);
