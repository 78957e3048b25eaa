// SPDX-License-Identifier: Apache-2.0
// vylctl: the display's set-up from the command line.

#include "untCliCommands.h"
#include "untCliHelp.h"
#include "untCliOptions.h"
#include "untCliTexts.h"
#include "untLangID.h"
#include "untLanguage.h"
#include "untVersion.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The arguments as the shell gave them (UTF-8 bytes), before Qt sees any.
    const std::vector<std::string> args(argv + 1, argv + argc);
    QCoreApplication application(argc, argv);

    SetProcessLanguage(GetSystemDefaultLangID());

    const TCliParse parse = ParseCliArguments(args);
    TCliOutput out(parse.Options.Quiet);
    if (parse.Options.Help) {
        out.Data(CliHelpText(parse.Options.Command));
        return static_cast<int>(TExitCode::Success);
    }
    if (parse.Options.Version) {
        out.Data("vylctl " + GetFileVersionText(ProgramFilePath()) + "\n");
        return static_cast<int>(TExitCode::Success);
    }
    if (!parse.Error.isEmpty()) {
        out.Error(parse.Error + QLatin1Char('\n') + CliText(TCliText::TryHelp));
        return static_cast<int>(TExitCode::Usage);
    }
    return static_cast<int>(RunCliCommand(parse.Options, out));
}
