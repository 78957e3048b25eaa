// SPDX-License-Identifier: Apache-2.0
#include "VdTerminal.h"

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untUtf16.h"

#include <cstdio>

namespace {

constexpr int kBoxLines = 4;

std::string Box(const DisplayState& state) {
    const TSystemInfo& s = state.Settings();
    std::string status = std::to_string(state.LineSpeed()) + " bit/s, " +
                         Utf16ToUtf8(NameOfNo(CodePageTable, s.Expand_Char_No)) + ", " +
                         std::to_string(s.back_light * 25) + "%";
    std::string box = "+" + std::string(kColumns, '-') + "+  " + status + "\n";
    for (int row = 0; row < kRows; ++row) {
        box += "|" + Utf16ToUtf8(state.LineText(row)) + "|";
        if (row == state.CursorRow())
            box += "  cursor column " + std::to_string(state.CursorColumn() + 1);
        box += "\n";
    }
    box += "+" + std::string(kColumns, '-') + "+\n";
    return box;
}

} // namespace

void VdTerminal::EraseBox() {
    if (tty_ && boxShown_)
        std::printf("\x1b[%dA\x1b[J", kBoxLines);
    boxShown_ = false;
}

void VdTerminal::Log(const std::string& line) {
    if (quiet_)
        return;
    EraseBox();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void VdTerminal::Refresh(const DisplayState& state) {
    if (quiet_)
        return;
    const std::string box = Box(state);
    if (boxShown_ && box == lastBox_)
        return;
    if (!tty_ && !boxShown_ && box == lastBox_)
        return;
    EraseBox();
    std::fputs(box.c_str(), stdout);
    std::fflush(stdout);
    boxShown_ = true;
    lastBox_ = box;
}
