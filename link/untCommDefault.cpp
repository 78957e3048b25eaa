// SPDX-License-Identifier: Apache-2.0
#include "untCommDefault.h"

#include <chrono>

TCommConnection& DefaultConnection() {
    static TCommConnection connection;
    return connection;
}

bool OpenComm(const std::string& portName, int baudRate) {
    return DefaultConnection().Open(portName, baudRate);
}

void CloseComm() {
    DefaultConnection().Close();
}

int SendComm(const ByteString& frame) {
    return DefaultConnection().Send(frame);
}

int QueryComm(const ByteString& request, ByteString& reply, int& length, bool terminatorMode,
              std::uint8_t terminator) {
    return DefaultConnection().Query(request, reply, length, terminatorMode, terminator);
}

void SetQueryTimeout(int ms) {
    DefaultConnection().SetQueryTimeout(ms);
}

void MessageWait(int ms) {
    TEventWait wait;
    const auto deadline = TEventWait::Clock::now() + std::chrono::milliseconds(ms);
    while (TEventWait::Clock::now() < deadline)
        if (wait.WaitUntil(deadline) == TEventWait::TEnd::Quit)
            return;
}

bool CommIsOpen() {
    return DefaultConnection().IsOpen();
}

std::string LastOpenError() {
    return DefaultConnection().LastOpenError().Text;
}
