// SPDX-License-Identifier: Apache-2.0
#pragma once

// The settings as the command line names them: KEY=VALUE with the values as the window's lists
// show them ("AUTO", "19200", "75%", "USA", "CP437"), and the window's typing limits for the
// welcome lines.

#include "untListNames.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// What `set` was asked to change; rows of the reference tables.
struct TSettingRequest {
    std::optional<int> CommandMode;
    std::optional<int> BaudRate;
    std::optional<int> Brightness; // 0 to 3
    std::optional<std::u16string> Line1;
    std::optional<std::u16string> Line2;
    std::optional<bool> Scroll; // line 2 scrolls
    std::optional<int> InterChar;
    std::optional<int> CodePage;
};

// Adds one KEY=VALUE (UTF-8) to `request`; the usage error, empty when it is good.
QString AddSettingArgument(std::string_view argument, TSettingRequest& request);
