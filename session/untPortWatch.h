// SPDX-License-Identifier: Apache-2.0
#pragma once

// Tells when the machine's list of serial ports may have changed (a USB adapter plugged in or
// out, a virtual port published or withdrawn), without polling: the operating system's own
// notification (one file per OS: untPortWatchLinux.cpp watches the device folders), settled
// for a moment so that a device that brings several nodes at once is one change.

#include <QObject>
#include <QTimer>

#include <memory>

class TPortWatch : public QObject {
    Q_OBJECT
public:
    // Quiet time after the last notification before Changed is emitted.
    static constexpr int SettleMs = 300;

    explicit TPortWatch(QObject* parent = nullptr);
    ~TPortWatch() override;

signals:
    void Changed();

private:
    // The operating system's side; calls `notify` on the owner's thread at every change it sees.
    class TPlatform;
    std::unique_ptr<TPlatform> platform_;
    QTimer settle_;
};
