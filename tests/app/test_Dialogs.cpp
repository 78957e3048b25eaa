// SPDX-License-Identifier: Apache-2.0
// Message boxes, file dialogs, the general exception report and the language identifier.

#include "AppTestSupport.h"
#include "untApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

class TThrowingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("thrown inside an event handler");
        return QObject::event(event);
    }
};

} // namespace

TEST(WindowDialogs, CaptionsFollowTheStyle) {
    EXPECT_EQ(MessageBoxCaption(TMsgStyle::Error), "Error");
    EXPECT_EQ(MessageBoxCaption(TMsgStyle::AskYesNo), "Ask");
    EXPECT_EQ(MessageBoxCaption(TMsgStyle::AskOk), "Ask");
    EXPECT_EQ(MessageBoxCaption(TMsgStyle::Warning), "Warning");
    EXPECT_EQ(MessageBoxCaption(TMsgStyle::Information), "Message");
    EXPECT_EQ(MessageBoxCaption(TMsgStyle::Plain), "Message");
}

TEST(WindowDialogs, RealMessageBoxShowsCaptionTextAndButtons) {
    QString title;
    QString text;
    QString detail;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        detail = box->informativeText();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(ShowMessageBox("first\rsecond", TMsgStyle::AskYesNo, "why"), TMsgResult::Yes);
    EXPECT_EQ(title, "Ask");
    EXPECT_EQ(text, "first\nsecond"); // CR line breaks shown as breaks
    EXPECT_EQ(detail, "why");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, 2);

    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(ShowMessageBox("SerialPort Open Failed", TMsgStyle::Error), TMsgResult::Ok);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
}

TEST(WindowDialogs, RealSaveDialogOffersTheProposedNameInItsDirectory) {
    QTemporaryDir dir;
    QString directory;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        mode = dialog->acceptMode();
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> chosen = dlgSave_settings(nullptr, dir.path(), "VYL Setup");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir.filePath("VYL Setup"));
    EXPECT_EQ(directory, dir.path());
    EXPECT_EQ(filters, QStringList{"Settings Files(*.ini)"});
    EXPECT_EQ(mode, QFileDialog::AcceptSave);

    WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(dlgOpen_settings(nullptr).has_value());
}

TEST(WindowDialogs, GeneralExceptionReport) {
    TDialogScript script;
    RunGuarded([] { throw std::runtime_error("handler failed"); });
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "handler failed");
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);

    // Whatever escapes an event handler is reported by the application object, and the
    // event loop goes on.
    script.Boxes.clear();
    TThrowingObject target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&target);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "thrown inside an event handler");
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}
