// SPDX-License-Identifier: Apache-2.0
#include "untActionTexts.h"

#include "untLanguage.h"

namespace {

enum class TText {
    NoPortListed,
    NoPortGiven,
    Permission,
    Busy,
    MissingWindow,
    MissingCommandLine,
    Disconnected,
    DisconnectedWindow,
    DisconnectedCommandLine,
    NoSpeedChosen,
};

constexpr std::array<TTextRow<TText>, 10> Texts{{
    {TText::NoPortListed,
     {u"No port is selected: connect the display, press Refresh and choose its port.",
      u"没有选择串口：请连接客显，按“刷新”并选择它的串口。"}},
    {TText::NoPortGiven,
     {u"No port was given: name one with --port (vylctl ports lists them).",
      u"没有指定串口：请用 --port 指定（vylctl ports 列出串口）。"}},
    // The command stays on one line of its own, whatever the box's width.
    {TText::Permission,
     {u"Your user may not use serial ports: add it to the dialout group and log in again:\n"
      u"sudo usermod -aG dialout $USER",
      u"当前用户无权使用串口：请把用户加入 dialout 组，然后重新登录：\n"
      u"sudo usermod -aG dialout $USER"}},
    {TText::Busy, {u"Another program is using the port.", u"另一个程序正在使用该串口。"}},
    {TText::MissingWindow,
     {u"The port is not there: press Refresh and choose a listed port.",
      u"该串口不存在：请按“刷新”并选择列出的串口。"}},
    {TText::MissingCommandLine,
     {u"The port is not there: vylctl ports lists the ports there are.",
      u"该串口不存在：vylctl ports 列出现有的串口。"}},
    {TText::Disconnected, {u"The display was disconnected.", u"客显已断开连接。"}},
    {TText::DisconnectedWindow,
     {u"Check the cable and the display's power, then press Refresh and try again.",
      u"请检查电缆和客显的电源，然后按“刷新”并重试。"}},
    {TText::DisconnectedCommandLine,
     {u"Check the cable and the display's power, then try again.",
      u"请检查电缆和客显的电源，然后重试。"}},
    {TText::NoSpeedChosen,
     {u"No speed is selected: choose the display's speed in the list.",
      u"没有选择波特率：请在列表中选择客显的波特率。"}},
}};

QString T(TText id) {
    return TextOf(Texts, id);
}

} // namespace

QString OpenFailureDetail(const TActionResult& result, TFrontEnd frontEnd) {
    const bool window = frontEnd == TFrontEnd::Window;
    QString hint;
    switch (result.OpenFailure) {
    case TOpenFailure::NoPortName:
        hint = T(window ? TText::NoPortListed : TText::NoPortGiven);
        break;
    case TOpenFailure::Permission:
        hint = T(TText::Permission);
        break;
    case TOpenFailure::Busy:
        hint = T(TText::Busy);
        break;
    case TOpenFailure::Missing:
        hint = T(window ? TText::MissingWindow : TText::MissingCommandLine);
        break;
    case TOpenFailure::None:
    case TOpenFailure::Other:
        break;
    }
    // Without a port name the OS's reason is about no device at all ("Is a directory").
    QString detail = result.OpenFailure == TOpenFailure::NoPortName
                         ? QString()
                         : QString::fromStdString(result.OpenError);
    if (!hint.isEmpty())
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + hint;
    return detail;
}

QString DisconnectedText() {
    return T(TText::Disconnected);
}

QString DisconnectedDetail(TFrontEnd frontEnd) {
    return T(frontEnd == TFrontEnd::Window ? TText::DisconnectedWindow
                                           : TText::DisconnectedCommandLine);
}

QString SettingsSummaryText(const TSettingsSummary& summary, QChar lineEnd) {
    const auto line = [lineEnd](const QString& label, const QString& value) {
        return label + QLatin1Char(' ') + value + lineEnd;
    };
    return line(ModelLabel(), QString::fromStdString(summary.Model)) +
           line(FirmwareVersionLabel(), QString::number(summary.FirmwareVersion)) +
           line(BaudRateLabel(), QString::fromStdString(summary.BaudRate)) +
           line(CommandSetLabel(), QString::fromStdString(summary.CommandSet)) +
           line(InterCharLabel(), QString::fromStdString(summary.InterChar)) +
           line(CodePageLabel(), QString::fromStdU16String(summary.CodePage));
}

QString NoSpeedChosenDetail() {
    return T(TText::NoSpeedChosen);
}
