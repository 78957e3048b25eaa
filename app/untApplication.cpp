// SPDX-License-Identifier: Apache-2.0
#include "untApplication.h"

#include "untMessageBox.h"

#include <QIcon>

TVylApplication::TVylApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(ApplicationTitle);
    setAttribute(Qt::AA_DontUseNativeDialogs);
    // Ties the window to its desktop entry (Wayland's app id) and gives it the installed icon.
    setDesktopFileName(DesktopId);
    setWindowIcon(QIcon::fromTheme(DesktopId));
    // The window's controls measure their captions as soon as they are made.
    Join();
}

bool TVylApplication::notify(QObject* receiver, QEvent* event) {
    // Called for every event: no std::function here, only the try block.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportException(QString::fromUtf8(error.what()));
    } catch (...) {
        ReportException(QStringLiteral("Unknown error"));
    }
    return false;
}

void ReportException(const QString& text) {
    // No port to close here: connections live in the display session, which ends its own.
    ShowMessageBox(text, TMsgStyle::Error);
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ReportException(QString::fromUtf8(error.what()));
    } catch (...) {
        ReportException(QStringLiteral("Unknown error"));
    }
}
