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
    NoPortToSearch,
    OthersFound,
    OtherFound,
    Trying,
    CancelSearch,
};

constexpr std::array<TTextRow<TText>, 22> Texts{{
    {TText::PortSeparator, {u": ", u"："}},
    {TText::Tried, {u"tried %1 bit/s", u"已尝试 %1"}},
    {TText::NoPortListed,
     {u"no serial port is listed: connect the display and press Refresh",
      u"没有列出串口：请连接客显后按“刷新”"}},
    {TText::NotOpened, {u"could not be opened (%1)", u"无法打开（%1）"}},
    {TText::LineDisconnected, {u"the line was disconnected", u"连接已断开"}},
    {TText::NotTheDisplay,
     {u"at %1 something answered that is not the display", u"%1 有应答，但不是客显"}},
    {TText::NothingAnswered, {u"nothing answered", u"无应答"}},
    {TText::OutcomeSeparator, {u"; ", u"，"}},
    {TText::FullStop, {u".", u"。"}},
    {TText::Standard, {u"standard (no JavaPOS)", u"标准（不支持 JavaPOS）"}},
    {TText::NoHandShake, {u"none", u"无"}},
    {TText::Found, {u"Display found on %1 at %2 bit/s.\r", u"在 %1 找到客显，波特率 %2。\r"}},
    {TText::HandShake, {u"Handshake: ", u"握手："}},
    {TText::StrayCharactersFound,
     {u"Stray characters may have appeared on the display while other speeds were tried.",
      u"尝试其他波特率时，客显上可能出现了乱码字符。"}},
    {TText::NotFound, {u"No display was found.\r", u"未找到客显。\r"}},
    {TText::StrayCharactersNotFound,
     {u"\r\rStray characters may have appeared on a display searched at a speed other than its "
      u"own.",
      u"\r\r以其他波特率查找时，客显上可能出现了乱码字符。"}},
    {TText::AskEveryPort,
     {u"Search every listed port for the display?\r\rAt a speed not yet proven only the settings "
      u"request is sent, 02 07 16 05 (STX BEL SYN ENQ); the handshakes follow only where the "
      u"reply looks like the display's (it ends in 00, holds more than that, and is no echo of "
      u"the request). Each open of a port toggles its DTR and RTS lines. What other devices may "
      u"receive: a receipt printer may beep, print or open its cash drawer on the request; a "
      u"display at another speed reads it garbled, and one whose receiver keeps characters "
      u"with framing errors may clear its screen or show stray characters.",
      u"是否在所有列出的串口上查找客显？\r\r在尚未确认的波特率下只发送设置请求 02 07 16 05"
      u"（STX BEL SYN ENQ）；只有应答像客显的应答（以 00 结尾、此外还有内容、且不是请求的回显）"
      u"时才发送握手。每次打开串口都会切换它的 DTR 和 RTS 线。其他设备可能收到这些字节："
      u"收据打印机可能因该请求鸣响、打印或打开钱箱；以其他波特率工作的客显收到的是乱码，"
      u"若其接收器保留带帧错误的字符，可能清屏或显示乱码字符。"}},
    {TText::NoPortToSearch,
     {u"No serial port is listed: connect the display and press Refresh.",
      u"没有列出串口：请连接客显后按“刷新”。"}},
    {TText::OthersFound, {u"\r\rOther displays found: %1.", u"\r\r还找到其他客显：%1。"}},
    {TText::OtherFound, {u"%1 at %2 bit/s", u"%1（波特率 %2）"}},
    {TText::Trying, {u"Finding the display: %1 at %2 bit/s", u"正在查找客显：%1，波特率 %2"}},
    {TText::CancelSearch, {u"Cancel", u"取消"}},
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

QString NoPortToSearchText() {
    return T(TText::NoPortToSearch);
}

QString OtherDisplaysFoundText(const TSearchResult& search) {
    const TFoundDisplay* first = search.Found();
    QStringList others;
    for (const TPortSearch& port : search.Ports)
        if (port.Found && &*port.Found != first)
            others << T(TText::OtherFound)
                          .arg(QString::fromStdString(port.Found->PortName))
                          .arg(port.Found->BaudRate);
    if (others.isEmpty())
        return {};
    return T(TText::OthersFound).arg(others.join(T(TText::OutcomeSeparator)));
}

QString TryingText(const std::string& port, int rate) {
    return T(TText::Trying).arg(QString::fromStdString(port)).arg(rate);
}

QString CancelSearchCaption() {
    return T(TText::CancelSearch);
}
