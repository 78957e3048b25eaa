// SPDX-License-Identifier: Apache-2.0
#pragma once

// Answers every message box as soon as it is shown, with its escape button (OK, or No when it
// asks): the boxes are real, built, shown, painted and destroyed as for the user. Install it on
// the application (installEventFilter).

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <map>
#include <string>

class TBoxCloser : public QObject {
public:
    // The boxes shown: the start of each text, and how often.
    std::map<std::string, int> Shown;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                ++Shown[box->text().left(40).toStdString()];
                QTimer::singleShot(0, box, [box] {
                    if (QAbstractButton* button = box->escapeButton())
                        button->click();
                    else
                        box->reject();
                });
            }
        return QObject::eventFilter(watched, event);
    }
};
