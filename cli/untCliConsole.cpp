// SPDX-License-Identifier: Apache-2.0
#include "untCliConsole.h"

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    // The arguments as the shell gave them (UTF-8 bytes).
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareConsole() {}
