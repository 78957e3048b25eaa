// SPDX-License-Identifier: Apache-2.0
#pragma once

// The --help texts.

#include "untCliOptions.h"

#include <string>

// The whole program's for None, else the command's.
std::string CliHelpText(TCliCommand command);

// The parts of a command's help made from the tables: the settings `set` takes, the test
// patterns.
std::string SetKeysHelp();
std::string PatternHelp();
