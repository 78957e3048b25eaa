// SPDX-License-Identifier: Apache-2.0
#include "VdOptions.h"
#include "VdProgram.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const VdParsed parsed = ParseVdOptions(args);
    switch (parsed.What) {
    case VdParsed::Outcome::Help:
        std::fputs(VdHelpText().c_str(), stdout);
        return kExitOk;
    case VdParsed::Outcome::Error:
        std::fprintf(stderr, "vyl-virtual-display: %s\n", parsed.Error.c_str());
        return kExitBadOptions;
    case VdParsed::Outcome::Run:
        break;
    }
    return RunVirtualDisplay(parsed.Options);
}
