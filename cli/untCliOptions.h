// SPDX-License-Identifier: Apache-2.0
#pragma once

// The command line's words: a command, its arguments and the options, which may stand before
// or after the command ("--name value" or "--name=value"; "--" ends the options).

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TCliCommand { None, Ports, Find, Get, Set, Apply, Save, Text, Clear, Restart, Pattern };

struct TCliOptions {
    TCliCommand Command = TCliCommand::None;
    std::vector<std::string> Arguments; // after the command, in order
    std::optional<std::string> Port;
    std::optional<int> BaudRate; // bit/s, one of the speed list
    bool Json = false;
    bool Quiet = false;
    bool Force = false;
    bool AllPorts = false; // find: every listed port
    bool Help = false;
    bool Version = false;
    std::optional<int> Row;
    std::optional<int> Column;
    std::optional<int> CodePage; // row of the code page table
};

struct TCliParse {
    TCliOptions Options;
    QString Error; // the usage error, empty when the words make sense
};

TCliParse ParseCliArguments(const std::vector<std::string>& args);

std::string_view CommandName(TCliCommand command);
