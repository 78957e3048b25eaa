// SPDX-License-Identifier: Apache-2.0
#pragma once

// The commands of vylctl, each run to its end.

#include "untCliExitCodes.h"
#include "untCliOptions.h"
#include "untCliOutput.h"

// The command of the options, by its row of the command table.
TExitCode RunCliCommand(const TCliOptions& options, TCliOutput& out);

// The handlers the rows name.
TExitCode CliPorts(const TCliOptions& options, TCliOutput& out);
TExitCode CliFind(const TCliOptions& options, TCliOutput& out);
TExitCode CliGet(const TCliOptions& options, TCliOutput& out);
TExitCode CliSet(const TCliOptions& options, TCliOutput& out);
TExitCode CliApply(const TCliOptions& options, TCliOutput& out);
TExitCode CliSave(const TCliOptions& options, TCliOutput& out);
TExitCode CliShowText(const TCliOptions& options, TCliOutput& out);
TExitCode CliClear(const TCliOptions& options, TCliOutput& out);
TExitCode CliRestart(const TCliOptions& options, TCliOutput& out);
TExitCode CliPattern(const TCliOptions& options, TCliOutput& out);
