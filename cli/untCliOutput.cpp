// SPDX-License-Identifier: Apache-2.0
#include "untCliOutput.h"

#include <cstdio>

namespace {

void Write(std::FILE* stream, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

// "vylctl: " before the first line, the lines broken by LF, one LF at the end.
void Message(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    Write(stderr, (QStringLiteral("vylctl: ") + lines + QLatin1Char('\n')).toStdString());
}

} // namespace

void TCliOutput::Data(std::string_view bytes) {
    Write(stdout, bytes);
}

void TCliOutput::Data(const QString& text) {
    Write(stdout, text.toStdString());
}

void TCliOutput::Progress(const QString& text) {
    if (!quiet_)
        Message(text);
}

void TCliOutput::Warning(const QString& text) {
    Message(text);
}

void TCliOutput::Error(const QString& text) {
    Message(text);
}
