// SPDX-License-Identifier: Apache-2.0
// Find Display: the session searches the selected port from the selected speed on; the window
// selects the port and speed it found, or says what was tried and offers to search every listed
// port (probes to other devices only when the user says so).

#include "frmuVylSetup.h"

#include "untDisplaySession.h"
#include "untLanguage.h"
#include "untUtf16.h"

#include <string>
#include <vector>

namespace {

QString Rates(const std::vector<TSpeedTry>& tried) {
    QStringList rates;
    for (const TSpeedTry& t : tried)
        rates << QString::number(t.BaudRate);
    return rates.join(QStringLiteral(", "));
}

QString HandShakeText(TAnsweredHandShake answered, bool chinese) {
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

QString FoundText(const TFoundDisplay& found, bool otherSpeedsTried, bool chinese) {
    const QString port = QString::fromStdString(found.PortName);
    QString text =
        chinese
            ? QStringLiteral("在 %1 找到显示屏，波特率 %2。\r").arg(port).arg(found.BaudRate)
            : QStringLiteral("Display found on %1 at %2 bit/s.\r").arg(port).arg(found.BaudRate);
    if (found.ByDocument)
        text += ModelLabel + QLatin1Char(' ') + QString::fromStdString(found.Model) +
                QLatin1Char('\r') + FirmwareVersionLabel + QLatin1Char(' ') +
                QString::number(found.FirmwareVersion) + QLatin1Char('\r');
    text += (chinese ? QStringLiteral("握手：") : QStringLiteral("Handshake: ")) +
            HandShakeText(found.HandShake, chinese);
    if (otherSpeedsTried)
        text += chinese ? QStringLiteral("\r\r尝试其他波特率时，显示屏上可能出现了乱码字符。")
                        : QStringLiteral("\r\rStray characters may have appeared on the display "
                                         "while other speeds were tried.");
    return text;
}

// One line per port: what was tried and what came of it.
QString PortOutcome(const TPortSearch& port, bool chinese) {
    const QString name = QString::fromStdString(port.PortName);
    const QString rates = Rates(port.Tried);
    QString line = name + (chinese ? QStringLiteral("：") : QStringLiteral(": "));
    if (!port.Tried.empty())
        line += chinese ? QStringLiteral("已尝试 %1").arg(rates)
                        : QStringLiteral("tried %1 bit/s").arg(rates);
    QStringList answered;
    for (const TSpeedTry& t : port.Tried)
        if (t.Outcome == TSpeedOutcome::Unproven)
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

QString AskEveryPortText(bool chinese) {
    return chinese ? QStringLiteral("是否在所有列出的串口上查找显示屏？\r\r"
                                    "查找请求会以各个波特率发送到每个串口：其他串口上的设备"
                                    "可能出现乱码字符。")
                   : QStringLiteral("Search every listed port for the display?\r\r"
                                    "The search request goes to each port at each speed: "
                                    "devices on the other ports may show stray characters.");
}

} // namespace

void TfrmVylSetup::btn_FindDisplayClick() {
    FindDisplay(false);
}

void TfrmVylSetup::FindDisplay(bool everyPort) {
    std::vector<std::string> listed;
    for (int i = 0; everyPort && i < cbb_SerialPort->count(); ++i)
        listed.push_back(cbb_SerialPort->itemText(i).toStdString());
    StartDeviceAction(
        [everyPort, listed](TDisplaySession& session, const TSessionTarget& target) {
            TSearchRequest request;
            request.Ports = everyPort ? listed : std::vector<std::string>{target.PortName};
            request.FirstRate = target.BaudRate;
            return session.FindDisplay(request);
        },
        [this, everyPort](const TActionResult& result) { ShowSearchResult(result, everyPort); });
}

void TfrmVylSetup::ShowSearchResult(const TActionResult& result, bool everyPort) {
    if (!result.Search || result.Cancelled)
        return;
    const bool chinese = IsChineseLangID(LangID);
    const TSearchResult& search = *result.Search;
    if (const TFoundDisplay* found = search.Found()) {
        const QString port = QString::fromStdString(found->PortName);
        const int portIndex = cbb_SerialPort->findText(port);
        if (portIndex >= 0)
            cbb_SerialPort->setCurrentIndex(portIndex);
        CurrentPortName = port.toStdU16String();
        const int rateIndex = cbb_BaudRate->findText(QString::number(found->BaudRate));
        if (rateIndex >= 0)
            cbb_BaudRate->setCurrentIndex(rateIndex);
        CurrentBaudRate = BaudRateOfText(cbb_BaudRate->currentText());
        bool otherSpeeds = false;
        for (const TPortSearch& p : search.Ports)
            otherSpeeds = otherSpeeds || (p.Found && p.Tried.size() > 1);
        ActionMessage(FoundText(*found, otherSpeeds, chinese), TMsgStyle::Information);
        return;
    }
    ActionMessage(NotFoundText(search, chinese), TMsgStyle::Warning);
    // Other ports only when the user says so: the probes would reach whatever is there.
    if (!everyPort && cbb_SerialPort->count() > 1 &&
        ActionMessage(AskEveryPortText(chinese), TMsgStyle::AskYesNo) == TMsgResult::Yes)
        afterAction_ = [this] { FindDisplay(true); };
}
