// SPDX-License-Identifier: Apache-2.0
#include "untCliSettings.h"

#include "untBaudRate.h"
#include "untCliTexts.h"
#include "untCodePage.h"
#include "untCommandMode.h"
#include "untInterChar.h"
#include "untSettingsValues.h"
#include "untUtf16.h"

#include <charconv>

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int RowCount(TSettingList list) {
    switch (list) {
    case TSettingList::BaudRate:
        return static_cast<int>(BaudRateTable.size());
    case TSettingList::CommandMode:
        return static_cast<int>(CommandModeTable.size());
    case TSettingList::Brightness:
        return static_cast<int>(BrightnessNames.size());
    case TSettingList::InterChar:
        return static_cast<int>(InterCharTable.size());
    case TSettingList::CodePage:
        return static_cast<int>(CodePageTable.size());
    }
    return 0;
}

bool Matches(const QString& shown, const QString& wanted) {
    return shown.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
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

std::string RowName(TSettingList list, int row) {
    if (row < 0 || row >= RowCount(list))
        return {};
    const auto index = static_cast<std::size_t>(row);
    switch (list) {
    case TSettingList::BaudRate:
        return Q(BaudRateTable[index].Name).trimmed().toStdString();
    case TSettingList::CommandMode:
        return Q(CommandModeTable[index].Name).trimmed().toStdString();
    case TSettingList::Brightness:
        return std::string(BrightnessNames[index]);
    case TSettingList::InterChar:
        return std::string(InterCharTable[index].NameEn);
    case TSettingList::CodePage:
        return QString::fromStdU16String(std::u16string(CodePageTable[index].Name))
            .trimmed()
            .toStdString();
    }
    return {};
}

int RowNamed(TSettingList list, std::string_view name) {
    const QString wanted = Q(name).trimmed();
    if (wanted.isEmpty())
        return -1;
    for (int row = 0; row < RowCount(list); ++row) {
        const QString shown = Q(RowName(list, row));
        if (Matches(shown, wanted))
            return row;
        // The percent sign of a brightness may be left out.
        if (list == TSettingList::Brightness && Matches(shown, wanted + QLatin1Char('%')))
            return row;
        if (list == TSettingList::InterChar &&
            Matches(Q(InterCharTable[static_cast<std::size_t>(row)].NameZh), wanted))
            return row;
    }
    return -1;
}

std::string ListNames(TSettingList list) {
    std::string names;
    for (int row = 0; row < RowCount(list); ++row)
        names += (row == 0 ? "" : ", ") + RowName(list, row);
    return names;
}

int BaudRateOfRow(int row) {
    const std::string name = RowName(TSettingList::BaudRate, row);
    int rate = 0;
    std::from_chars(name.data(), name.data() + name.size(), rate);
    return rate;
}

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
