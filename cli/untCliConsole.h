// SPDX-License-Identifier: Apache-2.0
#pragma once

// What vylctl needs of the console it runs in, one file per system.

#include <string>
#include <vector>

// The arguments after the program's name, as UTF-8. (Windows hands main() its arguments in the
// ANSI code page; the wide command line holds them whole.)
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the console show UTF-8 output as text (Chinese included); nothing to do on Linux.
void PrepareConsole();
