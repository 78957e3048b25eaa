// SPDX-License-Identifier: Apache-2.0
#include "untCliOptions.h"

#include "untBaudRate.h"
#include "untCliCommandTable.h"
#include "untCliSettings.h"
#include "untCliTexts.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

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
    // Taken by every command; the others only by the commands whose rows name them.
    bool Common;
};

const std::vector<TOptionRow>& Options() {
    static const std::vector<TOptionRow> rows = {
        {"--port", TOption::Port, true, true},
        {"--baud", TOption::Baud, true, true},
        {"--json", TOption::Json, false, true},
        {"--quiet", TOption::Quiet, false, true},
        {"--force", TOption::Force, false, false},
        {"--all-ports", TOption::AllPorts, false, false},
        {"--help", TOption::Help, false, true},
        {"-h", TOption::Help, false, true},
        {"--version", TOption::Version, false, true},
        {"--row", TOption::Row, true, false},
        {"--column", TOption::Column, true, false},
        {"--codepage", TOption::CodePage, true, false},
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
    const TCliCommandRow* row = CliCommandRow(command);
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
                for (const TCliCommandRow& row : CliCommands())
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
    const TCliCommandRow& row = *CliCommandRow(o.Command);
    for (const auto& [option, value] : given) {
        if (!option->Common &&
            std::find(row.Options.begin(), row.Options.end(), option->Name) == row.Options.end()) {
            parse.Error =
                Message(TCliText::OptionNotForCommand, Q(option->Name), Q(CommandName(o.Command)));
            return parse;
        }
    }
    const int count = static_cast<int>(o.Arguments.size());
    if (count < row.MinArguments || (row.MaxArguments >= 0 && count > row.MaxArguments)) {
        parse.Error = Message(TCliText::ArgumentCount, Q(row.Name), CliText(row.Arguments));
        return parse;
    }
    const bool portless =
        o.Command == TCliCommand::Ports || (o.Command == TCliCommand::Find && o.AllPorts);
    if (!portless && !o.Port)
        parse.Error = CliText(o.Command == TCliCommand::Find ? TCliText::FindPortRequired
                                                             : TCliText::PortRequired);
    return parse;
}
