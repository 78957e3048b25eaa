// SPDX-License-Identifier: Apache-2.0
#include "frmuVylSetup.h"
#include "untApplication.h"

int main(int argc, char** argv) {
    TVylApplication application(argc, argv);
    TfrmVylSetup form;
    form.show();
    // From here on a session's end (or Ctrl-C) closes the window as the Exit button does.
    const TTerminationSignals termination;
    return TVylApplication::exec();
}
