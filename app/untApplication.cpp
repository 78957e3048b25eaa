#include "untApplication.h"

#include "untMessageBox.h"

TVylApplication::TVylApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(ApplicationTitle);
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
