#include "untApplication.h"

#include "untComm.h"
#include "untMessageBox.h"

TVylApplication::TVylApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(ApplicationTitle);
    // A receive handler runs on this thread too; what it raises takes the same road.
    SetComExceptionReport(
        [](const std::exception& error) { ReportException(QString::fromUtf8(error.what())); });
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
    try {
        CloseComm();
    } catch (...) {
        // The report must reach the user even when closing the port fails as well.
    }
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
