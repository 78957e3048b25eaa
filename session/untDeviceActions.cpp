// SPDX-License-Identifier: Apache-2.0
#include "untDeviceActions.h"

#include "untBaudRate.h"
#include "untCmd_RV310.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untCommandMode.h"
#include "untHex.h"
#include "untInterChar.h"
#include "untTestPatterns.h"
#include "untUtf16.h"

#include <cerrno>
#include <exception>

namespace {

// Thrown inside the steps when the line has hung up or the action was cancelled: nothing more
// may be sent, and no further message but the disconnect is shown.
struct TActionEnds {};

void Report(TActionResult& result, const TActionHooks& hooks, TMessageKind kind,
            TMessageStyle style, std::string text = {}) {
    TActionMessage message{kind, style, std::move(text)};
    result.Messages.push_back(message);
    if (hooks.Reported)
        hooks.Reported(message);
}

// After every exchange, send and pause.
void StopIfInterrupted(const TCommConnection& connection) {
    if (connection.HungUp() || connection.Cancelled())
        throw TActionEnds{};
}

// A frame's send result, once it is known that the line is still there.
bool Sent(const TCommConnection& connection, int code) {
    StopIfInterrupted(connection);
    return code == COMM_OK;
}

void Pause(TCommConnection& connection, int ms) {
    connection.Wait(ms);
    StopIfInterrupted(connection);
}

// The standard handshake: a failure is shown, and the action goes on once the user has seen it.
void StandardHandShake(TCommConnection& connection, const TActionHooks& hooks,
                       TActionResult& result) {
    result.HandShake = HandShake(connection);
    StopIfInterrupted(connection);
    if (result.HandShake == 0)
        return;
    Report(result, hooks, TMessageKind::HandShakeFailed, TMessageStyle::Error);
    if (hooks.AwaitContinue && !hooks.AwaitContinue()) {
        result.Cancelled = true;
        throw TActionEnds{};
    }
    StopIfInterrupted(connection);
}

void ReportSent(TActionResult& result, const TActionHooks& hooks, bool sent) {
    result.Sent = sent;
    if (sent)
        Report(result, hooks, TMessageKind::Done, TMessageStyle::Information, "Done!");
    else
        Report(result, hooks, TMessageKind::Fail, TMessageStyle::Warning, "Fail!");
}

// A setting carried by one frame after the handshake.
TDeviceAction OneFrameSetting(std::function<int(TCommConnection&)> send) {
    return [send](TCommConnection& connection, const TActionHooks& hooks, TActionResult& result) {
        StandardHandShake(connection, hooks, result);
        ReportSent(result, hooks, Sent(connection, send(connection)));
    };
}

// A frame without handshake or message.
TDeviceAction PlainFrame(std::function<int(TCommConnection&)> send) {
    return [send](TCommConnection& connection, const TActionHooks&, TActionResult& result) {
        result.Sent = Sent(connection, send(connection));
    };
}

TSettingsSummary SummaryOf(const TSystemInfo& info) {
    return {info.product_name,
            info.firmware_version,
            NameOfNo(BaudRateTable, info.Baud_Rate),
            NameOfNo(CommandModeTable, info.Comm_No),
            NameOfNo(InterCharTable, info.Char_No),
            NameOfNo(CodePageTable, info.Expand_Char_No)};
}

} // namespace

TOpenFailure OpenFailureOf(const std::string& portName, int error) {
    if (portName.empty())
        return TOpenFailure::NoPortName;
    switch (error) {
    case EACCES:
    case EPERM:
        return TOpenFailure::Permission;
    case EBUSY:
    case EAGAIN:
        return TOpenFailure::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return TOpenFailure::Missing;
    default:
        return TOpenFailure::Other;
    }
}

TActionResult RunDeviceAction(TCommConnection& connection, const TSessionTarget& target,
                              const TActionHooks& hooks, const TDeviceAction& steps) {
    TActionResult result;
    try {
        if (!connection.Open(target.PortName, target.BaudRate)) {
            const TOpenError& error = connection.LastOpenError();
            result.OpenFailure = OpenFailureOf(target.PortName, error.Code);
            result.OpenErrno = error.Code;
            result.OpenError = error.Text;
            Report(result, hooks, TMessageKind::OpenFailed, TMessageStyle::Error,
                   "SerialPort Open Failed");
            return result;
        }
        result.Opened = true;
        steps(connection, hooks, result);
    } catch (const TActionEnds&) {
    } catch (const std::exception& e) {
        Report(result, hooks, TMessageKind::Error, TMessageStyle::Error, e.what());
    } catch (...) {
        Report(result, hooks, TMessageKind::Error, TMessageStyle::Error, "Unknown error");
    }
    result.Disconnected = connection.HungUp();
    result.Cancelled = result.Cancelled || connection.Cancelled();
    connection.Close();
    if (result.Disconnected && !result.Cancelled)
        Report(result, hooks, TMessageKind::Disconnected, TMessageStyle::Warning,
               "The display was disconnected.");
    return result;
}

TDeviceAction GetSettingsSteps(const TSystemInfo& current) {
    return [current](TCommConnection& connection, const TActionHooks& hooks,
                     TActionResult& result) {
        TSystemInfo record = current;
        // No message for this handshake: its success only marks the JavaPOS mode.
        record.jpos = HandShakeJpos(connection) == 0;
        StopIfInterrupted(connection);
        ByteString reply = DSP_GetSettings(connection);
        StopIfInterrupted(connection);
        result.Settings = record;
        if (reply.empty()) {
            Report(result, hooks, TMessageKind::GetSettingsError, TMessageStyle::Warning,
                   "Get Settings Error!");
            return;
        }
        // The document ends at the display's 00; bytes that came with it in the same read are
        // not part of it, and keeping them would make the outcome depend on how reads split.
        reply.resize(reply.find('\0'));
        result.SettingsReply = reply;
        TParseResult parsed;
        try {
            parsed = ParseSettingsJson(Utf8ToUtf16(reply), record);
        } catch (const ESettingsTypeError& e) {
            Report(result, hooks, TMessageKind::Error, TMessageStyle::Error, e.what());
            result.Settings = record;
            return;
        }
        result.Settings = record;
        if (!parsed.Success) {
            Report(result, hooks, TMessageKind::ParseError, TMessageStyle::Warning, parsed.Error);
            return;
        }
        result.SettingsComplete = true;
        result.Summary = SummaryOf(record);
        Report(result, hooks, TMessageKind::Summary, TMessageStyle::Information);
    };
}

TDeviceAction SetCommandSteps(int commandNo) {
    return OneFrameSetting(
        [commandNo](TCommConnection& c) { return DSP_SetCommand(c, commandNo); });
}

TDeviceAction SetBrightnessSteps(int level) {
    return OneFrameSetting([level](TCommConnection& c) { return DSP_SetBrightness(c, level); });
}

TDeviceAction SetBaudRateSteps(int baudNo) {
    return [baudNo](TCommConnection& connection, const TActionHooks& hooks, TActionResult& result) {
        StandardHandShake(connection, hooks, result);
        // Without a speed of the table there is nothing to send: any other code is no speed of
        // the display, and following it would lose the display.
        const int rate = BitsPerSecondOfNo(baudNo);
        const bool sent = rate > 0 && DSP_SetBaudrate(connection, baudNo) == COMM_OK;
        StopIfInterrupted(connection);
        if (sent)
            result.NewBaudRate = rate;
        ReportSent(result, hooks, sent);
    };
}

TDeviceAction SetWelcomeSteps(const ByteString& line1, const ByteString& line2, bool scroll) {
    return [line1, line2, scroll](TCommConnection& connection, const TActionHooks& hooks,
                                  TActionResult& result) {
        StandardHandShake(connection, hooks, result);
        // The display needs the pauses to store each line.
        bool sent = Sent(connection, DSP_SetWelMsg1(connection, line1));
        Pause(connection, 1500);
        sent = Sent(connection, DSP_SetWelMessage_2(connection, line2)) && sent;
        Pause(connection, 1500);
        sent = Sent(connection, DSP_SetWelMessage_2_Scroll(connection, scroll)) && sent;
        Pause(connection, 500);
        ReportSent(result, hooks, sent);
    };
}

TDeviceAction SetCodePageSteps(int charsetNo, int codePageNo) {
    return [charsetNo, codePageNo](TCommConnection& connection, const TActionHooks& hooks,
                                   TActionResult& result) {
        StandardHandShake(connection, hooks, result);
        bool sent = Sent(connection, DSP_SetCharset(connection, charsetNo));
        Pause(connection, 100);
        sent = Sent(connection, DSP_SetCodepage(connection, codePageNo)) && sent;
        ReportSent(result, hooks, sent);
    };
}

TDeviceAction RestartSteps() {
    return PlainFrame([](TCommConnection& c) { return DSP_Restart(c); });
}

TDeviceAction ClearSteps() {
    return PlainFrame([](TCommConnection& c) { return DSP_ClearScreen(c); });
}

TDeviceAction DisplayTextSteps(const std::u16string& text, int codePage,
                               std::optional<TTextPosition> position) {
    const ByteString bytes = TextToCodePageBytes(text, codePage);
    return PlainFrame([bytes, position](TCommConnection& c) {
        return position ? DSP_DisplayTextAt(c, bytes, position->Row, position->Column)
                        : DSP_DisplayText(c, bytes);
    });
}

TDeviceAction TestPatternSteps(int tag) {
    const TTestPattern* pattern = TestPatternOfTag(tag);
    // No handshake, no conversion, no message: the bytes go out as they are.
    const ByteString bytes = pattern != nullptr ? HexToBytes(pattern->Hex) : ByteString{};
    return PlainFrame([bytes](TCommConnection& c) { return DSP_DisplayText(c, bytes); });
}
