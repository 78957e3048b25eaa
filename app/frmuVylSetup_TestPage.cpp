// SPDX-License-Identifier: Apache-2.0
// The character test page: seven buttons, each showing one range of 32 character codes on
// the display (the patterns are the session's).

#include "frmuVylSetup.h"

#include "untDisplaySession.h"

#include <QVariant>

#include <utility>

void TfrmVylSetup::actButtonCreatExecute(QObject* /*sender*/) {
    const std::pair<QPushButton*, int> buttons[] = {
        {btn_203F(), 101}, {btn_405F(), 102}, {btn_607F(), 103}, {btn_809F(), 201},
        {btn_A0BF(), 202}, {btn_C0DF(), 203}, {btn_E0FF(), 204},
    };
    for (const auto& [button, tag] : buttons) {
        button->setProperty("Tag", tag);
        // Routed once, whatever ran before.
        disconnect(button, &QPushButton::clicked, this, nullptr);
        connect(button, &QPushButton::clicked, this, [this, button = button] {
            RunGuarded([this, button] { actCodePageTestExecute(button); });
        });
    }
}

void TfrmVylSetup::actCodePageTestExecute(QObject* sender) {
    const int tag = sender != nullptr ? sender->property("Tag").toInt() : 0;
    if (DeviceActionIdle())
        DeviceActionStarted(session_->ShowTestPattern(tag));
}
