// SPDX-License-Identifier: Apache-2.0
// The GoogleTest main of every suite that needs an event loop: the tests run on the thread of
// the application object, as the code under test expects.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
