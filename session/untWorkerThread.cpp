// SPDX-License-Identifier: Apache-2.0
#include "untWorkerThread.h"

#include "untAESCipher.h"
#include "untCrossThread.h"

TWorkerThread::TWorkerThread(const QString& name) : context_(new QObject) {
    thread_.setObjectName(name);
    context_->moveToThread(&thread_);
    // On the thread as it finishes, before wait() lets the stopping thread go on: what it did
    // is then ordered, for ThreadSanitizer too, before everything after Stop().
    QObject::connect(
        &thread_, &QThread::finished, &thread_,
        [] {
            ReleaseCipherThreadState();
            CrossThread::Ending();
        },
        Qt::DirectConnection);
    thread_.start();
}

TWorkerThread::~TWorkerThread() {
    Stop();
}

void TWorkerThread::Stop() {
    if (context_ == nullptr)
        return;
    thread_.quit();
    thread_.wait();
    CrossThread::Ended(&thread_);
    delete context_;
    context_ = nullptr;
}
