// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "VdOptions.h"

// Publishes the pty, serves the host until a signal or a hang-up, withdraws the port.
// Returns the program's exit status.
int RunVirtualDisplay(const VdOptions& options);
