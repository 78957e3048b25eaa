// SPDX-License-Identifier: Apache-2.0
#pragma once

// The names the window's lists show for the rows of the reference tables, and the same names
// as the command line takes and prints them: derived here once for both.

#include <QStringList>

#include <string>
#include <string_view>

// The lists whose entries a value names.
enum class TSettingList { BaudRate, CommandMode, Brightness, InterChar, CodePage };

int ListRowCount(TSettingList list);
// A row's name without the table's padding (a character set's English name); "" for no row.
std::string RowName(TSettingList list, int row);
// The list's entries as the window shows them: character sets in the process language.
QStringList ListItems(TSettingList list);
// The row whose name matches `name`, ignoring case and surrounding blanks ("25" matches "25%";
// a character set also by its Chinese name); -1 for none.
int RowNamed(TSettingList list, std::string_view name);
// Every name of the list, comma separated, for messages and the help.
std::string ListNames(TSettingList list);
