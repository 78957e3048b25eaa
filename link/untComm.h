#pragma once

#include "ByteString.h"
#include "TComPort.h"

#include <cstdint>
#include <string>
#include <vector>

// Link result codes.
constexpr int COMM_OK = 0;
constexpr int COMM_NOT_OPEN = 1;
constexpr int COMM_BUSY = 2;
constexpr int COMM_TIMEOUT = 3;

// One connection per user action. Port name N opens /dev/N, or the published virtual port N.
bool OpenComm(const std::string& portName, int baudRate);
// Always ends closed with the port released; never raises. Written bytes are not discarded.
void CloseComm();
// COMM_OK once the frame is transmitted; COMM_NOT_OPEN when closed or when the write failed.
int SendComm(const ByteString& frame);
void CommRxChar(TCustomComPort& sender);

// Writes the request and gathers the reply until complete or QueryTimeout has passed.
// An error of the port itself (EComError, e.g. the device gone before the request went out)
// is passed on to the caller with the connection's busy state cleared.
int QueryComm(const ByteString& request, ByteString& reply, int& length, bool terminatorMode,
              std::uint8_t terminator);
void SetQueryTimeout(int ms);
// Keeps the event loop running (and receive events flowing) for ms milliseconds.
void MessageWait(int ms);

TBaudRate ToBaudRate(int rate);

// Fills `target` with the machine's serial ports and the published virtual ports, sorted;
// false (target untouched) when the source cannot be read.
bool ListComPorts(std::vector<std::string>& target);

// The connection's state, for callers that report it.
bool CommIsOpen();
// The OS's reason for the last failed OpenComm ("" when the last open succeeded).
std::string LastOpenError();
