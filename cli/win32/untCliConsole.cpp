// SPDX-License-Identifier: Apache-2.0
#include "untCliConsole.h"

#include "untWideText.h"

#include <windows.h>

#include <shellapi.h>

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i)
        args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
}
