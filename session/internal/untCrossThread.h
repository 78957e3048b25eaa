// SPDX-License-Identifier: Apache-2.0
#pragma once

// Every hand-off of work from one thread to another goes through PostTo: the work runs later in
// the event loop of the thread `context` lives on, or never when `context` is destroyed first.
// ThreadSanitizer cannot see the ordering that Qt's event queue gives (Qt itself is not built
// for it), so in such builds the hand-off shows it: what the posting thread did before PostTo,
// and the call object that Qt builds from the work, happen before the work runs or is dropped.

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace CrossThread {
// Under ThreadSanitizer a lock per receiving thread, held while a call is built and posted,
// and taken once by the call when it arrives; nothing otherwise.
void BeginPost(const QThread* receiver);
void EndPost(const QThread* receiver);
// On the receiving thread, before anything that came with the call is touched. Does nothing
// on a thread that is posting (Qt moves the call into place there).
void Arrived();

// The end of a QThread as ThreadSanitizer sees it (QThread::wait() synchronises in ways it
// does not): Ending() on the thread when it finishes (QThread::finished, connected directly),
// Ended() once wait() has returned; what the thread did before is then ordered before.
void Ending();
void Ended(const QThread* thread);

// The work as the queued call holds it. The call runs it or, when its context is gone, only
// destroys it: both take the posting thread's side first.
template <typename Work> class TPosted {
public:
    template <typename Given>
    requires(!std::is_same_v<std::decay_t<Given>, TPosted>) explicit TPosted(Given&& work)
        : work_(std::forward<Given>(work)) {}
    TPosted(TPosted&&) noexcept = default;
    TPosted& operator=(TPosted&&) = delete;
    ~TPosted() { Arrived(); }
    void operator()() {
        Arrived();
        work_();
    }

private:
    Work work_;
};
} // namespace CrossThread

template <typename Work> void PostTo(QObject* context, Work&& work) {
    const QThread* const receiver = context->thread();
    CrossThread::BeginPost(receiver);
    QMetaObject::invokeMethod(context,
                              CrossThread::TPosted<std::decay_t<Work>>(std::forward<Work>(work)),
                              Qt::QueuedConnection);
    CrossThread::EndPost(receiver);
}
