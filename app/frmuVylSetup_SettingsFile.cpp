// SPDX-License-Identifier: Apache-2.0
// "Save Setting" and "Load Setting".

#include "frmuVylSetup.h"

#include "untFileDialog.h"
#include "untMessageBox.h"
#include "untSettingsFile.h"
#include "untSystemInfo.h"
#include "untUtf8File.h"

#include <QFile>
#include <QFileInfo>

namespace {

std::string LocalPath(const QString& path) {
    return path.toStdString(); // UTF-8, as the file functions take names
}

} // namespace

void TfrmVylSetup::btn_savesettingsClick() {
    SystemInfoChange();
    if (saveDirectory_.isEmpty())
        saveDirectory_ = FirstSaveDirectory();
    const std::optional<QString> chosen = dlgSave_settings(this, saveDirectory_, ApplicationTitle);
    if (!chosen)
        return;
    saveDirectory_ = QFileInfo(*chosen).absolutePath();

    const QString fileName = WithIniExtension(*chosen);
    // The dialog asked about the name the user picked; a different file that the extension
    // rule lands on is replaced only when the user agrees.
    if (fileName != *chosen) {
        const QFileInfo target(fileName);
        if (target.exists() || target.isSymLink()) {
            if (ShowMessageBox(ReplaceOtherFileQuestion(fileName), TMsgStyle::AskYesNo) !=
                TMsgResult::Yes)
                return;
        }
    }
    WriteUtf8File(SettingsFileText(SystemInfo), LocalPath(fileName));
    ShowMessageBox(QStringLiteral("Save Settings File Success:") + fileName,
                   TMsgStyle::Information);
}

void TfrmVylSetup::btn_loadsettingsClick() {
    // Held off like the device buttons: an action's end would write its record over the load.
    if (!DeviceActionIdle())
        return;
    SystemInfoChange();
    const std::optional<QString> chosen = dlgOpen_settings(this);
    if (!chosen)
        return;
    QString failure;
    const std::u16string text = ReadSettingsFile(*chosen, failure);
    if (failure.isEmpty())
        failure = LoadSettingsText(text, SystemInfo);
    if (failure.isEmpty())
        RefreshSettings();
    else
        ShowMessageBox(failure, TMsgStyle::Warning);
}
