// SPDX-License-Identifier: Apache-2.0
#pragma once

// The two languages of the window and the command line. One process language, chosen once at
// start-up from the system's language identifier (0x0804, Chinese as used in the PRC, selects
// Chinese; any other identifier English) by the window's FormCreate or vylctl's main, and read
// by every text. Each module keeps its texts in one table of id -> {English, Chinese}.

#include <QString>

#include <span>

bool IsChineseLangID(int iLangID);

void SetProcessLanguage(int iLangID);
bool ChineseProcessLanguage();

// One text in both languages.
struct TBilingual {
    const char16_t* En;
    const char16_t* Zh;
};

// The text in the process language.
QString Tr(const TBilingual& text);

// A module's table row: the text of one id.
template <typename Id> struct TTextRow {
    Id Key;
    TBilingual Text;
};

// The text of `id` in the process language; empty when the table lacks it.
template <typename Table, typename Id> QString TextOf(const Table& table, Id id) {
    for (const TTextRow<Id>& row : table)
        if (row.Key == id)
            return Tr(row.Text);
    return {};
}

// Texts used by the status bar, the settings summary and the device actions.
QString ModelLabel();
QString FirmwareVersionLabel();
QString CommandSetLabel();
QString InterCharLabel();
QString CodePageLabel();
QString BaudRateLabel();
QString HandShakeFailMessage();

// One caption of a control, by the control's objectName.
struct TCaptionEntry {
    const char* Control;
    TBilingual Caption;
};

std::span<const TCaptionEntry> CaptionTable();

// Qt's own texts (message box buttons, file dialogs) in the window's language: the language that
// shows the window in Chinese loads Qt's Chinese translation (qtbase_zh_CN from Qt's translations
// folder); every other language leaves Qt's English. SelectLanguage calls it, so the window and
// Qt never disagree. Returns whether Qt's texts are Chinese now (false as well when the
// translation is not installed).
bool SelectQtLanguage(int iLangID);
