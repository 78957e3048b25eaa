// SPDX-License-Identifier: Apache-2.0
#pragma once

// The settings as the command line names them: KEY=VALUE with the values as the window's lists
// show them ("AUTO", "19200", "75%", "USA", "CP437"), and the window's typing limits for the
// welcome lines.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// What `set` was asked to change; rows of the reference tables.
struct TSettingRequest {
    std::optional<int> CommandMode;
    std::optional<int> BaudRate;
    std::optional<int> Brightness; // 0 to 3
    std::optional<std::u16string> Line1;
    std::optional<std::u16string> Line2;
    std::optional<bool> Scroll; // line 2 scrolls
    std::optional<int> InterChar;
    std::optional<int> CodePage;
};

// Adds one KEY=VALUE (UTF-8) to `request`; the usage error, empty when it is good.
QString AddSettingArgument(std::string_view argument, TSettingRequest& request);

// The lists whose entries a value names.
enum class TSettingList { BaudRate, CommandMode, Brightness, InterChar, CodePage };

// The row whose name as the window shows it matches `name`, ignoring case and surrounding
// blanks ("25" matches "25%"; a character set also by its Chinese name); -1 for none.
int RowNamed(TSettingList list, std::string_view name);
// A row's name as the window shows it (a character set's English name); "" for no row.
std::string RowName(TSettingList list, int row);
// Every name of the list, comma separated, for messages and the help.
std::string ListNames(TSettingList list);

// The speed of a speed row in bit/s.
int BaudRateOfRow(int row);
