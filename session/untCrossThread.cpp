// SPDX-License-Identifier: Apache-2.0
#include "untCrossThread.h"

#if defined(__SANITIZE_THREAD__)
#include <functional>
#include <iterator>
#include <mutex>
#endif

namespace CrossThread {

#if defined(__SANITIZE_THREAD__)
namespace {
// Qt's queue orders the posts to one thread before what that thread then takes from it; a
// lock per receiving thread is what ThreadSanitizer understands of that. Striped: two threads
// that share a stripe are merely ordered more than they need be.
std::mutex& LockOf(const QThread* receiver) {
    static std::mutex locks[16];
    return locks[std::hash<const void*>{}(receiver) % std::size(locks)];
}
thread_local bool tPosting = false;
} // namespace

void BeginPost(const QThread* receiver) {
    LockOf(receiver).lock();
    tPosting = true;
}

void EndPost(const QThread* receiver) {
    tPosting = false;
    LockOf(receiver).unlock();
}

void Arrived() {
    if (tPosting)
        return;
    // The posting thread released the lock only after Qt had queued the call.
    std::lock_guard<std::mutex> taken(LockOf(QThread::currentThread()));
}

void Ending() {
    std::lock_guard<std::mutex> taken(LockOf(QThread::currentThread()));
}

void Ended(const QThread* thread) {
    std::lock_guard<std::mutex> taken(LockOf(thread));
}
#else
void BeginPost(const QThread*) {}
void EndPost(const QThread*) {}
void Arrived() {}
void Ending() {}
void Ended(const QThread*) {}
#endif

} // namespace CrossThread
