// SPDX-License-Identifier: Apache-2.0
#include "untSettingsValues.h"

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untCommandMode.h"
#include "untHex.h"
#include "untInterChar.h"

#include <cstdint>

namespace {

// A list without a selection gives -1, kept as its low 8 bits (255).
std::uint8_t Low8(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::string HexView(const std::string& stored, const std::u16string& line, int codePageRow) {
    return stored.empty() ? WelcomeLineHex(line, codePageRow) : stored;
}

} // namespace

TSettingsValues SettingsValuesOf(const TSystemInfo& info) {
    TSettingsValues values;
    values.BaudRate = IndexOfNo(BaudRateTable, info.Baud_Rate);
    values.Scroll1 = GetBit(info.temp2, 1) == 0;
    values.Scroll2 = GetBit(info.temp2, 2) == 0;
    values.InterChar = IndexOfNo(InterCharTable, info.Char_No);
    values.CodePage = IndexOfNo(CodePageTable, info.Expand_Char_No);
    values.CommandMode = IndexOfNo(CommandModeTable, info.Comm_No);
    values.Line1 = info.wel_mess1;
    values.Line2 = info.wel_mess2;
    values.Line1Hex = HexView(info.wel_mess1_hex, info.wel_mess1, values.CodePage);
    values.Line2Hex = HexView(info.wel_mess2_hex, info.wel_mess2, values.CodePage);
    const int level = info.back_light;
    values.Brightness =
        level >= 1 && level <= static_cast<int>(BrightnessNames.size()) ? level - 1 : -1;
    return values;
}

void StoreSettingsValues(const TSettingsValues& values, TSystemInfo& target) {
    target.temp1 = 0;
    target.Baud_Rate = Low8(NoAtIndex(BaudRateTable, values.BaudRate));
    std::uint8_t flags = target.temp2;
    SetBit(flags, 1, !values.Scroll1);
    SetBit(flags, 2, !values.Scroll2);
    SetBit(flags, 3, true);
    SetBit(flags, 4, false);
    target.temp2 = flags;
    target.Char_No = Low8(NoAtIndex(InterCharTable, values.InterChar));
    target.Expand_Char_No = Low8(NoAtIndex(CodePageTable, values.CodePage));
    target.Comm_No = Low8(NoAtIndex(CommandModeTable, values.CommandMode));
    target.wel_mess1 = values.Line1;
    target.wel_mess2 = values.Line2;
    target.wel_mess1_hex = values.Line1Hex;
    target.wel_mess2_hex = values.Line2Hex;
    const bool leveled =
        values.Brightness >= 0 && values.Brightness < static_cast<int>(BrightnessNames.size());
    target.back_light = Low8(leveled ? values.Brightness + 1 : 0);
}

std::string WelcomeLineHex(std::u16string_view line, int codePageRow) {
    return BytesToSpacedHex(TextToCodePageBytes(line, CodePageAtIndex(codePageRow)));
}

int CodePageRowOfInterChar(int interCharRow) {
    if (interCharRow < 0 || interCharRow >= static_cast<int>(InterCharTable.size()))
        return -1;
    return IndexOfNo(CodePageTable,
                     InterCharTable[static_cast<std::size_t>(interCharRow)].CodePageNo_bind);
}
