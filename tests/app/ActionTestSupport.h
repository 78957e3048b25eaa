#pragma once

// Helpers for the device action tests: pressing a button until its action has ended, pointing
// the window at a port, and reading what the virtual display saw, connection by connection.

#include "VirtualDisplayProcess.h"
#include "frmuVylSetup.h"

#include <QAbstractButton>

#include <chrono>
#include <string>
#include <vector>

// The virtual display program built beside the tests.
inline const std::string VirtualDisplayProgram = VYL_VIRTUAL_DISPLAY;

// Clicks the button and runs the event loop until the window's action (if it started one) has
// ended, the queued end included. The elapsed time.
std::chrono::milliseconds Press(TfrmVylSetup& window, QAbstractButton* button);

// "Refresh", then the user's choice of the named port in cbb_SerialPort. False when the list
// does not hold the name.
bool ChoosePort(TfrmVylSetup& window, const std::string& name);

// One line of the display's trace: seconds since the epoch, the event and what follows it.
struct TTraceLine {
    double Time = 0;
    std::string Event;
    std::string Data;
};
std::vector<TTraceLine> TraceLines(const VirtualDisplayProcess& display);

// The frames received on each connection (OPEN to CLOSE), in order, once the display has seen
// `connections` closes (5 s at most). The two handshake requests read "HS" (standard) and
// "HSJ" (JavaPOS); IGNORED frames read "IGNORED " and their bytes.
std::vector<std::vector<std::string>> Connections(const VirtualDisplayProcess& display,
                                                  std::size_t connections);

// The time of the first RX line whose bytes begin with `prefix` (0 when there is none).
double FrameTime(const VirtualDisplayProcess& display, const std::string& prefix);
