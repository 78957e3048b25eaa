// SPDX-License-Identifier: Apache-2.0
#include "ReadOnlyFolderScenario.h"

#include <gtest/gtest.h>

#include <cstring>

// The unprivileged-user checks re-run this program under setpriv with a switch of their own.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], ReadOnlyFolderSwitch) == 0)
        return RunReadOnlyFolderScenario(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
