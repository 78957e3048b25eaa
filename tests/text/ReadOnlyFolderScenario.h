// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

// Lays out the read-only folder scenario under `base` (owned by `uid` when not -1).
void PrepareReadOnlyFolder(const std::string& base, int uid);

// Runs the checks as the current (unprivileged) user; 0 when all held, failures on stderr.
int RunReadOnlyFolderScenario(const std::string& base);

// The command-line switch under which test_text runs the scenario in a child process.
inline constexpr const char* ReadOnlyFolderSwitch = "--read-only-folder";
