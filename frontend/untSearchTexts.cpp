// SPDX-License-Identifier: Apache-2.0
#include "untSearchTexts.h"

#include "untLanguage.h"

#include <QStringList>

namespace {

// Each speed once, in the order first tried (the second pass tries them all again).
QString Rates(const std::vector<TSpeedTry>& tried) {
    QStringList rates;
    for (const TSpeedTry& t : tried)
        if (!rates.contains(QString::number(t.BaudRate)))
            rates << QString::number(t.BaudRate);
    return rates.join(QStringLiteral(", "));
}

// One line: what was tried on the port and what came of it.
QString PortOutcome(const TPortSearch& port, bool chinese) {
    const QString name = QString::fromStdString(port.PortName);
    const QString rates = Rates(port.Tried);
    QString line = name + (chinese ? QStringLiteral("：") : QStringLiteral(": "));
    if (!port.Tried.empty())
        line += chinese ? QStringLiteral("已尝试 %1").arg(rates)
                        : QStringLiteral("tried %1 bit/s").arg(rates);
    QStringList answered;
    for (const TSpeedTry& t : port.Tried)
        if (t.Outcome == TSpeedOutcome::Unproven && !answered.contains(QString::number(t.BaudRate)))
            answered << QString::number(t.BaudRate);
    QString outcome;
    if (port.PortName.empty()) {
        outcome = chinese ? QStringLiteral("没有列出串口：请连接显示屏后按“刷新”")
                          : QStringLiteral("no serial port is listed: connect the display and "
                                           "press Refresh");
    } else if (port.OpenFailed) {
        const QString reason = QString::fromStdString(port.OpenError);
        outcome = chinese ? QStringLiteral("无法打开（%1）").arg(reason)
                          : QStringLiteral("could not be opened (%1)").arg(reason);
    } else if (port.Disconnected) {
        outcome =
            chinese ? QStringLiteral("连接已断开") : QStringLiteral("the line was disconnected");
    } else if (!answered.isEmpty()) {
        const QString at = answered.join(QStringLiteral(", "));
        outcome = chinese
                      ? QStringLiteral("%1 有应答，但不是显示屏").arg(at)
                      : QStringLiteral("at %1 something answered that is not the display").arg(at);
    } else {
        outcome = chinese ? QStringLiteral("无应答") : QStringLiteral("nothing answered");
    }
    if (!port.Tried.empty())
        line += chinese ? QStringLiteral("，") : QStringLiteral("; ");
    return line + outcome + (chinese ? QStringLiteral("。") : QStringLiteral("."));
}

} // namespace

QString AnsweredHandShakeText(TAnsweredHandShake answered, bool chinese) {
    switch (answered) {
    case TAnsweredHandShake::JavaPos:
        return QStringLiteral("JavaPOS");
    case TAnsweredHandShake::Standard:
        return chinese ? QStringLiteral("标准（不支持 JavaPOS）")
                       : QStringLiteral("standard (no JavaPOS)");
    case TAnsweredHandShake::None:
        break;
    }
    return chinese ? QStringLiteral("无") : QStringLiteral("none");
}

QString FoundDisplayText(const TFoundDisplay& found, bool chinese) {
    const QString port = QString::fromStdString(found.PortName);
    QString text =
        chinese
            ? QStringLiteral("在 %1 找到显示屏，波特率 %2。\r").arg(port).arg(found.BaudRate)
            : QStringLiteral("Display found on %1 at %2 bit/s.\r").arg(port).arg(found.BaudRate);
    if (found.ByDocument)
        text += ModelLabel + QLatin1Char(' ') + QString::fromStdString(found.Model) +
                QLatin1Char('\r') + FirmwareVersionLabel + QLatin1Char(' ') +
                QString::number(found.FirmwareVersion) + QLatin1Char('\r');
    return text + (chinese ? QStringLiteral("握手：") : QStringLiteral("Handshake: ")) +
           AnsweredHandShakeText(found.HandShake, chinese);
}

QString StrayCharactersFoundText(bool chinese) {
    return chinese ? QStringLiteral("尝试其他波特率时，显示屏上可能出现了乱码字符。")
                   : QStringLiteral("Stray characters may have appeared on the display while "
                                    "other speeds were tried.");
}

QString NotFoundText(const TSearchResult& search, bool chinese) {
    QString text =
        chinese ? QStringLiteral("未找到显示屏。\r") : QStringLiteral("No display was found.\r");
    for (const TPortSearch& port : search.Ports)
        text += QLatin1Char('\r') + PortOutcome(port, chinese);
    text += chinese ? QStringLiteral("\r\r以其他波特率查找时，显示屏上可能出现了乱码字符。")
                    : QStringLiteral("\r\rStray characters may have appeared on a display "
                                     "searched at a speed other than its own.");
    return text;
}

bool OtherSpeedsTried(const TSearchResult& search) {
    for (const TPortSearch& port : search.Ports)
        if (port.Found && port.Tried.size() > 1)
            return true;
    return false;
}
