// SPDX-License-Identifier: Apache-2.0
#pragma once

// Every message box of the program goes through ShowMessageBox, so that tests can answer and
// record boxes through one hook.

#include <QString>

#include <functional>

enum class TMsgStyle {
    Error,       // error icon, OK, caption "Error"
    AskYesNo,    // question icon, Yes and No, caption "Ask"
    AskOk,       // question icon, OK, caption "Ask"
    Warning,     // warning icon, OK, caption "Warning"
    Information, // information icon, OK, caption "Message"
    Plain,       // no icon, OK, caption "Message"
};

enum class TMsgResult { Ok, Yes, No };

struct TMessageBoxCall {
    QString Caption;
    QString Text;   // as the caller gave it (line breaks may be CR)
    QString Detail; // optional detail text (for instance the OS's reason)
    TMsgStyle Style;
};

QString MessageBoxCaption(TMsgStyle style);

// Shows a modal box owned by the application's active window and returns the button pressed.
// Closing a Yes/No box without an answer counts as No.
TMsgResult ShowMessageBox(const QString& text, TMsgStyle style, const QString& detail = {});

// With a hook set, no box is shown: the hook receives the box and gives the answer.
using TMessageBoxHook = std::function<TMsgResult(const TMessageBoxCall&)>;
void SetMessageBoxHook(TMessageBoxHook hook);
