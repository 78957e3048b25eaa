// SPDX-License-Identifier: Apache-2.0
// SelectLanguage: the language's texts and every control's caption.

#include "frmuVylSetup.h"

#include "untLanguage.h"

#include <algorithm>

void TfrmVylSetup::SelectLanguage(int iLangID) {
    SetProcessLanguage(iLangID);
    SelectQtLanguage(iLangID);
    StatusBar1->SetPanelText(0, ModelLabel());
    StatusBar1->SetPanelText(1, FirmwareVersionLabel());
    ApplyCaptions(*this);
}

void TfrmVylSetup::ApplyCaptions(const QWidget& scope) {
    for (const TCaptionEntry& entry : CaptionTable())
        if (scope.findChild<QWidget*>(QString::fromLatin1(entry.Control)) != nullptr)
            SetCaption(QString::fromLatin1(entry.Control), Tr(entry.Caption));
}

void TfrmVylSetup::SetCaption(const QString& controlName, const QString& caption) {
    QWidget* control = findChild<QWidget*>(controlName);
    if (control == nullptr)
        return;
    if (const int page = PageControl1->indexOf(control); page >= 0) {
        PageControl1->setTabText(page, caption);
    } else if (auto* label = qobject_cast<TLabel*>(control)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(caption);
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setText(caption);
        // A caption longer than the layout's box must not be cut.
        check->resize(std::max(check->width(), check->sizeHint().width()), check->height());
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    }
}
