// SPDX-License-Identifier: Apache-2.0
#include "AppTestSupport.h"

#include "untLangID.h"
#include "untSystemInfo.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

TDialogScript::TDialogScript() {
    SetMessageBoxHook([this](const TMessageBoxCall& call) {
        Boxes.push_back(call);
        if (OnBox)
            OnBox(call);
        if (!BoxAnswers.empty()) {
            const TMsgResult answer = BoxAnswers.front();
            BoxAnswers.pop_front();
            return answer;
        }
        if (call.Style == TMsgStyle::AskYesNo) {
            ADD_FAILURE() << "unexpected question: " << call.Text.toStdString();
            return TMsgResult::No;
        }
        return TMsgResult::Ok;
    });
    SetFileDialogHook([this](const TFileDialogCall& call) -> std::optional<QString> {
        FileDialogs.push_back(call);
        if (FileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        const bool cancel = !FileAnswers.front().has_value();
        const QString path = FileAnswers.front().value_or(QString());
        FileAnswers.pop_front();
        if (cancel)
            return std::nullopt;
        return path;
    });
}

TDialogScript::~TDialogScript() {
    SetMessageBoxHook({});
    SetFileDialogHook({});
}

QStringList TDialogScript::BoxTexts() const {
    QStringList texts;
    for (const TMessageBoxCall& box : Boxes)
        texts << box.Text;
    return texts;
}

std::unique_ptr<TfrmVylSetup> NewWindow(std::uint16_t langID) {
    SystemInfo = TSystemInfo{};
    SetSystemDefaultLangIDOverride(langID);
    auto window = std::make_unique<TfrmVylSetup>();
    SetSystemDefaultLangIDOverride(std::nullopt);
    return window;
}

void ShowEveryPage(TfrmVylSetup& window) {
    for (int page = window.PageControl1->count() - 1; page >= 0; --page)
        window.PageControl1->setCurrentIndex(page);
}

void ChooseInCombo(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

QStringList ComboItems(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

void WhenModalOpens(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start(10);
}
