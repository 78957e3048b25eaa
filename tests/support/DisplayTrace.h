// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the virtual display saw, read from its trace: lines, and frames connection by connection.

#include "TraceLine.h"
#include "VirtualDisplayProcess.h"

#include <string>
#include <vector>

std::vector<TTraceLine> TraceLines(const VirtualDisplayProcess& display);

// The frames received on each connection (OPEN to CLOSE), in order, once the display has seen
// `connections` closes (5 s at most). The two handshake requests read "HS" (standard) and
// "HSJ" (JavaPOS); IGNORED frames read "IGNORED " and their bytes.
std::vector<std::vector<std::string>> Connections(const VirtualDisplayProcess& display,
                                                  std::size_t connections);

// The time of the first RX line whose bytes begin with `prefix` (0 when there is none).
double FrameTime(const VirtualDisplayProcess& display, const std::string& prefix);
