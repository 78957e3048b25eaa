// SPDX-License-Identifier: Apache-2.0
#include "untLangID.h"
#include "untSystemLangID.h"

namespace {

std::optional<std::uint16_t>& Override() {
    static std::optional<std::uint16_t> value;
    return value;
}

struct TLocaleLangID {
    QLocale::Language Language;
    QLocale::Territory Territory; // AnyTerritory: the language's default
    std::uint16_t LangID;
};

// Territory-specific rows first; the first row of a language with AnyTerritory is its default.
constexpr TLocaleLangID LocaleTable[] = {
    {QLocale::Chinese, QLocale::China, 0x0804},
    {QLocale::Chinese, QLocale::Taiwan, 0x0404},
    {QLocale::Chinese, QLocale::HongKong, 0x0C04},
    {QLocale::Chinese, QLocale::Singapore, 0x1004},
    {QLocale::Chinese, QLocale::Macau, 0x1404},
    {QLocale::English, QLocale::UnitedStates, 0x0409},
    {QLocale::English, QLocale::UnitedKingdom, 0x0809},
    {QLocale::English, QLocale::Australia, 0x0C09},
    {QLocale::English, QLocale::Canada, 0x1009},
    {QLocale::English, QLocale::NewZealand, 0x1409},
    {QLocale::English, QLocale::Ireland, 0x1809},
    {QLocale::English, QLocale::India, 0x4009},
    {QLocale::English, QLocale::AnyTerritory, 0x0409},
    {QLocale::German, QLocale::Austria, 0x0C07},
    {QLocale::German, QLocale::Switzerland, 0x0807},
    {QLocale::German, QLocale::AnyTerritory, 0x0407},
    {QLocale::French, QLocale::Canada, 0x0C0C},
    {QLocale::French, QLocale::Belgium, 0x080C},
    {QLocale::French, QLocale::Switzerland, 0x100C},
    {QLocale::French, QLocale::AnyTerritory, 0x040C},
    {QLocale::Spanish, QLocale::Mexico, 0x080A},
    {QLocale::Spanish, QLocale::AnyTerritory, 0x0C0A},
    {QLocale::Portuguese, QLocale::Portugal, 0x0816},
    {QLocale::Portuguese, QLocale::AnyTerritory, 0x0416},
    {QLocale::Italian, QLocale::AnyTerritory, 0x0410},
    {QLocale::Dutch, QLocale::Belgium, 0x0813},
    {QLocale::Dutch, QLocale::AnyTerritory, 0x0413},
    {QLocale::Japanese, QLocale::AnyTerritory, 0x0411},
    {QLocale::Korean, QLocale::AnyTerritory, 0x0412},
    {QLocale::Russian, QLocale::AnyTerritory, 0x0419},
    {QLocale::Ukrainian, QLocale::AnyTerritory, 0x0422},
    {QLocale::Polish, QLocale::AnyTerritory, 0x0415},
    {QLocale::Czech, QLocale::AnyTerritory, 0x0405},
    {QLocale::Greek, QLocale::AnyTerritory, 0x0408},
    {QLocale::Turkish, QLocale::AnyTerritory, 0x041F},
    {QLocale::Hebrew, QLocale::AnyTerritory, 0x040D},
    {QLocale::Arabic, QLocale::AnyTerritory, 0x0401},
    {QLocale::Thai, QLocale::AnyTerritory, 0x041E},
    {QLocale::Vietnamese, QLocale::AnyTerritory, 0x042A},
    {QLocale::Swedish, QLocale::AnyTerritory, 0x041D},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, 0x0414},
    {QLocale::Danish, QLocale::AnyTerritory, 0x0406},
    {QLocale::Finnish, QLocale::AnyTerritory, 0x040B},
    {QLocale::Hungarian, QLocale::AnyTerritory, 0x040E},
    {QLocale::Lithuanian, QLocale::AnyTerritory, 0x0427},
    {QLocale::Latvian, QLocale::AnyTerritory, 0x0426},
    {QLocale::Estonian, QLocale::AnyTerritory, 0x0425},
};

} // namespace

std::uint16_t LangIDOfLocale(const QLocale& locale) {
    const QLocale::Language language = locale.language();
    QLocale::Territory territory = locale.territory();
    if (language == QLocale::Chinese && territory == QLocale::AnyTerritory) {
        // "zh" alone: the script tells the two written forms apart.
        territory =
            locale.script() == QLocale::TraditionalHanScript ? QLocale::Taiwan : QLocale::China;
    }
    for (const TLocaleLangID& row : LocaleTable) {
        if (row.Language == language && row.Territory == territory)
            return row.LangID;
    }
    for (const TLocaleLangID& row : LocaleTable) {
        if (row.Language == language && row.Territory == QLocale::AnyTerritory)
            return row.LangID;
    }
    if (language == QLocale::Chinese)
        return locale.script() == QLocale::TraditionalHanScript ? LANG_ZH_TW : LANG_ZH_CN;
    return LANG_EN_US;
}

std::uint16_t GetSystemDefaultLangID() {
    if (Override())
        return *Override();
    return SystemLangID();
}

void SetSystemDefaultLangIDOverride(std::optional<std::uint16_t> langID) {
    Override() = langID;
}
