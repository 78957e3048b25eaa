// SPDX-License-Identifier: Apache-2.0
#include "untFileDialog.h"

#include <QFileDialog>

#include <utility>

namespace {

TFileDialogHook& Hook() {
    static TFileDialogHook hook;
    return hook;
}

std::optional<QString> Run(QWidget* parent, const TFileDialogCall& call) {
    if (Hook())
        return Hook()(call);
    QFileDialog dialog(parent, QString(), call.Directory, call.Filter);
    if (call.Kind == TFileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!call.ProposedName.isEmpty())
        dialog.selectFile(call.ProposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString SettingsFileFilter() {
    return QStringLiteral("Settings Files(*.ini)");
}

void SetFileDialogHook(TFileDialogHook hook) {
    Hook() = std::move(hook);
}

std::optional<QString> dlgSave_settings(QWidget* parent, const QString& directory,
                                        const QString& proposedName) {
    return Run(parent, {TFileDialogKind::Save, directory, proposedName, SettingsFileFilter()});
}

std::optional<QString> dlgOpen_settings(QWidget* parent) {
    return Run(parent, {TFileDialogKind::Open, QString(), QString(), SettingsFileFilter()});
}
