// SPDX-License-Identifier: Apache-2.0
#pragma once

// A thread of the session's own with an object living on it, to hand work to with PostTo. Its
// end releases the thread's cipher state (the handshakes leave some with each thread) and is
// ordered for ThreadSanitizer like every other hand-off (see untCrossThread.h).

#include <QObject>
#include <QString>
#include <QThread>

class TWorkerThread {
public:
    // Starts the thread at once.
    explicit TWorkerThread(const QString& name);
    // Stop().
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Lives on the thread until Stop(); work posted to it runs there.
    QObject* Context() const { return context_; }
    // Quits the thread's event loop (a wait in progress there returns at once), waits for the
    // thread's end and deletes the context. Does nothing the second time.
    void Stop();

private:
    QThread thread_;
    QObject* context_ = nullptr;
};
