// SPDX-License-Identifier: Apache-2.0
#include "untMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace {

TMessageBoxHook& Hook() {
    static TMessageBoxHook hook;
    return hook;
}

// The texts of the program break lines with CR, which a Qt label does not show as a break.
QString DisplayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QString MessageBoxCaption(TMsgStyle style) {
    switch (style) {
    case TMsgStyle::Error:
        return QStringLiteral("Error");
    case TMsgStyle::AskYesNo:
    case TMsgStyle::AskOk:
        return QStringLiteral("Ask");
    case TMsgStyle::Warning:
        return QStringLiteral("Warning");
    case TMsgStyle::Information:
    case TMsgStyle::Plain:
        break;
    }
    return QStringLiteral("Message");
}

void SetMessageBoxHook(TMessageBoxHook hook) {
    Hook() = std::move(hook);
}

TMsgResult ShowMessageBox(const QString& text, TMsgStyle style, const QString& detail) {
    const TMessageBoxCall call{MessageBoxCaption(style), text, detail, style};
    if (Hook())
        return Hook()(call);

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (style) {
    case TMsgStyle::Error:
        icon = QMessageBox::Critical;
        break;
    case TMsgStyle::AskYesNo:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case TMsgStyle::AskOk:
        icon = QMessageBox::Question;
        break;
    case TMsgStyle::Warning:
        icon = QMessageBox::Warning;
        break;
    case TMsgStyle::Information:
        icon = QMessageBox::Information;
        break;
    case TMsgStyle::Plain:
        break;
    }
    QMessageBox box(icon, call.Caption, DisplayText(text), buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty())
        box.setInformativeText(DisplayText(detail));
    if (style == TMsgStyle::AskYesNo) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TMsgResult::Yes;
    case QMessageBox::No:
        return TMsgResult::No;
    default:
        return style == TMsgStyle::AskYesNo ? TMsgResult::No : TMsgResult::Ok;
    }
}
