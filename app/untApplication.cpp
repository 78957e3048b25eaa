// SPDX-License-Identifier: Apache-2.0
#include "untApplication.h"

#include "untDisplaySession.h"
#include "untMessageBox.h"

#include <QIcon>

#include <string>
#include <vector>

TVylApplication::TVylApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(ApplicationTitle);
    setAttribute(Qt::AA_DontUseNativeDialogs);
    // Ties the window to its desktop entry (Wayland's app id); the installed icon comes with
    // ShowApplicationIcon.
    setDesktopFileName(DesktopId);
    // The window's controls measure their captions as soon as they are made. While the font
    // configuration still loads on its thread, a first reading of the port list warms what the
    // window's own reading needs (the system's device entries, the collation rules).
    Join([] {
        std::vector<std::string> ports;
        TDisplaySession::ListPorts(ports);
    });
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

void ShowApplicationIcon() {
    QGuiApplication::setWindowIcon(QIcon::fromTheme(DesktopId));
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
