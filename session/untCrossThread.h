// SPDX-License-Identifier: Apache-2.0
#pragma once

// Every hand-off of work from one thread to another goes through PostTo: the work runs later in
// the event loop of the thread `context` lives on, or never when `context` is destroyed first.
// ThreadSanitizer cannot see the ordering that Qt's event queue gives (Qt itself is not built
// for it), so in such builds the hand-off tells it: what the posting thread did before PostTo
// happens before the work runs.

#include <QMetaObject>
#include <QObject>

#include <memory>
#include <type_traits>
#include <utility>

namespace CrossThread {
void Released(const void* token); // before the work is posted
void Acquired(const void* token); // when it starts to run
} // namespace CrossThread

template <typename Work> void PostTo(QObject* context, Work&& work) {
    auto task = std::make_shared<std::decay_t<Work>>(std::forward<Work>(work));
    CrossThread::Released(task.get());
    QMetaObject::invokeMethod(
        context,
        [task] {
            CrossThread::Acquired(task.get());
            (*task)();
        },
        Qt::QueuedConnection);
}
