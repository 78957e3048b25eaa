// SPDX-License-Identifier: Apache-2.0
// Windows asks a program to end with WM_QUERYENDSESSION and WM_ENDSESSION (logging off, shutting
// down, an installer or a task manager). Either closes the windows through the event loop.
#include "untApplication.h"

#include <QAbstractNativeEventFilter>
#include <QTimer>

#include <stdexcept>

#include <windows.h>

namespace {

class TSessionEndFilter : public QObject, public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* const msg = static_cast<const MSG*>(message);
        if (msg->message == WM_QUERYENDSESSION) {
            // Queued: the message waits for its answer, and closing runs the window's own
            // end of its action. The session may end: no question is asked.
            QTimer::singleShot(0, [] { QApplication::closeAllWindows(); });
            *result = TRUE;
            return true;
        }
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            // The process ends when this message returns: close the windows now.
            QApplication::closeAllWindows();
            *result = 0;
            return true;
        }
        return false;
    }
};

TSessionEndFilter* installed = nullptr;

} // namespace

TTerminationSignals::TTerminationSignals() {
    if (installed != nullptr)
        throw std::logic_error("TTerminationSignals exists already");
    auto filter = std::make_unique<TSessionEndFilter>();
    QCoreApplication::instance()->installNativeEventFilter(filter.get());
    installed = filter.get();
    watch_ = std::move(filter);
}

TTerminationSignals::~TTerminationSignals() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(installed);
    installed = nullptr;
    watch_.reset();
}
