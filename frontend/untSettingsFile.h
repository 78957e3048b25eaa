// SPDX-License-Identifier: Apache-2.0
#pragma once

// The settings file: a JSON object of nine members written by our own small writer (the format
// is fixed byte for byte: CR LF, four-blank indent, "key": value), the extension rule, the
// checks a chosen file must pass before it is read, and the rules of reading it.

#include "untSystemInfo.h"

#include <QString>

#include <cstdint>
#include <string>

// Files larger than this are refused by "Load Setting".
constexpr std::int64_t MaxSettingsFileSize = 1024 * 1024;

// The nine members from `info`, in their fixed order.
std::u16string SettingsFileText(const TSystemInfo& info);

// `text` as a JSON string literal, quotes included: \b \t \n \f \r \" \\ by their short escapes,
// other characters below U+0020 and U+0085, U+2028, U+2029 as \uXXXX, everything else as itself.
std::u16string JsonStringLiteral(std::u16string_view text);

// The file name with the extension ".ini": appended when the name part has no full stop,
// replacing everything from the last full stop on otherwise.
QString WithIniExtension(const QString& path);

// Why a chosen file is not read, empty when it may be read. A path that cannot be examined
// passes, so that reading it reports the system's own error.
QString SettingsFileRefusal(const QString& path);

// The text of a chosen settings file. A file that is refused or empty gives no text and the
// "Load Settings Error!" message in `failure`. Throws EFileError when the file cannot be read.
std::u16string ReadSettingsFile(const QString& path, QString& failure);

// Reads a settings file's text into `target` as "Load Setting" does: the hex views emptied
// first (so that the lines' bytes follow the loaded code page unless the file sets them), then
// the settings parser; the "Explain Settings Error: " message when it fails (the members before
// the bad one stay applied), else empty. Throws ESettingsTypeError when the top-level value is
// not an object.
QString LoadSettingsText(std::u16string_view text, TSystemInfo& target);

// The directory of the first save: the program's folder when it is writable (an installed
// program's is not), else the user's home folder.
QString FirstSaveDirectory();
QString FirstSaveDirectory(const QString& programDir);

// The question before the extension rule replaces a file other than the one the user chose.
QString ReplaceOtherFileQuestion(const QString& fileName);
