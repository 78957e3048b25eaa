// SPDX-License-Identifier: Apache-2.0
#include "untActionTexts.h"

#include "untLanguage.h"

QString OpenFailureDetail(const TActionResult& result, bool chinese, TFrontEnd frontEnd) {
    const bool window = frontEnd == TFrontEnd::Window;
    QString hint;
    switch (result.OpenFailure) {
    case TOpenFailure::NoPortName:
        if (window)
            hint = chinese ? QStringLiteral("没有列出串口：请连接显示屏后按“刷新”。")
                           : QStringLiteral("No serial port is listed: connect the display and "
                                            "press Refresh.");
        else
            hint = chinese
                       ? QStringLiteral("没有指定串口：请用 --port 指定（vylctl ports 列出串口）。")
                       : QStringLiteral("No port was given: name one with --port (vylctl "
                                        "ports lists them).");
        break;
    case TOpenFailure::Permission:
        // The command stays on one line of its own, whatever the box's width.
        hint = chinese ? QStringLiteral("当前用户无权使用串口：请把用户加入 dialout 组，"
                                        "然后重新登录：\n"
                                        "sudo usermod -aG dialout $USER")
                       : QStringLiteral("Your user may not use serial ports: add it to the "
                                        "dialout group and log in again:\n"
                                        "sudo usermod -aG dialout $USER");
        break;
    case TOpenFailure::Busy:
        hint = chinese ? QStringLiteral("另一个程序正在使用该串口。")
                       : QStringLiteral("Another program is using the port.");
        break;
    case TOpenFailure::Missing:
        if (window)
            hint = chinese ? QStringLiteral("该串口不存在：请按“刷新”并选择列出的串口。")
                           : QStringLiteral("The port is not there: press Refresh and choose a "
                                            "listed port.");
        else
            hint = chinese ? QStringLiteral("该串口不存在：vylctl ports 列出现有的串口。")
                           : QStringLiteral("The port is not there: vylctl ports lists the "
                                            "ports there are.");
        break;
    case TOpenFailure::None:
    case TOpenFailure::Other:
        break;
    }
    QString detail = QString::fromStdString(result.OpenError);
    if (!hint.isEmpty())
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + hint;
    return detail;
}

QString DisconnectedText(bool chinese) {
    return chinese ? QStringLiteral("显示屏已断开连接。")
                   : QStringLiteral("The display was disconnected.");
}

QString DisconnectedDetail(bool chinese, TFrontEnd frontEnd) {
    if (frontEnd == TFrontEnd::Window)
        return chinese ? QStringLiteral("请检查电缆和显示屏的电源，然后按“刷新”并重试。")
                       : QStringLiteral("Check the cable and the display's power, then press "
                                        "Refresh and try again.");
    return chinese ? QStringLiteral("请检查电缆和显示屏的电源，然后重试。")
                   : QStringLiteral("Check the cable and the display's power, then try again.");
}

QString SettingsSummaryText(const TSettingsSummary& summary, QChar lineEnd) {
    const auto line = [lineEnd](const QString& label, const QString& value) {
        return label + QLatin1Char(' ') + value + lineEnd;
    };
    return line(ModelLabel, QString::fromStdString(summary.Model)) +
           line(FirmwareVersionLabel, QString::number(summary.FirmwareVersion)) +
           line(BaudRateLabel, QString::fromStdString(summary.BaudRate)) +
           line(CommandSetLabel, QString::fromStdString(summary.CommandSet)) +
           line(InterCharLabel, QString::fromStdString(summary.InterChar)) +
           line(CodePageLabel, QString::fromStdU16String(summary.CodePage));
}
