// SPDX-License-Identifier: Apache-2.0
#pragma once

// Where vylctl writes: data on standard output, messages on standard error (the window's line
// breaks, CR, become line feeds).

#include <QString>

#include <string_view>

class TCliOutput {
public:
    explicit TCliOutput(bool quiet) : quiet_(quiet) {}

    // What a script reads: written as it is.
    void Data(std::string_view bytes);
    void Data(const QString& text);
    // How the work goes: left out with --quiet.
    void Progress(const QString& text);
    // Something the user must know although the command goes on, and errors: always shown.
    void Warning(const QString& text);
    void Error(const QString& text);

private:
    bool quiet_;
};
