// SPDX-License-Identifier: Apache-2.0
#include "untCliSession.h"

#include "untActionTexts.h"
#include "untCliTexts.h"
#include "untLanguage.h"
#include "untSearchTexts.h"
#include "untUtf16.h"

TCliSession::TCliSession(const TCliOptions& options, TCliOutput& out)
    : options_(options), out_(out), interrupt_([this] { session_.Cancel(); }) {
    // With --force the actions go on past a failed handshake by themselves; without, the
    // failure cancels the action before it sends its frames.
    session_.SetAutoContinue(options_.Force);
    QObject::connect(&session_, &TDisplaySession::MessageReported, &session_,
                     [this](const TActionMessage& message) {
                         if (message.Kind != TMessageKind::HandShakeFailed)
                             return;
                         out_.Warning(HandShakeFailMessage());
                         if (options_.Force) {
                             out_.Warning(CliText(TCliText::Forced));
                         } else {
                             refused_ = true;
                             session_.Cancel();
                         }
                     });
}

std::optional<TExitCode> TCliSession::ResolveTarget() {
    const std::string port = options_.Port.value_or(std::string());
    if (options_.BaudRate) {
        session_.SetTarget({port, *options_.BaudRate});
        return std::nullopt;
    }
    // No speed given: the display's own, found from its factory speed on (the search moves
    // the target there).
    TSearchRequest request;
    request.Ports = {port};
    TSearchResult search;
    if (auto code = Search(request, search))
        return code;
    out_.Progress(CliText(TCliText::SpeedFound).arg(session_.Target().BaudRate));
    if (OtherSpeedsTried(search))
        out_.Progress(StrayCharactersFoundText());
    return std::nullopt;
}

std::optional<TExitCode> TCliSession::Search(const TSearchRequest& request, TSearchResult& search) {
    if (auto code = Interrupted())
        return code;
    QStringList ports;
    for (const std::string& port : request.Ports)
        ports << QString::fromStdString(port);
    out_.Progress(CliText(TCliText::Searching)
                      .arg(ports.join(QStringLiteral(", ")), QString::number(request.FirstRate)));
    if (!session_.FindDisplay(request)) {
        out_.Error(QStringLiteral("the display session is busy"));
        return TExitCode::Failed;
    }
    const TActionResult result = session_.WaitForResult();
    if (auto code = Interrupted())
        return code;
    search = result.Search.value_or(TSearchResult{});
    if (search.Found())
        return std::nullopt;
    // One port that does not open is the port's failure, as for every other action.
    if (search.Ports.size() == 1 && search.Ports.front().OpenFailed &&
        search.Ports.front().Tried.empty()) {
        const TPortSearch& port = search.Ports.front();
        TActionResult failed;
        failed.OpenFailure = OpenFailureOf(port.PortName, port.OpenErrno);
        failed.OpenErrno = port.OpenErrno;
        failed.OpenError = port.OpenError;
        ReportOpenFailure(port.PortName, failed);
        return TExitCode::PortNotOpened;
    }
    out_.Error(NotFoundText(search) + QLatin1Char('\n') + CliText(TCliText::NoDisplay));
    return TExitCode::NoDisplay;
}

void TCliSession::ReportOpenFailure(const std::string& port, const TActionResult& result) {
    out_.Error(QStringLiteral("SerialPort Open Failed: ") + QString::fromStdString(port) +
               QLatin1Char('\n') + OpenFailureDetail(result, TFrontEnd::CommandLine));
}

std::optional<TExitCode> TCliSession::Interrupted() {
    if (interrupt_.Signal() == 0)
        return std::nullopt;
    out_.Error(CliText(TCliText::Interrupted));
    return static_cast<TExitCode>(static_cast<int>(TExitCode::InterruptBase) + interrupt_.Signal());
}

std::optional<TExitCode> TCliSession::Ended(bool started, TActionResult& result) {
    // Its messages arrive while it is waited for, below.
    refused_ = false;
    if (!started) {
        out_.Error(QStringLiteral("the display session is busy"));
        return TExitCode::Failed;
    }
    result = session_.WaitForResult();
    if (auto code = Interrupted())
        return code;
    if (!result.Opened) {
        ReportOpenFailure(session_.Target().PortName, result);
        return TExitCode::PortNotOpened;
    }
    if (refused_) {
        out_.Error(CliText(TCliText::NoDisplay));
        return TExitCode::NoDisplay;
    }
    if (result.Disconnected) {
        out_.Error(DisconnectedText() + QLatin1Char('\n') +
                   DisconnectedDetail(TFrontEnd::CommandLine));
        return TExitCode::Failed;
    }
    return std::nullopt;
}

std::optional<TExitCode> TCliSession::AllSent(const TActionResult& result) {
    for (const TActionMessage& message : result.Messages) {
        if (message.Kind == TMessageKind::Error || message.Kind == TMessageKind::Fail) {
            out_.Error(QString::fromStdString(message.Text));
            return TExitCode::Failed;
        }
    }
    if (!result.Sent) {
        out_.Error(QStringLiteral("Fail!"));
        return TExitCode::Failed;
    }
    return std::nullopt;
}

std::optional<TExitCode> TCliSession::ReadSettings(TSystemInfo& record, TActionResult& result) {
    // A Ctrl-C between two actions ends the command before the next one.
    if (auto code = Interrupted())
        return code;
    if (auto code = Ended(session_.GetSettings(DefaultRecord()), result))
        return code;
    for (const TActionMessage& message : result.Messages) {
        switch (message.Kind) {
        case TMessageKind::GetSettingsError:
            out_.Error(QString::fromStdString(message.Text) + QLatin1Char('\n') +
                       CliText(TCliText::NoDisplay));
            return TExitCode::NoDisplay;
        case TMessageKind::ParseError:
        case TMessageKind::Error:
            out_.Error(QString::fromStdString(message.Text) + QLatin1Char('\n') +
                       CliText(TCliText::Unusable));
            return TExitCode::Unusable;
        default:
            break;
        }
    }
    if (!result.SettingsComplete || !result.Settings) {
        out_.Error(CliText(TCliText::Unusable));
        return TExitCode::Unusable;
    }
    record = *result.Settings;
    return std::nullopt;
}

TSystemInfo DefaultRecord() {
    TSystemInfo record;
    ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()), record);
    return record;
}
