// SPDX-License-Identifier: Apache-2.0
#pragma once

// The two languages of the window and the command line. The language identifier picks the
// table: 0x0804 (Chinese, PRC) selects Chinese, any other identifier English.

#include <QString>

#include <span>

// Texts used by the status bar, the settings summary and the device actions.
extern QString ModelLabel;
extern QString FirmwareVersionLabel;
extern QString CommandSetLabel;
extern QString InterCharLabel;
extern QString CodePageLabel;
extern QString BaudRateLabel;
extern QString HandShakeFailMessage;

// One caption of a control, by the control's objectName, in both languages.
struct TCaptionEntry {
    const char* Control;
    const char16_t* Zh;
    const char16_t* En;
};

std::span<const TCaptionEntry> CaptionTable();

bool IsChineseLangID(int iLangID);

// The process language: chosen once at start-up from the system's language identifier (the
// window's FormCreate, vylctl's main), read by every text of the window, the command line and
// the lists.
void SetProcessLanguage(int iLangID);
bool ChineseProcessLanguage();

// Sets the texts above from the language's table.
void SelectLanguageTexts(int iLangID);

// Qt's own texts (message box buttons, file dialogs) in the window's language: the language that
// shows the window in Chinese loads Qt's Chinese translation (qtbase_zh_CN from Qt's translations
// folder); every other language leaves Qt's English. SelectLanguage calls it, so the window and
// Qt never disagree. Returns whether Qt's texts are Chinese now (false as well when the
// translation is not installed).
bool SelectQtLanguage(int iLangID);
