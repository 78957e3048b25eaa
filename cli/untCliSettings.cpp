// SPDX-License-Identifier: Apache-2.0
#include "untCliSettings.h"

#include "untCliTexts.h"
#include "untSettingsValues.h"
#include "untUtf16.h"

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString BadValue(std::string_view key, std::string_view value, TSettingList list) {
    return CliText(TCliText::BadValue).arg(Q(key), Q(value), Q(ListNames(list)));
}

// A welcome line within its typing limit.
QString TakeLine(std::string_view key, std::string_view value, int limit,
                 std::optional<std::u16string>& target) {
    std::u16string text = Utf8ToUtf16(value);
    if (static_cast<int>(text.size()) > limit)
        return CliText(TCliText::LineTooLong)
            .arg(Q(key))
            .arg(static_cast<int>(text.size()))
            .arg(limit);
    target = std::move(text);
    return {};
}

QString TakeRow(std::string_view key, std::string_view value, TSettingList list,
                std::optional<int>& target) {
    const int row = RowNamed(list, value);
    if (row < 0)
        return BadValue(key, value, list);
    target = row;
    return {};
}

} // namespace

QString AddSettingArgument(std::string_view argument, TSettingRequest& request) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return CliText(TCliText::NotKeyValue).arg(Q(argument));
    const std::string key = Q(argument.substr(0, equals)).trimmed().toLower().toStdString();
    const std::string_view value = argument.substr(equals + 1);

    const auto once = [&key](const auto& field) {
        return field ? CliText(TCliText::KeyTwice).arg(Q(key)) : QString();
    };
    QString error;
    if (key == "command") {
        if ((error = once(request.CommandMode)).isEmpty())
            error = TakeRow(key, value, TSettingList::CommandMode, request.CommandMode);
    } else if (key == "baud") {
        if ((error = once(request.BaudRate)).isEmpty())
            error = TakeRow(key, value, TSettingList::BaudRate, request.BaudRate);
    } else if (key == "brightness") {
        if ((error = once(request.Brightness)).isEmpty())
            error = TakeRow(key, value, TSettingList::Brightness, request.Brightness);
    } else if (key == "charset") {
        if ((error = once(request.InterChar)).isEmpty())
            error = TakeRow(key, value, TSettingList::InterChar, request.InterChar);
    } else if (key == "codepage") {
        if ((error = once(request.CodePage)).isEmpty())
            error = TakeRow(key, value, TSettingList::CodePage, request.CodePage);
    } else if (key == "line1") {
        if ((error = once(request.Line1)).isEmpty())
            error = TakeLine(key, value, WelcomeLine1Limit, request.Line1);
    } else if (key == "line2") {
        if ((error = once(request.Line2)).isEmpty())
            error = TakeLine(key, value, WelcomeLine2Limit, request.Line2);
    } else if (key == "scroll") {
        if ((error = once(request.Scroll)).isEmpty()) {
            const QString choice = Q(value).trimmed().toLower();
            if (choice == QStringLiteral("on") || choice == QStringLiteral("off"))
                request.Scroll = choice == QStringLiteral("on");
            else
                error =
                    CliText(TCliText::BadValue).arg(Q(key), Q(value), QStringLiteral("on, off"));
        }
    } else {
        error = CliText(TCliText::UnknownKey)
                    .arg(Q(key), QStringLiteral("command, baud, brightness, line1, line2, scroll, "
                                                "charset, codepage"));
    }
    return error;
}
