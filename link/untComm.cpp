#include "untComm.h"
#include "untPortList.h"
#include "untPublishedPorts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The connection: UI thread only.
std::unique_ptr<TComPort> CommPort;
bool CommOpen = false;
bool CommBusy = false;
ByteString RxBuffer;
std::uint32_t QueryTimeout = 1000;
std::string OpenError;
// The event loop of the exchange now waiting, quit early when bytes arrive.
QEventLoop* ReplyWait = nullptr;

// Runs the event loop until `deadline` (or, with `wakeOnReceive`, until CommRxChar has
// taken bytes): the thread sleeps in the loop, receive events and the UI keep running.
void WaitInEventLoop(Clock::time_point deadline, bool wakeOnReceive) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return;
    if (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(left);
        return;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(ms));
    QEventLoop* const outer = ReplyWait;
    if (wakeOnReceive)
        ReplyWait = &loop;
    loop.exec();
    ReplyWait = outer;
}

struct BusyGuard {
    BusyGuard() { CommBusy = true; }
    ~BusyGuard() { CommBusy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

bool ReplyComplete(std::int32_t expectedLength, bool terminatorMode, std::uint8_t terminator) {
    if (terminatorMode)
        return RxBuffer.find(static_cast<char>(terminator)) != ByteString::npos;
    return static_cast<std::int64_t>(RxBuffer.size()) >= expectedLength;
}

} // namespace

TBaudRate ToBaudRate(int rate) {
    switch (rate) {
    case 110:
        return TBaudRate::br110;
    case 300:
        return TBaudRate::br300;
    case 600:
        return TBaudRate::br600;
    case 1200:
        return TBaudRate::br1200;
    case 2400:
        return TBaudRate::br2400;
    case 4800:
        return TBaudRate::br4800;
    case 9600:
        return TBaudRate::br9600;
    case 14400:
        return TBaudRate::br14400;
    case 19200:
        return TBaudRate::br19200;
    case 38400:
        return TBaudRate::br38400;
    case 56000:
        return TBaudRate::br56000;
    case 57600:
        return TBaudRate::br57600;
    case 115200:
        return TBaudRate::br115200;
    case 128000:
        return TBaudRate::br128000;
    case 256000:
        return TBaudRate::br256000;
    default:
        return TBaudRate::brCustom;
    }
}

bool OpenComm(const std::string& portName, int baudRate) {
    if (CommOpen)
        CloseComm();
    CommPort.reset();
    auto port = std::make_unique<TComPort>();
    port->OnRxChar = CommRxChar;
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
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        CommOpen = port->Active();
        OpenError.clear();
    } catch (const std::exception& e) {
        CommOpen = false;
        OpenError = e.what();
    } catch (...) {
        CommOpen = false;
        OpenError = "Unknown error";
    }
    // A port object that failed to open is not kept: nothing is held between actions.
    if (CommOpen)
        CommPort = std::move(port);
    return CommOpen;
}

void CloseComm() {
    if (!CommOpen && !CommPort)
        return;
    try {
        if (CommPort) {
            CommPort->ClearInput();
            // Lets the last frame go out; output is never thrown away.
            CommPort->ClearOutput();
            CommPort->ClearLineErrors();
            CommPort->SetActive(false);
        }
    } catch (...) {
        // The port may already have been closed by its event thread (device gone).
    }
    // Whatever failed above, the connection ends closed and the port released.
    CommOpen = false;
    CommPort.reset();
}

int SendComm(const ByteString& frame) {
    if (!CommOpen || !CommPort)
        return COMM_NOT_OPEN;
    BusyGuard busy;
    try {
        CommPort->WriteAnsiString(frame);
        CommPort->WaitForWriteCompletion();
    } catch (...) {
        // The frame never left: no caller may report it as done.
        return COMM_NOT_OPEN;
    }
    return COMM_OK;
}

void CommRxChar(TCustomComPort& sender) {
    if (!CommBusy)
        return; // left queued until the next exchange or the close purges it
    RxBuffer += sender.ReadAnsiString();
    if (ReplyWait != nullptr)
        ReplyWait->quit();
}

int QueryComm(const ByteString& request, ByteString& reply, int& length, bool terminatorMode,
              std::uint8_t terminator) {
    if (!CommOpen || !CommPort)
        return COMM_NOT_OPEN;
    if (CommBusy)
        return COMM_BUSY;
    BusyGuard busy;
    RxBuffer.clear();
    CommPort->ClearInput();
    CommPort->Write(request.data(), static_cast<std::int32_t>(request.size()), true);
    const auto start = Clock::now();
    const auto timeout = std::chrono::milliseconds(QueryTimeout);
    // Timed out once more than QueryTimeout whole milliseconds have passed.
    const auto deadline = start + timeout + std::chrono::milliseconds(1);
    bool timedOut = false;
    for (;;) {
        // One look per arrival of bytes (or a millisecond when the reply is complete
        // already), instead of a look every millisecond: the result is the same and an
        // idle wait costs nothing.
        const bool complete = ReplyComplete(length, terminatorMode, terminator);
        const auto wakeAt =
            complete ? std::min(deadline, Clock::now() + std::chrono::milliseconds(1)) : deadline;
        WaitInEventLoop(wakeAt, true);
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        if (elapsed > timeout) {
            timedOut = true;
            break;
        }
        if (ReplyComplete(length, terminatorMode, terminator))
            break;
    }
    length = static_cast<int>(RxBuffer.size());
    reply = RxBuffer;
    return timedOut ? COMM_TIMEOUT : COMM_OK;
}

void SetQueryTimeout(int ms) {
    QueryTimeout = static_cast<std::uint32_t>(ms);
}

void MessageWait(int ms) {
    if (ms > 0)
        WaitInEventLoop(Clock::now() + std::chrono::milliseconds(ms), false);
}

bool ListComPorts(std::vector<std::string>& target) {
    return ListComPortsFrom("/sys/class/tty", "/dev", PublishedPortsDir(false), target);
}

bool CommIsOpen() {
    return CommOpen;
}

std::string LastOpenError() {
    return OpenError;
}
