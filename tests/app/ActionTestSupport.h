// SPDX-License-Identifier: Apache-2.0
#pragma once

// Helpers for the window's device action tests: pressing a button until its action has ended,
// pointing the window at a port.

#include "DisplayTrace.h"
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
