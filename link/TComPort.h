// SPDX-License-Identifier: Apache-2.0
#pragma once

// Serial port component: settings objects, the port class and its event thread.
// (Declarations of the enums and the error type are fixed; the class body is the link's.)

#include "ByteString.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

enum class TBaudRate {
    brDefault,
    br50,
    br75,
    br110,
    br134_5,
    br150,
    br300,
    br600,
    br1200,
    br1800,
    br2000,
    br2400,
    br3600,
    br4800,
    br7200,
    br9600,
    br10400,
    br14400,
    br15625,
    br19200,
    br28800,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    brCustom
};
enum class TDataBits { dbDefault, db4, db5, db6, db7, db8, db9, db16, db16x };
enum class TParity { paDefault, paNone, paOdd, paEven, paMark, paSpace };
enum class TStopBits { sbDefault, sb1, sb1_5, sb2 };
enum class TDTRControl { dcDefault, dcDisable, dcEnable, dcHandshake };
enum class TRTSControl { rcDefault, rcDisable, rcEnable, rcHandshake, rcToggle };
enum class TXOnXOffControl { xcDefault, xcDisable, xcInput, xcOutput, xcInputOutput };

class EComError : public std::runtime_error {
public:
    EComError(const std::string& message, int errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

// Thread priorities and process priority classes are kept as settings only: the event thread
// always runs at normal priority (real-time scheduling can starve a small machine).
enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};
enum class TPriorityClass { pcDefault, pcIdle, pcNormal, pcHigh, pcRealTime };

// The eight line options; all off for the display's line.
enum class TComOption {
    coParityCheck,
    coOutxCtsFlow,
    coOutxDsrFlow,
    coDsrSensitivity,
    coTxContinueOnXoff,
    coErrorChar,
    coNullStrip,
    coAbortOnError
};
using TComOptions = std::bitset<8>;
inline std::size_t OptionBit(TComOption o) {
    return static_cast<std::size_t>(o);
}

struct TFlowControl {
    std::uint16_t XOnLimit = 0;  // bytes; no per-port equivalent on Linux, kept as settings
    std::uint16_t XOffLimit = 0; // bytes
    TDTRControl DTR = TDTRControl::dcDefault;
    TRTSControl RTS = TRTSControl::rcDefault;
    TXOnXOffControl XOnXOff = TXOnXOffControl::xcDefault;
};

struct TCharacters {
    std::uint16_t XOn = 17;
    std::uint16_t XOff = 19;
    std::uint16_t Error = 0;
    std::uint16_t Eof = 0;
    std::uint16_t Event = 0;
};

struct TBufferSizes {
    std::int32_t Input = 4096; // kept as settings: Linux has no per-port queue sizes
    std::int32_t Output = 2048;
};

// All zero: reads take only what is queued, writes wait until the bytes are out.
struct TTimeouts {
    std::uint32_t ReadInterval = 0;
    std::uint32_t ReadMultiplier = 0;
    std::uint32_t ReadConstant = 0;
    std::uint32_t WriteMultiplier = 0;
    std::uint32_t WriteConstant = 0;
};

class TCustomComPort;

// Receives exceptions thrown by OnRxChar handlers: they must not cross the event loop.
// Without a receiver they are logged with qWarning.
using TComExceptionReport = std::function<void(const std::exception&)>;
void SetComExceptionReport(TComExceptionReport report);

// The port's event watcher: no thread, whatever its name says (the name is the event thread's
// that it replaces). It stands where a separate event thread would stand, but waits in
// the event loop of the thread that opened the port: an edge-triggered epoll set on the port,
// watched by a socket notifier, gives one event per arrival of bytes and none while they lie
// unread. Receive events and hang-ups run on the opening thread without a hop between
// threads, and closing never waits for another thread.
class TComThread {
public:
    TComThread(TCustomComPort& port, int portFd); // throws EComError
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Stops watching; safe from inside an event this watcher delivers.
    void Stop();

    struct TShared;

private:
    static void Deliver(TShared& shared);

    std::unique_ptr<TShared> shared_;
};

// The serial port over termios. Every operation and every handler runs on the thread that
// opened the port.
class TCustomComPort {
public:
    TCustomComPort();
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // A port name ("ttyUSB0", "pts/3", a published virtual port) or an absolute path.
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& name); // raises on an open port

    std::int32_t CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(std::int32_t rate); // also sets BaudRate to brCustom
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate rate);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits bits);
    TParity Parity() const { return parity_; }
    void SetParity(TParity parity);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits bits);
    const TFlowControl& FlowControl() const { return flowControl_; }
    void SetFlowControl(const TFlowControl& flow);
    const TCharacters& Characters() const { return characters_; }
    void SetCharacters(const TCharacters& chars);
    TComOptions Options() const { return options_; }
    void SetOptions(TComOptions options);
    const TTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const TTimeouts& timeouts);
    const TBufferSizes& BufferSizes() const { return bufferSizes_; }
    void SetBufferSizes(const TBufferSizes& sizes);
    bool SynchronizeEvents() const { return synchronizeEvents_; }
    void
    SetSynchronizeEvents(bool on); // raises on an open port; events always reach the opening thread
    TThreadPriority ThreadPriority = TThreadPriority::tpTimeCritical;
    TPriorityClass PriorityClass = TPriorityClass::pcDefault;

    // Runs on the opening thread when bytes have arrived. Bound before the port opens: a port
    // opened without a handler watches nothing.
    std::function<void(TCustomComPort&)> OnRxChar;
    // Runs on the opening thread once the line has hung up (device unplugged, far end gone);
    // the port is closed by then, so the next read or write raises.
    std::function<void(TCustomComPort&)> OnHangUp;

    bool Active() const { return fd_ >= 0; }
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close();

    void ClearInput();  // drops what the driver has received
    void ClearOutput(); // waits until written bytes are out: output is never discarded
    void ClearLineErrors();
    void CheckLineErrors();
    std::int32_t InputCount();
    // True when the open port's line has hung up (device gone, far end closed).
    bool LineHungUp() const;

    void Write(const void* buffer, std::int32_t count, bool waitForCompletion);
    void WriteAnsiString(const ByteString& bytes);
    void WaitForWriteCompletion();
    ByteString ReadAnsiString();

    int Handle() const { return fd_; } // the OS descriptor, -1 when closed

private:
    friend class TComThread;
    void DoOpen();
    void ReleasePort() noexcept;
    void ApplyLineSettings();
    void ApplyIfOpen();
    void RequireOpen() const;
    void RequireClosed() const;
    void DispatchRxChar();
    void DispatchHangUp();

    std::string deviceName_ = "COM1";
    std::int32_t customBaudRate_ = 0;
    TBaudRate baudRate_ = TBaudRate::brDefault;
    TDataBits dataBits_ = TDataBits::dbDefault;
    TParity parity_ = TParity::paDefault;
    TStopBits stopBits_ = TStopBits::sbDefault;
    TFlowControl flowControl_;
    TCharacters characters_;
    TComOptions options_;
    TTimeouts timeouts_;
    TBufferSizes bufferSizes_;
    bool synchronizeEvents_ = true;

    int fd_ = -1;
    bool exclusive_ = false;    // TIOCEXCL set on fd_
    bool writePending_ = false; // bytes written, not yet known to be transmitted
    std::unique_ptr<TComThread> thread_;
};

class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

// The bit rate a TBaudRate member stands for (brCustom: `custom`; brDefault: 0).
std::int32_t BaudRateValue(TBaudRate rate, std::int32_t custom);
