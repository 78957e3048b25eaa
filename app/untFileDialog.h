// SPDX-License-Identifier: Apache-2.0
#pragma once

// The window's two file dialogs, each behind one function so that tests can answer them.

#include <QString>

#include <functional>
#include <optional>

class QWidget;

enum class TFileDialogKind { Save, Open };

struct TFileDialogCall {
    TFileDialogKind Kind;
    QString Directory;    // initial directory; empty: the toolkit's default
    QString ProposedName; // file name offered in the name box; empty: none
    QString Filter;       // Qt filter text, "Settings Files(*.ini)"
};

// The full path the user chose, nullopt when the dialog was cancelled. The save dialog asks
// before replacing the file the user picked.
std::optional<QString> dlgSave_settings(QWidget* parent, const QString& directory,
                                        const QString& proposedName);
std::optional<QString> dlgOpen_settings(QWidget* parent);

// "Settings Files(*.ini)|*.ini" in Qt's form.
QString SettingsFileFilter();

using TFileDialogHook = std::function<std::optional<QString>(const TFileDialogCall&)>;
void SetFileDialogHook(TFileDialogHook hook);
