// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QLocale>

#include <cstdint>
#include <optional>

// Windows language identifiers the window cares about.
constexpr std::uint16_t LANG_ZH_CN = 0x0804;
constexpr std::uint16_t LANG_ZH_TW = 0x0404;
constexpr std::uint16_t LANG_ZH_HK = 0x0C04;
constexpr std::uint16_t LANG_EN_US = 0x0409;

// The Windows language identifier of a locale (zh_CN 0x0804, zh_TW 0x0404, en_US 0x0409 ...);
// 0x0409 for the C locale and for languages the table does not know.
std::uint16_t LangIDOfLocale(const QLocale& locale);

// The system's default language identifier: LangIDOfLocale(QLocale::system()), unless a test
// has set an override.
std::uint16_t GetSystemDefaultLangID();
void SetSystemDefaultLangIDOverride(std::optional<std::uint16_t> langID);
