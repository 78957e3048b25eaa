// SPDX-License-Identifier: Apache-2.0
#include "LinkTestUtil.h"

#include <QCoreApplication>

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}
