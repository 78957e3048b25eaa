// SPDX-License-Identifier: Apache-2.0
#include "untSearchTexts.h"

#include "untLanguage.h"

#include <QStringList>

namespace {

enum class TText {
    PortSeparator,
    Tried,
    NoPortListed,
    NotOpened,
    LineDisconnected,
    NotTheDisplay,
    NothingAnswered,
    OutcomeSeparator,
    FullStop,
    Standard,
    NoHandShake,
    Found,
    HandShake,
    StrayCharactersFound,
    NotFound,
    StrayCharactersNotFound,
    AskEveryPort,
};

constexpr std::array<TTextRow<TText>, 17> Texts{{
    {TText::PortSeparator, {u": ", u"："}},
    {TText::Tried, {u"tried %1 bit/s", u"已尝试 %1"}},
    {TText::NoPortListed,
     {u"no serial port is listed: connect the display and press Refresh",
      u"没有列出串口：请连接显示屏后按“刷新”"}},
    {TText::NotOpened, {u"could not be opened (%1)", u"无法打开（%1）"}},
    {TText::LineDisconnected, {u"the line was disconnected", u"连接已断开"}},
    {TText::NotTheDisplay,
     {u"at %1 something answered that is not the display", u"%1 有应答，但不是显示屏"}},
    {TText::NothingAnswered, {u"nothing answered", u"无应答"}},
    {TText::OutcomeSeparator, {u"; ", u"，"}},
    {TText::FullStop, {u".", u"。"}},
    {TText::Standard, {u"standard (no JavaPOS)", u"标准（不支持 JavaPOS）"}},
    {TText::NoHandShake, {u"none", u"无"}},
    {TText::Found, {u"Display found on %1 at %2 bit/s.\r", u"在 %1 找到显示屏，波特率 %2。\r"}},
    {TText::HandShake, {u"Handshake: ", u"握手："}},
    {TText::StrayCharactersFound,
     {u"Stray characters may have appeared on the display while other speeds were tried.",
      u"尝试其他波特率时，显示屏上可能出现了乱码字符。"}},
    {TText::NotFound, {u"No display was found.\r", u"未找到显示屏。\r"}},
    {TText::StrayCharactersNotFound,
     {u"\r\rStray characters may have appeared on a display searched at a speed other than its "
      u"own.",
      u"\r\r以其他波特率查找时，显示屏上可能出现了乱码字符。"}},
    {TText::AskEveryPort,
     {u"Search every listed port for the display?\r\rThe search request goes to each port at "
      u"each speed: devices on the other ports may show stray characters.",
      u"是否在所有列出的串口上查找显示屏？\r\r查找请求会以各个波特率发送到每个串口：其他串口上"
      u"的设备可能出现乱码字符。"}},
}};

QString T(TText id) {
    return TextOf(Texts, id);
}

// Each speed once, in the order first tried (the second pass tries them all again).
QString Rates(const std::vector<TSpeedTry>& tried) {
    QStringList rates;
    for (const TSpeedTry& t : tried)
        if (!rates.contains(QString::number(t.BaudRate)))
            rates << QString::number(t.BaudRate);
    return rates.join(QStringLiteral(", "));
}

// One line: what was tried on the port and what came of it.
QString PortOutcome(const TPortSearch& port) {
    QString line = QString::fromStdString(port.PortName) + T(TText::PortSeparator);
    if (!port.Tried.empty())
        line += T(TText::Tried).arg(Rates(port.Tried));
    QStringList answered;
    for (const TSpeedTry& t : port.Tried)
        if (t.Outcome == TSpeedOutcome::Unproven && !answered.contains(QString::number(t.BaudRate)))
            answered << QString::number(t.BaudRate);
    QString outcome;
    if (port.PortName.empty())
        outcome = T(TText::NoPortListed);
    else if (port.OpenFailed)
        outcome = T(TText::NotOpened).arg(QString::fromStdString(port.OpenError));
    else if (port.Disconnected)
        outcome = T(TText::LineDisconnected);
    else if (!answered.isEmpty())
        outcome = T(TText::NotTheDisplay).arg(answered.join(QStringLiteral(", ")));
    else
        outcome = T(TText::NothingAnswered);
    if (!port.Tried.empty())
        line += T(TText::OutcomeSeparator);
    return line + outcome + T(TText::FullStop);
}

} // namespace

QString AnsweredHandShakeText(TAnsweredHandShake answered) {
    switch (answered) {
    case TAnsweredHandShake::JavaPos:
        return QStringLiteral("JavaPOS");
    case TAnsweredHandShake::Standard:
        return T(TText::Standard);
    case TAnsweredHandShake::None:
        break;
    }
    return T(TText::NoHandShake);
}

QString FoundDisplayText(const TFoundDisplay& found) {
    QString text = T(TText::Found).arg(QString::fromStdString(found.PortName)).arg(found.BaudRate);
    if (found.ByDocument)
        text += ModelLabel() + QLatin1Char(' ') + QString::fromStdString(found.Model) +
                QLatin1Char('\r') + FirmwareVersionLabel() + QLatin1Char(' ') +
                QString::number(found.FirmwareVersion) + QLatin1Char('\r');
    return text + T(TText::HandShake) + AnsweredHandShakeText(found.HandShake);
}

QString StrayCharactersFoundText() {
    return T(TText::StrayCharactersFound);
}

QString NotFoundText(const TSearchResult& search) {
    QString text = T(TText::NotFound);
    for (const TPortSearch& port : search.Ports)
        text += QLatin1Char('\r') + PortOutcome(port);
    return text + T(TText::StrayCharactersNotFound);
}

QString AskEveryPortText() {
    return T(TText::AskEveryPort);
}

bool OtherSpeedsTried(const TSearchResult& search) {
    for (const TPortSearch& port : search.Ports)
        if (port.Found && port.Tried.size() > 1)
            return true;
    return false;
}
