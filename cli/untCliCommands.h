// SPDX-License-Identifier: Apache-2.0
#pragma once

// The commands of vylctl, each run to its end.

#include "untCliExitCodes.h"
#include "untCliOptions.h"
#include "untCliOutput.h"

TExitCode RunCliCommand(const TCliOptions& options, TCliOutput& out);
