// SPDX-License-Identifier: Apache-2.0
#pragma once

// The commands of vylctl as rows (see untCliCommandTable.cpp).

#include "untCliExitCodes.h"
#include "untCliOptions.h"
#include "untCliOutput.h"
#include "untCliTexts.h"

#include <string>
#include <string_view>
#include <vector>

struct TCliCommandRow {
    TCliCommand Command;
    std::string_view Name;
    std::string_view Synopsis; // in the program's help: "set KEY=VALUE..."
    std::string_view Summary;  // beside it
    std::string_view Usage;    // after "Usage: vylctl "
    // The number of arguments it takes: at least Min, at most Max (-1: no limit), and what
    // they are, for the count message.
    int MinArguments;
    int MaxArguments;
    TCliText Arguments;
    // The options it takes besides those of every command.
    std::vector<std::string_view> Options;
    // Its help between the usage and the options of every command; Generated (when set)
    // adds what is made from the tables; Example follows the exit status.
    std::string_view Description;
    std::string (*Generated)();
    std::string_view Example;
    TExitCode (*Run)(const TCliOptions& options, TCliOutput& out);
};

const std::vector<TCliCommandRow>& CliCommands();
// The row of a command; nullptr for None.
const TCliCommandRow* CliCommandRow(TCliCommand command);
