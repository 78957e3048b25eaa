// SPDX-License-Identifier: Apache-2.0
#include "untEventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <thread>

namespace {
constexpr int WokenCode = 1;
constexpr int DeadlineCode = 2;
} // namespace

TEventWait::TEnd TEventWait::WaitUntil(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return TEnd::Deadline;
    if (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(left);
        return TEnd::Deadline;
    }
    // A timer takes an int of milliseconds: a longer wait wakes once a day and is renewed by
    // its caller.
    const auto ms = std::min<std::int64_t>(
        std::chrono::ceil<std::chrono::milliseconds>(left).count(), 24LL * 3600 * 1000);
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(DeadlineCode); });
    timer.start(static_cast<int>(ms));
    QEventLoop* const outer = loop_;
    loop_ = &loop;
    const int code = loop.exec();
    loop_ = outer;
    if (code == WokenCode)
        return TEnd::Woken;
    if (code == DeadlineCode)
        return TEnd::Deadline;
    // The thread's loop was told to quit (or was quitting already): every nested loop returns.
    return TEnd::Quit;
}

void TEventWait::Wake() {
    if (loop_ != nullptr)
        loop_->exit(WokenCode);
}
