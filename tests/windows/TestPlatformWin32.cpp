// SPDX-License-Identifier: Apache-2.0
#include "TestPlatform.h"

#include <windows.h>

namespace {

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace

bool ConverterIsWindows() {
    return true;
}

std::string ConverterGap(int page) {
    if (!RunningUnderWine())
        return {};
    switch (page) {
    case 858:
        return "Wine has no code page 858";
    case 932:
        return "Wine reads 932's single bytes A0, FD, FE and FF as nothing, Windows as "
               "U+F8F0-U+F8F3";
    case 864:
        return "Wine reads 864's 0x25 as the ASCII percent sign, Microsoft's table as U+066A";
    case 28598:
        return "Wine's 28598 lacks Microsoft's direction marks at 0xFD/0xFE and puts U+203E at "
               "0xAF";
    default:
        return {};
    }
}

bool ConverterLacks(int page) {
    return !IsValidCodePage(static_cast<UINT>(page));
}
