// SPDX-License-Identifier: Apache-2.0
// Windows: the system broadcasts WM_DEVICECHANGE to every top-level window when a port comes
// or goes (DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE with a DBT_DEVTYP_PORT header); Qt's own
// windows receive it, and a native event filter of the application sees it there.

#include "untPortWatchPlatform.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include <dbt.h>

struct TPortWatch::TPlatform::TState : QAbstractNativeEventFilter {
    std::function<void()> notify;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_DEVICECHANGE)
            return false;
        if (msg->wParam == DBT_DEVICEARRIVAL || msg->wParam == DBT_DEVICEREMOVECOMPLETE) {
            const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
            if (header != nullptr && header->dbch_devicetype == DBT_DEVTYP_PORT)
                notify();
        }
        return false;
    }
};

TPortWatch::TPlatform::TPlatform(QObject*, std::function<void()> notify)
    : state_(std::make_unique<TState>()) {
    state_->notify = std::move(notify);
}

void TPortWatch::TPlatform::Start() {
    QCoreApplication::instance()->installNativeEventFilter(state_.get());
}

TPortWatch::TPlatform::~TPlatform() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(state_.get());
}
