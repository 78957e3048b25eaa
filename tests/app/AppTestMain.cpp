// SPDX-License-Identifier: Apache-2.0
// A GoogleTest main that runs the tests inside the program's own application object.

#include "untApplication.h"

#include <QThreadPool>
#include <QtGlobal>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVylApplication application(argc, argv);
#if defined(__SANITIZE_THREAD__)
    // Qt GUI paints and converts large images in slices on the global thread pool, and its
    // pooled threads hand each other Qt's own data under mutexes the sanitizer cannot see: with
    // one pooled thread there are no two of them (the hand-offs to it are suppressed by name).
    QThreadPool::globalInstance()->setMaxThreadCount(1);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
