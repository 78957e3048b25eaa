// SPDX-License-Identifier: Apache-2.0
#pragma once

// The connection operations under the names the system's documents give them, on one default
// connection per process. Nothing in the program uses them: every action opens a
// TCommConnection of its own (untComm.h). They stay for the link's tests and benchmark, which
// exercise the documented operations by these names, and for a reader who looks for them.

#include "ByteString.h"
#include "untComm.h"

#include <cstdint>
#include <string>

// The connection the operations below work on (on the thread that uses it).
TCommConnection& DefaultConnection();

bool OpenComm(const std::string& portName, int baudRate);
void CloseComm();
int SendComm(const ByteString& frame);
int QueryComm(const ByteString& request, ByteString& reply, int& length, bool terminatorMode,
              std::uint8_t terminator);
void SetQueryTimeout(int ms);
// Keeps the event loop running (and receive events flowing) for ms milliseconds.
void MessageWait(int ms);

// The default connection's state, for callers that report it.
bool CommIsOpen();
// The OS's reason for the default connection's last failed OpenComm ("" after a success).
std::string LastOpenError();
