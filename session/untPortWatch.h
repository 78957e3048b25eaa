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

    // Begins watching; nothing is reported before. Made and started apart so that a window can
    // make its watch with its controls and start it once it has been painted: the start sets
    // the system's watches (on Linux the one on /dev visits every device node).
    void Start();
    bool Started() const { return started_; }

signals:
    void Changed();

private:
    // The operating system's side; calls `notify` on the owner's thread at every change it sees.
    class TPlatform;
    std::unique_ptr<TPlatform> platform_;
    QTimer settle_;
    bool started_ = false;
};
