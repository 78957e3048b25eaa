// SPDX-License-Identifier: Apache-2.0
#include "untListNames.h"

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untCommandMode.h"
#include "untInterChar.h"
#include "untLanguage.h"
#include "untSettingsValues.h"

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool Matches(const QString& shown, const QString& wanted) {
    return shown.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
}

QString ShownName(TSettingList list, int row) {
    if (list == TSettingList::InterChar && ChineseProcessLanguage() && row >= 0 &&
        row < ListRowCount(list))
        return Q(InterCharTable[static_cast<std::size_t>(row)].NameZh).trimmed();
    return Q(RowName(list, row));
}

} // namespace

int ListRowCount(TSettingList list) {
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

std::string RowName(TSettingList list, int row) {
    if (row < 0 || row >= ListRowCount(list))
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
        return Q(InterCharTable[index].NameEn).trimmed().toStdString();
    case TSettingList::CodePage:
        return QString::fromStdU16String(std::u16string(CodePageTable[index].Name))
            .trimmed()
            .toStdString();
    }
    return {};
}

QStringList ListItems(TSettingList list) {
    QStringList items;
    for (int row = 0; row < ListRowCount(list); ++row)
        items << ShownName(list, row);
    return items;
}

int RowNamed(TSettingList list, std::string_view name) {
    const QString wanted = Q(name).trimmed();
    if (wanted.isEmpty())
        return -1;
    for (int row = 0; row < ListRowCount(list); ++row) {
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
    for (int row = 0; row < ListRowCount(list); ++row)
        names += (row == 0 ? "" : ", ") + RowName(list, row);
    return names;
}
