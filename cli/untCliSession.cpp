// SPDX-License-Identifier: Apache-2.0
#include "untCliSession.h"

#include "untActionTexts.h"
#include "untCliFind.h"
#include "untCliTexts.h"
#include "untLanguage.h"
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
                         out_.Warning(HandShakeFailMessage);
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
        target_ = {port, *options_.BaudRate};
        return std::nullopt;
    }
    const std::optional<TSessionTarget> found = FindDisplaySpeed(port, std::nullopt);
    if (!found) {
        out_.Error(CliText(TCliText::NoDisplay));
        return TExitCode::NoDisplay;
    }
    target_ = *found;
    return std::nullopt;
}

std::optional<TExitCode> TCliSession::Interrupted() {
    if (interrupt_.Signal() == 0)
        return std::nullopt;
    out_.Error(CliText(TCliText::Interrupted));
    return static_cast<TExitCode>(static_cast<int>(TExitCode::InterruptBase) + interrupt_.Signal());
}

std::optional<TExitCode> TCliSession::RunShared(const TActionStart& start, TActionResult& result) {
    // A Ctrl-C between two actions ends the command before the next one.
    if (auto code = Interrupted())
        return code;
    refused_ = false;
    if (!start(session_, target_)) {
        out_.Error(QStringLiteral("the display session is busy"));
        return TExitCode::Failed;
    }
    result = session_.WaitForResult();
    if (auto code = Interrupted())
        return code;
    const bool chinese = CliChinese();
    if (!result.Opened) {
        out_.Error(QStringLiteral("SerialPort Open Failed: ") +
                   QString::fromStdString(target_.PortName) + QLatin1Char('\n') +
                   OpenFailureDetail(result, chinese, TFrontEnd::CommandLine));
        return TExitCode::PortNotOpened;
    }
    if (refused_) {
        out_.Error(CliText(TCliText::NoDisplay));
        return TExitCode::NoDisplay;
    }
    if (result.Disconnected) {
        out_.Error(DisconnectedText(chinese) + QLatin1Char('\n') +
                   DisconnectedDetail(chinese, TFrontEnd::CommandLine));
        return TExitCode::Failed;
    }
    return std::nullopt;
}

std::optional<TExitCode> TCliSession::Run(const TActionStart& start, TActionResult& result) {
    if (auto code = RunShared(start, result))
        return code;
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
    const TSystemInfo under = DefaultRecord();
    const TActionStart read = [&under](TDisplaySession& session, const TSessionTarget& target) {
        return session.GetSettings(target, under);
    };
    if (auto code = RunShared(read, result))
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
