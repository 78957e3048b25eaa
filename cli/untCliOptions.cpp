// SPDX-License-Identifier: Apache-2.0
#include "untCliOptions.h"

#include "untBaudRate.h"
#include "untCliSettings.h"
#include "untCliTexts.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

struct TCommandRow {
    TCliCommand Command;
    std::string_view Name;
    // The number of arguments it takes: at least Min, at most Max (-1: no limit).
    int Min;
    int Max;
    const char16_t* ArgumentsEn; // for the count message
    const char16_t* ArgumentsZh;
};

constexpr std::array<TCommandRow, 10> Commands{{
    {TCliCommand::Ports, "ports", 0, 0, u"no arguments", u"不带参数"},
    {TCliCommand::Find, "find", 0, 0, u"no arguments", u"不带参数"},
    {TCliCommand::Get, "get", 0, 0, u"no arguments", u"不带参数"},
    {TCliCommand::Set, "set", 1, -1, u"one or more KEY=VALUE", u"一个或多个 KEY=VALUE"},
    {TCliCommand::Apply, "apply", 1, 1, u"one file name", u"一个文件名"},
    {TCliCommand::Save, "save", 1, 1, u"one file name", u"一个文件名"},
    {TCliCommand::Text, "text", 1, 1, u"one text", u"一段文本"},
    {TCliCommand::Clear, "clear", 0, 0, u"no arguments", u"不带参数"},
    {TCliCommand::Restart, "restart", 0, 0, u"no arguments", u"不带参数"},
    {TCliCommand::Pattern, "pattern", 1, 1, u"one pattern name", u"一个测试图案名"},
}};

const TCommandRow* CommandRow(TCliCommand command) {
    for (const TCommandRow& row : Commands)
        if (row.Command == command)
            return &row;
    return nullptr;
}

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The message with its place holders filled in one pass (a value may hold a '%').
QString Message(TCliText text, const QString& a) {
    return CliText(text).arg(a);
}

QString Message(TCliText text, const QString& a, const QString& b) {
    return CliText(text).arg(a, b);
}

QString Message(TCliText text, const QString& a, const QString& b, const QString& c) {
    return CliText(text).arg(a, b, c);
}

bool ReadInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc{} && ptr == end;
}

enum class TOption {
    Port,
    Baud,
    Json,
    Quiet,
    Force,
    AllPorts,
    Help,
    Version,
    Row,
    Column,
    CodePage
};

struct TOptionRow {
    std::string_view Name;
    TOption Option;
    bool Valued;
    // The commands it applies to; empty: every command.
    std::vector<TCliCommand> Commands;
};

const std::vector<TOptionRow>& Options() {
    static const std::vector<TOptionRow> rows = {
        {"--port", TOption::Port, true, {}},
        {"--baud", TOption::Baud, true, {}},
        {"--json", TOption::Json, false, {}},
        {"--quiet", TOption::Quiet, false, {}},
        {"--force", TOption::Force, false, {TCliCommand::Set, TCliCommand::Apply}},
        {"--all-ports", TOption::AllPorts, false, {TCliCommand::Find}},
        {"--help", TOption::Help, false, {}},
        {"-h", TOption::Help, false, {}},
        {"--version", TOption::Version, false, {}},
        {"--row", TOption::Row, true, {TCliCommand::Text}},
        {"--column", TOption::Column, true, {TCliCommand::Text}},
        {"--codepage", TOption::CodePage, true, {TCliCommand::Text}},
    };
    return rows;
}

// Applies one option's value; the usage error, empty when it is good.
QString ApplyOption(TOption option, const std::string& value, TCliOptions& o) {
    int number = 0;
    switch (option) {
    case TOption::Port:
        o.Port = value;
        return {};
    case TOption::Baud:
        if (const int row = RowNamed(TSettingList::BaudRate, value); row >= 0) {
            o.BaudRate = BaudRateTable[static_cast<std::size_t>(row)].BitsPerSecond;
            return {};
        }
        return Message(TCliText::BadBaudRate, Q(value), Q(ListNames(TSettingList::BaudRate)));
    case TOption::Row:
        if (ReadInt(value, number) && number >= 1 && number <= 2) {
            o.Row = number;
            return {};
        }
        return Message(TCliText::BadPosition, QStringLiteral("--row"), Q(value),
                       QStringLiteral("2"));
    case TOption::Column:
        if (ReadInt(value, number) && number >= 1 && number <= 20) {
            o.Column = number;
            return {};
        }
        return Message(TCliText::BadPosition, QStringLiteral("--column"), Q(value),
                       QStringLiteral("20"));
    case TOption::CodePage:
        if (const int row = RowNamed(TSettingList::CodePage, value); row >= 0) {
            o.CodePage = row;
            return {};
        }
        return Message(TCliText::BadValue, QStringLiteral("--codepage"), Q(value),
                       Q(ListNames(TSettingList::CodePage)));
    case TOption::Json:
        o.Json = true;
        return {};
    case TOption::Quiet:
        o.Quiet = true;
        return {};
    case TOption::Force:
        o.Force = true;
        return {};
    case TOption::AllPorts:
        o.AllPorts = true;
        return {};
    case TOption::Help:
        o.Help = true;
        return {};
    case TOption::Version:
        o.Version = true;
        return {};
    }
    return {};
}

} // namespace

std::string_view CommandName(TCliCommand command) {
    const TCommandRow* row = CommandRow(command);
    return row != nullptr ? row->Name : std::string_view{};
}

TCliParse ParseCliArguments(const std::vector<std::string>& args) {
    TCliParse parse;
    TCliOptions& o = parse.Options;
    std::vector<std::pair<const TOptionRow*, std::string>> given;
    bool optionsEnd = false;
    bool commandSeen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = !optionsEnd && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (!commandSeen) {
                commandSeen = true;
                for (const TCommandRow& row : Commands)
                    if (row.Name == arg)
                        o.Command = row.Command;
                if (o.Command == TCliCommand::None && parse.Error.isEmpty())
                    parse.Error = Message(TCliText::UnknownCommand, Q(arg));
            } else {
                o.Arguments.push_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const TOptionRow* option = nullptr;
        for (const TOptionRow& row : Options())
            if (row.Name == name)
                option = &row;
        if (option == nullptr) {
            if (parse.Error.isEmpty())
                parse.Error = Message(TCliText::UnknownOption, Q(name));
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
            if (!option->Valued && parse.Error.isEmpty())
                parse.Error = Message(TCliText::OptionHasNoValue, Q(name));
        } else if (option->Valued) {
            if (i + 1 >= args.size()) {
                if (parse.Error.isEmpty())
                    parse.Error = Message(TCliText::OptionNeedsValue, Q(name));
                continue;
            }
            value = args[++i];
        }
        given.emplace_back(option, value);
    }
    for (const auto& [option, value] : given) {
        const QString error = ApplyOption(option->Option, value, o);
        if (!error.isEmpty() && parse.Error.isEmpty())
            parse.Error = error;
    }
    // Help and the version need nothing else to be right.
    if (o.Help || o.Version) {
        parse.Error.clear();
        return parse;
    }
    if (!parse.Error.isEmpty())
        return parse;
    if (o.Command == TCliCommand::None) {
        parse.Error = CliText(TCliText::NoCommand);
        return parse;
    }
    for (const auto& [option, value] : given) {
        const auto& applies = option->Commands;
        if (!applies.empty() &&
            std::find(applies.begin(), applies.end(), o.Command) == applies.end()) {
            parse.Error =
                Message(TCliText::OptionNotForCommand, Q(option->Name), Q(CommandName(o.Command)));
            return parse;
        }
    }
    const TCommandRow& row = *CommandRow(o.Command);
    const int count = static_cast<int>(o.Arguments.size());
    if (count < row.Min || (row.Max >= 0 && count > row.Max)) {
        parse.Error = Message(TCliText::ArgumentCount, Q(row.Name),
                              QString::fromUtf16(CliChinese() ? row.ArgumentsZh : row.ArgumentsEn));
        return parse;
    }
    const bool portless =
        o.Command == TCliCommand::Ports || (o.Command == TCliCommand::Find && o.AllPorts);
    if (!portless && !o.Port)
        parse.Error = CliText(TCliText::PortRequired);
    return parse;
}
