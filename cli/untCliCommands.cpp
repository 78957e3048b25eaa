// SPDX-License-Identifier: Apache-2.0
#include "untCliCommands.h"

#include "untActionTexts.h"
#include "untCliCommandTable.h"
#include "untCliJson.h"
#include "untCliPlan.h"
#include "untCliSession.h"
#include "untCliSettings.h"
#include "untCliTexts.h"
#include "untCodePage.h"
#include "untPortInfo.h"
#include "untSearchTexts.h"
#include "untSettingsFile.h"
#include "untSettingsValues.h"
#include "untTestPatterns.h"
#include "untUtf16.h"
#include "untUtf8File.h"

#include <QFile>

static QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

static TExitCode UsageError(TCliOutput& out, const QString& message) {
    out.Error(message + QLatin1Char('\n') + CliText(TCliText::TryHelp));
    return TExitCode::Usage;
}

// ---------------------------------------------------------------- ports

static std::string OrDash(const std::string& text) {
    return text.empty() ? std::string("-") : text;
}

TExitCode CliPorts(const TCliOptions& options, TCliOutput& out) {
    std::vector<TPortInfo> ports;
    if (!ListPortInfo(ports)) {
        out.Error(CliText(TCliText::PortListUnreadable));
        return TExitCode::Failed;
    }
    std::string text;
    if (options.Json) {
        std::vector<nlohmann::ordered_json> objects;
        for (const TPortInfo& p : ports)
            objects.push_back({{"name", p.Name},
                               {"device", p.DevicePath},
                               {"stablePath", p.StablePath},
                               {"usbId", p.UsbId},
                               {"manufacturer", p.Manufacturer},
                               {"product", p.Product},
                               {"virtual", p.Virtual}});
        text = JsonObjectLines(objects);
    } else {
        for (const TPortInfo& p : ports)
            text += p.Name + '\t' + OrDash(p.DevicePath) + '\t' + OrDash(p.StablePath) + '\t' +
                    (p.Virtual ? std::string("virtual") : OrDash(p.UsbId)) + '\t' +
                    OrDash(p.Manufacturer) + '\t' + OrDash(p.Product) + '\n';
    }
    out.Data(text);
    return TExitCode::Success;
}

// ---------------------------------------------------------------- finding

static std::string HandShakeName(TAnsweredHandShake answered) {
    switch (answered) {
    case TAnsweredHandShake::JavaPos:
        return "javapos";
    case TAnsweredHandShake::Standard:
        return "standard";
    case TAnsweredHandShake::None:
        break;
    }
    return "none";
}

// Every display found, one per port: a line of tab-separated fields, or a JSON array.
static std::string FoundText(const TSearchResult& search, bool json) {
    std::string text;
    std::vector<nlohmann::ordered_json> objects;
    for (const TPortSearch& port : search.Ports) {
        if (!port.Found)
            continue;
        const TFoundDisplay& d = *port.Found;
        const std::string firmware = d.ByDocument ? std::to_string(d.FirmwareVersion) : "";
        objects.push_back(
            {{"port", d.PortName},
             {"baud", d.BaudRate},
             {"model", d.ByDocument ? nlohmann::ordered_json(d.Model) : nullptr},
             {"firmware", d.ByDocument ? nlohmann::ordered_json(d.FirmwareVersion) : nullptr},
             {"handshake", HandShakeName(d.HandShake)},
             {"javapos", d.HandShake == TAnsweredHandShake::JavaPos}});
        text += d.PortName + '\t' + std::to_string(d.BaudRate) + '\t' +
                OrDash(d.ByDocument ? d.Model : "") + '\t' + OrDash(firmware) + '\t' +
                HandShakeName(d.HandShake) + '\n';
    }
    return json ? JsonObjectLines(objects) : text;
}

TExitCode CliFind(const TCliOptions& options, TCliOutput& out) {
    TSearchRequest request;
    if (options.Port)
        request.Ports.push_back(*options.Port);
    if (options.AllPorts) {
        std::vector<TPortInfo> ports;
        if (!ListPortInfo(ports)) {
            out.Error(CliText(TCliText::PortListUnreadable));
            return TExitCode::Failed;
        }
        for (const TPortInfo& port : ports)
            request.Ports.push_back(port.Name);
        if (request.Ports.empty()) {
            out.Error(CliText(TCliText::NoPortsListed) + QLatin1Char('\n') +
                      CliText(TCliText::NoDisplay));
            return TExitCode::NoDisplay;
        }
    }
    if (options.BaudRate)
        request.FirstRate = *options.BaudRate;
    TCliSession session(options, out);
    TSearchResult search;
    if (auto code = session.Search(request, search))
        return *code;
    out.Data(FoundText(search, options.Json));
    if (OtherSpeedsTried(search))
        out.Progress(StrayCharactersFoundText());
    return TExitCode::Success;
}

// ---------------------------------------------------------------- reading

TExitCode CliGet(const TCliOptions& options, TCliOutput& out) {
    TCliSession session(options, out);
    if (auto code = session.ResolveTarget())
        return *code;
    TSystemInfo record;
    TActionResult result;
    if (auto code = session.ReadSettings(record, result))
        return *code;
    if (options.Json)
        out.Data(result.SettingsReply + '\n');
    else if (result.Summary)
        out.Data(SettingsSummaryText(*result.Summary, QLatin1Char('\n')));
    return TExitCode::Success;
}

TExitCode CliSave(const TCliOptions& options, TCliOutput& out) {
    const std::string& path = options.Arguments.front();
    TCliSession session(options, out);
    if (auto code = session.ResolveTarget())
        return *code;
    TSystemInfo record;
    TActionResult result;
    if (auto code = session.ReadSettings(record, result))
        return *code;
    // What the window's controls show of the record is what its Save Setting writes.
    StoreSettingsValues(SettingsValuesOf(record), record);
    if (auto code = session.Interrupted())
        return *code;
    try {
        WriteUtf8File(SettingsFileText(record), path);
    } catch (const EFileError& error) {
        out.Error(Q(error.what()));
        return TExitCode::FileError;
    }
    out.Progress(QStringLiteral("Save Settings File Success:") + QFile::decodeName(path.c_str()));
    return TExitCode::Success;
}

// ---------------------------------------------------------------- changing

// The display's settings under a change: with --force, a display that cannot be read gets the
// window's defaults, as the window sends them when nobody pressed Get Setting.
static std::optional<TExitCode> ReadForChange(const TCliOptions& options, TCliOutput& out,
                                              TCliSession& session, TSystemInfo& record,
                                              bool& unread) {
    TActionResult result;
    const std::optional<TExitCode> code = session.ReadSettings(record, result);
    unread = false;
    if (code && options.Force && (*code == TExitCode::NoDisplay || *code == TExitCode::Unusable)) {
        out.Warning(CliText(TCliText::DefaultsTaken));
        record = DefaultRecord();
        unread = true;
        return std::nullopt;
    }
    return code;
}

// What `set` and `apply` share once their input is good: the display read, the plan over its
// settings (`planFailure` when it cannot be made), the actions sent and confirmed.
template <typename Input>
static TExitCode ChangeSettings(const TCliOptions& options, TCliOutput& out, const Input& input,
                                QString (*planOf)(const TSystemInfo&, Input, TSettingPlan&),
                                TExitCode planFailure) {
    TCliSession session(options, out);
    if (auto code = session.ResolveTarget())
        return *code;
    TSystemInfo display;
    TSettingPlan plan;
    if (auto code = ReadForChange(options, out, session, display, plan.DisplayUnread))
        return *code;
    if (const QString error = planOf(display, input, plan); !error.isEmpty()) {
        out.Error(error);
        return planFailure;
    }
    return SendAndConfirm(session, out, plan);
}

TExitCode CliSet(const TCliOptions& options, TCliOutput& out) {
    TSettingRequest request;
    for (const std::string& argument : options.Arguments)
        if (const QString error = AddSettingArgument(argument, request); !error.isEmpty())
            return UsageError(out, error);
    return ChangeSettings<const TSettingRequest&>(options, out, request, PlanOfRequest,
                                                  TExitCode::Unusable);
}

TExitCode CliApply(const TCliOptions& options, TCliOutput& out) {
    const QString path = QFile::decodeName(options.Arguments.front().c_str());
    // The file must read as settings before the display is touched.
    std::u16string text;
    QString failure;
    try {
        text = ReadSettingsFile(path, failure);
        if (failure.isEmpty()) {
            TSystemInfo trial = DefaultRecord();
            failure = LoadSettingsText(text, trial);
        }
    } catch (const std::exception& error) { // EFileError, ESettingsTypeError
        failure = Q(error.what());
    }
    if (!failure.isEmpty()) {
        out.Error(failure);
        return TExitCode::FileError;
    }
    return ChangeSettings<std::u16string_view>(options, out, text, PlanOfFile,
                                               TExitCode::FileError);
}

// ---------------------------------------------------------------- the test page

TExitCode CliShowText(const TCliOptions& options, TCliOutput& out) {
    TCliSession session(options, out);
    if (auto code = session.ResolveTarget())
        return *code;
    int codePageRow = options.CodePage.value_or(-1);
    if (!options.CodePage) {
        TSystemInfo display;
        TActionResult result;
        if (auto code = session.ReadSettings(display, result))
            return *code;
        codePageRow = IndexOfNo(CodePageTable, display.Expand_Char_No);
        if (codePageRow < 0) {
            out.Error(CliText(TCliText::ValueWithoutRow)
                          .arg(QStringLiteral("codepage"), QString::number(display.Expand_Char_No),
                               QStringLiteral("--codepage")));
            return TExitCode::Unusable;
        }
    }
    std::optional<TTextPosition> position;
    if (options.Row || options.Column)
        position = TTextPosition{options.Row.value_or(1), options.Column.value_or(1)};
    const std::u16string text = Utf8ToUtf16(options.Arguments.front());
    const int codePage = CodePageAtIndex(codePageRow);
    TActionResult result;
    if (auto code = session.Run(result, &TDisplaySession::DisplayText, text, codePage, position))
        return *code;
    return TExitCode::Success;
}

// An action without values of its own: clear, restart, a test pattern.
template <typename... Params, typename... Args>
static TExitCode PlainAction(const TCliOptions& options, TCliOutput& out,
                             bool (TDisplaySession::*action)(Params...), Args... args) {
    TCliSession session(options, out);
    if (auto code = session.ResolveTarget())
        return *code;
    TActionResult result;
    if (auto code = session.Run(result, action, args...))
        return *code;
    return TExitCode::Success;
}

TExitCode CliPattern(const TCliOptions& options, TCliOutput& out) {
    const TTestPattern* pattern = TestPatternNamed(options.Arguments.front());
    if (pattern == nullptr)
        return UsageError(out,
                          CliText(TCliText::UnknownPattern)
                              .arg(Q(options.Arguments.front()).trimmed(), Q(TestPatternNames())));
    return PlainAction(options, out, &TDisplaySession::ShowTestPattern, pattern->Tag);
}

TExitCode CliClear(const TCliOptions& options, TCliOutput& out) {
    return PlainAction(options, out, &TDisplaySession::Clear);
}

TExitCode CliRestart(const TCliOptions& options, TCliOutput& out) {
    return PlainAction(options, out, &TDisplaySession::Restart);
}

TExitCode RunCliCommand(const TCliOptions& options, TCliOutput& out) {
    if (const TCliCommandRow* row = CliCommandRow(options.Command))
        return row->Run(options, out);
    return UsageError(out, CliText(TCliText::NoCommand));
}
