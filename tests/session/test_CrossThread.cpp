// SPDX-License-Identifier: Apache-2.0
// The one hand-off between threads: work runs on its context's thread, in the order posted,
// sees what the posting thread wrote before, and is dropped with its context. Under
// ThreadSanitizer each case is also a race check on the plain data handed over.

#include "untCrossThread.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

} // namespace

TEST(CrossThread, WorkRunsOnItsContextsThreadInOrderAndSeesWhatWasWrittenBefore) {
    // From a plain thread to the main thread, and from the main thread to a QThread's object.
    QObject onMain;
    QThread worker;
    QObject onWorker;
    onWorker.moveToThread(&worker);
    worker.start();

    constexpr int count = 200;
    std::vector<std::string> written(count); // plain data: each slot written before its post
    std::vector<int> order;                  // main thread only
    std::vector<int> wrongThread;            // main thread only
    std::thread poster([&] {
        for (int i = 0; i < count; ++i) {
            written[static_cast<std::size_t>(i)] = "slot " + std::to_string(i);
            PostTo(&onMain, [&, i] {
                if (QThread::currentThread() != onMain.thread() ||
                    written[static_cast<std::size_t>(i)] != "slot " + std::to_string(i))
                    wrongThread.push_back(i);
                order.push_back(i);
            });
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return order.size() == count; }));
    poster.join();
    std::vector<int> expected(count);
    for (int i = 0; i < count; ++i)
        expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(wrongThread.empty());

    // A round trip: the worker reads what the main thread wrote, answers with its own data.
    auto request = std::make_unique<std::string>("question");
    std::string answer;
    bool answered = false;
    PostTo(&onWorker, [&] {
        const bool onItsThread = QThread::currentThread() == &worker;
        std::string reply = *request + (onItsThread ? " answered" : " on the wrong thread");
        PostTo(&onMain, [&, reply] {
            answer = reply;
            answered = true;
        });
    });
    ASSERT_TRUE(PumpUntil([&] { return answered; }));
    EXPECT_EQ(answer, "question answered");
    request.reset(); // the worker read it: its reading must come before this release
    worker.quit();
    ASSERT_TRUE(worker.wait(30000));
}

TEST(CrossThread, WorkForAContextDestroyedFirstNeverRunsAndIsReleased) {
    auto context = std::make_unique<QObject>();
    bool ran = false;
    auto payload = std::make_shared<std::vector<std::string>>();
    const std::weak_ptr<std::vector<std::string>> watch = payload;
    // Relaxed on purpose: the flags order nothing, so only the hand-off itself can order the
    // poster's writes before the payload is destroyed here.
    std::atomic<bool> posted{false};
    std::atomic<bool> done{false};
    std::thread poster([&, target = context.get(), payload = std::move(payload)]() mutable {
        payload->assign(10, "written by the poster");
        PostTo(target, [&ran, payload = std::move(payload)] { ran = !payload->empty(); });
        posted.store(true, std::memory_order_relaxed);
        while (!done.load(std::memory_order_relaxed))
            std::this_thread::yield();
    });
    while (!posted.load(std::memory_order_relaxed))
        std::this_thread::yield();
    // Destroying the context drops the queued work on this thread, with what it holds.
    context.reset();
    EXPECT_TRUE(watch.expired());
    done.store(true, std::memory_order_relaxed);
    poster.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}
