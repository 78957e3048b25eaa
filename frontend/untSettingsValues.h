// SPDX-License-Identifier: Apache-2.0
#pragma once

// The settings as a front end shows them (a row of each list, the scroll choices, the welcome
// lines and their hex views) and the rules between them and the settings record: what the
// window's RefreshSettings shows of a record and what its SystemInfoChange stores, without the
// controls, so that the command line reads and sends exactly what the window would.

#include "untSystemInfo.h"

#include <array>
#include <string>
#include <string_view>

// The typing limits of the welcome lines, in UTF-16 code units.
constexpr int WelcomeLine1Limit = 20;
constexpr int WelcomeLine2Limit = 60;

// The brightness levels 1 to 4 as the brightness choice shows them.
inline constexpr std::array<std::string_view, 4> BrightnessNames{"25%", "50%", "75%", "100%"};

struct TSettingsValues {
    // Rows of the reference tables in list order; -1 for no selection.
    int BaudRate = -1;
    int InterChar = -1;
    int CodePage = -1; // every code page selector shows this row
    int CommandMode = -1;
    int Brightness = -1; // 0 to 3: "25%" to "100%"
    bool Scroll1 = true;
    bool Scroll2 = true;
    std::u16string Line1;
    std::u16string Line2;
    // The welcome lines' bytes as spaced hex: what the welcome action sends.
    std::string Line1Hex;
    std::string Line2Hex;
};

// What the window shows of a record: the first row carrying each code (none when no row does),
// the scroll flags of temp2, and each line's stored hex, or when that is empty the line in the
// code page of the record's row.
TSettingsValues SettingsValuesOf(const TSystemInfo& info);

// What the window stores of what it shows: temp1 0, the codes of the rows (255 where none is
// selected), brightness level row + 1, temp2 with the scroll flags, 0x04 set and 0x08 clear (the
// high bits kept), the lines and their hex views. The other fields stay as they are.
void StoreSettingsValues(const TSettingsValues& values, TSystemInfo& target);

// A welcome line's hex view: its bytes in the code page of row `codePageRow` (none: no bytes).
std::string WelcomeLineHex(std::u16string_view line, int codePageRow);

// The code page row that a character set row brings along when it is chosen; -1 when none.
int CodePageRowOfInterChar(int interCharRow);
