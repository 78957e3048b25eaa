// SPDX-License-Identifier: Apache-2.0
// How fast the utility answers a display on Windows, seen from the display: the time from the
// display's handshake answer to the next frame it receives, for "Setting" of the command set
// (handshake, then 02 43 xx) through the display session, against a minimal Win32 client doing
// the same exchange on the same COM port. The display is the Linux build's virtual display
// (--instant --trace) on a pty that Wine maps to the COM port, so both series are timed alike
// from its trace, and whatever Wine's serial layer costs is in both.
//
// The series run interleaved, so that whatever else loads the machine loads them alike:
//  - session: the action on a display session (the session's own port component);
//  - minimal: CreateFile, the DCB, the handshake request, ReadFile of the answer's 35 bytes,
//    the frame at once, CloseHandle.
// Usage: vyl_session_bench.exe COMn BAUD TRACE_FILE [actions per series, default 100]
// Figures are printed, never asserted.

#include "BenchFigures.h"
#include "BenchHandshake.h"
#include "BenchSeries.h"
#include "untDisplaySession.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <windows.h>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

class THandle {
public:
    explicit THandle(HANDLE h) : h_(h) {}
    ~THandle() {
        if (Valid())
            CloseHandle(h_);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

bool WriteAll(HANDLE port, const ByteString& bytes) {
    DWORD written = 0;
    return WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The floor: the same exchange with nothing between the program and the port but the system.
bool MinimalExchange(const std::wstring& device, int baud, const TRequest& request,
                     const ByteString& frame, std::string& error) {
    const THandle port(CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!port.Valid()) {
        error = "CreateFile failed, error " + std::to_string(GetLastError());
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port.Get(), &dcb);
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = FALSE;
    // A read returns once it has all it asked for, or after 500 ms. (The "any byte at once"
    // form, MAXDWORD/MAXDWORD/n, waits out the whole time under Wine.)
    COMMTIMEOUTS timeouts{0, 0, 500, 0, 500};
    if (!SetCommState(port.Get(), &dcb) || !SetCommTimeouts(port.Get(), &timeouts)) {
        error = "the port's settings were refused, error " + std::to_string(GetLastError());
        return false;
    }
    PurgeComm(port.Get(), PURGE_RXCLEAR);
    ByteString answer;
    bool written = WriteAll(port.Get(), request.Frame);
    const auto limit = Clock::now() + 500ms;
    while (written && answer.size() < 35 && Clock::now() < limit) {
        char buffer[35];
        DWORD got = 0;
        if (!ReadFile(port.Get(), buffer, static_cast<DWORD>(35 - answer.size()), &got, nullptr))
            break;
        answer.append(buffer, got);
    }
    if (answer.size() >= 35)
        written = WriteAll(port.Get(), frame);
    if (answer.size() < 35 || !written) {
        error = "the display did not answer the handshake";
        return false;
    }
    // Checked after the frame has gone: the floor does no more than the wire needs.
    if (!AnswersChallenge(answer, request)) {
        error = "the display's answer did not decipher to the challenge";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 4) {
        std::printf("usage: %s COMn BAUD TRACE_FILE [actions per series]\n", argv[0]);
        return 2;
    }
    const std::string portName = argv[1];
    const int baud = std::atoi(argv[2]);
    const int actions = argc > 4 ? std::max(1, std::atoi(argv[4])) : 100;
    const std::wstring device = L"\\\\.\\" + std::wstring(portName.begin(), portName.end());

    TDisplaySession session;
    session.SetTarget({portName, baud});
    TTraceReader reader(argv[3]);
    reader.ReadNew();
    std::mt19937 random(std::random_device{}());
    const ByteString commandFrame("\x02\x43\x30", 3);

    TSeries own{"session", {}, {}, 0};
    TSeries minimal{"minimal", {}, {}, 0};
    const auto runSession = [&] {
        if (!session.SetCommand(0))
            return false;
        const TActionResult result = session.WaitForResult();
        return result.HandShake == 0 && result.Sent;
    };
    const auto runMinimal = [&] {
        std::string why;
        const bool ok = MinimalExchange(device, baud, StandardRequest(random), commandFrame, why);
        if (!ok)
            std::printf("minimal client: %s\n", why.c_str());
        return ok;
    };

    std::printf("session bench on Windows: %d actions per series, %s at %d baud\n", actions,
                portName.c_str(), baud);
    const auto t0 = Clock::now();
    // One of each first, not counted: the first run loads what later runs find ready.
    for (int i = -1; i < actions; ++i) {
        Measure(own, reader, runSession, i >= 0);
        Measure(minimal, reader, runMinimal, i >= 0);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("from the display's handshake answer to the next frame it received (its trace):\n");
    PrintSeries(own);
    PrintSeries(minimal);
    const TDistribution s = Distribution(own.GapMicros);
    const TDistribution m = Distribution(minimal.GapMicros);
    if (m.N > 0 && m.Median > 0 && m.P99 > 0)
        std::printf("ratio to the minimal Win32 client: session median %.2fx, p99 %.2fx\n",
                    s.Median / m.Median, s.P99 / m.P99);
    std::printf("ran %.1f s\n", seconds);
    return 0;
}
