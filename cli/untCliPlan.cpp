// SPDX-License-Identifier: Apache-2.0
#include "untCliPlan.h"

#include "untBaudRate.h"
#include "untCliSession.h"
#include "untCliTexts.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untCommandMode.h"
#include "untHex.h"
#include "untInterChar.h"
#include "untSettingsFile.h"
#include "untUtf16.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

namespace {

// The members of a settings text's top-level object, in order; none when it is no object.
std::vector<std::string> TopLevelKeys(std::u16string_view text) {
    std::vector<std::string> keys;
    const nlohmann::json document = nlohmann::json::parse(Utf16ToUtf8(text), nullptr, false);
    if (document.is_object())
        for (const auto& member : document.items())
            keys.push_back(member.key());
    return keys;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString MissingRow(const char* key, int code, const char* give) {
    return CliText(TCliText::ValueWithoutRow)
        .arg(QString::fromLatin1(key), QString::number(code), QString::fromLatin1(give));
}

// The name a code has in its list, else the code itself.
QString CodeName(TSettingList list, int row, int code) {
    const std::string name = RowName(list, row);
    return name.empty() ? QString::number(code) : Q(name);
}

// A welcome line's bytes as the display reports them: its hex field, else its text in its
// code page.
ByteString LineBytes(const std::string& hex, const std::u16string& text, int codePageNo) {
    if (!hex.empty())
        return HexTextToBytes(hex);
    return TextToCodePageBytes(text, CodePageAtIndex(IndexOfNo(CodePageTable, codePageNo)));
}

} // namespace

QString PlanOfRequest(const TSystemInfo& display, const TSettingRequest& request,
                      TSettingPlan& plan) {
    TSettingsValues& v = plan.Values;
    v = SettingsValuesOf(display);
    if (request.CommandMode) {
        v.CommandMode = *request.CommandMode;
        plan.Command = true;
    }
    if (request.Brightness) {
        v.Brightness = *request.Brightness;
        plan.Brightness = true;
    }
    if (request.BaudRate) {
        v.BaudRate = *request.BaudRate;
        plan.BaudRate = true;
    }
    if (request.InterChar || request.CodePage) {
        plan.CodePage = true;
        if (request.InterChar)
            v.InterChar = *request.InterChar;
        // A character set brings its own code page, as the window's selectors keep in step.
        if (request.CodePage)
            v.CodePage = *request.CodePage;
        else
            v.CodePage = CodePageRowOfInterChar(v.InterChar);
        if (v.InterChar < 0)
            return MissingRow("charset", display.Char_No, "charset=");
        if (v.CodePage < 0)
            return MissingRow("codepage", display.Expand_Char_No, "codepage=");
    }
    if (request.Line1 || request.Line2 || request.Scroll) {
        plan.Welcome = true;
        // A line given, or one whose bytes the display reports only as text, is converted.
        const bool converts = request.Line1 || request.Line2 || display.wel_mess1_hex.empty() ||
                              display.wel_mess2_hex.empty();
        if (converts && v.CodePage < 0)
            return MissingRow("codepage", display.Expand_Char_No, "codepage=");
        if (request.Line1) {
            v.Line1 = *request.Line1;
            v.Line1Hex = WelcomeLineHex(v.Line1, v.CodePage);
        }
        if (request.Line2) {
            v.Line2 = *request.Line2;
            v.Line2Hex = WelcomeLineHex(v.Line2, v.CodePage);
        }
        if (request.Scroll)
            v.Scroll2 = *request.Scroll;
    }
    plan.Want = display;
    StoreSettingsValues(v, plan.Want);
    return {};
}

QString PlanOfFile(const TSystemInfo& display, std::u16string_view text, TSettingPlan& plan) {
    TSystemInfo loaded = display;
    if (const QString failure = LoadSettingsText(text, loaded); !failure.isEmpty())
        return failure;
    TSettingsValues& v = plan.Values;
    v = SettingsValuesOf(loaded);
    const struct {
        const char* Key;
        int Row;
        int Code;
    } rows[] = {
        {"Comm_No", v.CommandMode, loaded.Comm_No},
        {"Baud_Rate", v.BaudRate, loaded.Baud_Rate},
        {"back_light", v.Brightness, loaded.back_light},
        {"Char_No", v.InterChar, loaded.Char_No},
        {"Expand_Char_No", v.CodePage, loaded.Expand_Char_No},
    };
    for (const auto& row : rows)
        if (row.Row < 0)
            return CliText(TCliText::FileValueWithoutRow)
                .arg(QString::fromLatin1(row.Key), QString::number(row.Code));
    // Each action only when the file has a member it carries.
    const std::vector<std::string> members = TopLevelKeys(text);
    const auto has = [&members](const char* key) {
        return std::find(members.begin(), members.end(), key) != members.end();
    };
    const struct {
        bool* Send;
        const char* What;
        std::vector<const char*> Keys;   // any of them sends the action
        std::vector<const char*> Needed; // what it needs from the file when the display was unread
    } groups[] = {
        {&plan.Command, "command", {"Comm_No"}, {"Comm_No"}},
        {&plan.Brightness, "brightness", {"back_light"}, {"back_light"}},
        {&plan.Welcome,
         "welcome",
         {"wel_mess1", "wel_mess2", "wel_mess1_hex", "wel_mess2_hex", "temp2"},
         {"wel_mess1", "wel_mess2", "temp2"}},
        {&plan.CodePage,
         "charset/codepage",
         {"Char_No", "Expand_Char_No"},
         {"Char_No", "Expand_Char_No"}},
        {&plan.BaudRate, "baud", {"Baud_Rate"}, {"Baud_Rate"}},
    };
    for (const auto& group : groups) {
        *group.Send = std::any_of(group.Keys.begin(), group.Keys.end(), has);
        if (!*group.Send || !plan.DisplayUnread)
            continue;
        QStringList missing;
        for (const char* key : group.Needed)
            if (!has(key))
                missing << QString::fromLatin1(key);
        if (!missing.isEmpty())
            return CliText(TCliText::FileLacksMembers)
                .arg(missing.join(QStringLiteral(", ")), QString::fromLatin1(group.What));
    }
    plan.Want = loaded;
    StoreSettingsValues(v, plan.Want);
    return {};
}

QString PlanDifferences(const TSettingPlan& plan, const TSystemInfo& got) {
    const TSystemInfo& want = plan.Want;
    QStringList lines;
    const auto differs = [&lines](const char* what, const QString& read, const QString& sent) {
        lines << CliText(TCliText::Differs).arg(QString::fromLatin1(what), read, sent);
    };
    const auto coded = [&](const char* what, TSettingList list, int gotCode, int wantCode,
                           int (*rowOf)(int)) {
        if (gotCode != wantCode)
            differs(what, CodeName(list, rowOf(gotCode), gotCode),
                    CodeName(list, rowOf(wantCode), wantCode));
    };
    if (plan.Command)
        coded("command", TSettingList::CommandMode, got.Comm_No, want.Comm_No,
              [](int no) { return IndexOfNo(CommandModeTable, no); });
    if (plan.Brightness)
        coded("brightness", TSettingList::Brightness, got.back_light, want.back_light,
              [](int level) { return level - 1; });
    if (plan.Welcome) {
        const struct {
            const char* What;
            ByteString Read;
            ByteString Sent;
        } welcome[] = {
            {"line1", LineBytes(got.wel_mess1_hex, got.wel_mess1, got.Expand_Char_No),
             HexTextToBytes(want.wel_mess1_hex)},
            {"line2", LineBytes(got.wel_mess2_hex, got.wel_mess2, got.Expand_Char_No),
             HexTextToBytes(want.wel_mess2_hex)},
        };
        for (const auto& line : welcome)
            if (line.Read != line.Sent)
                differs(line.What, Q(BytesToSpacedHex(line.Read)), Q(BytesToSpacedHex(line.Sent)));
        const bool scrolls = GetBit(got.temp2, 2) == 0;
        if (scrolls != plan.Values.Scroll2)
            differs("scroll", scrolls ? QStringLiteral("on") : QStringLiteral("off"),
                    plan.Values.Scroll2 ? QStringLiteral("on") : QStringLiteral("off"));
    }
    if (plan.CodePage) {
        coded("charset", TSettingList::InterChar, got.Char_No, want.Char_No,
              [](int no) { return IndexOfNo(InterCharTable, no); });
        coded("codepage", TSettingList::CodePage, got.Expand_Char_No, want.Expand_Char_No,
              [](int no) { return IndexOfNo(CodePageTable, no); });
    }
    if (plan.BaudRate)
        coded("baud", TSettingList::BaudRate, got.Baud_Rate, want.Baud_Rate,
              [](int no) { return IndexOfNo(BaudRateTable, no); });
    return lines.join(QLatin1Char('\n'));
}

namespace {

// One of the window's Setting actions, run to its end and reported.
template <typename... Params, typename... Args>
std::optional<TExitCode> Step(TCliSession& session, TCliOutput& out, const char* name,
                              bool (TDisplaySession::*action)(Params...), Args... args) {
    TActionResult result;
    if (auto code = session.Run(result, action, args...))
        return code;
    out.Progress(
        CliText(TCliText::ActionDone).arg(QString::fromLatin1(name), QStringLiteral("Done!")));
    return std::nullopt;
}

} // namespace

TExitCode SendAndConfirm(TCliSession& session, TCliOutput& out, const TSettingPlan& plan) {
    const TSystemInfo& want = plan.Want;
    // The plan's actions in order, the speed last: what follows talks at the new speed (the
    // session's target follows it).
    const struct {
        bool Planned;
        const char* Name;
        std::function<std::optional<TExitCode>(const char*)> Run;
    } steps[] = {
        {plan.Command, "command",
         [&](const char* name) {
             return Step(session, out, name, &TDisplaySession::SetCommand, want.Comm_No);
         }},
        {plan.Brightness, "brightness",
         [&](const char* name) {
             return Step(session, out, name, &TDisplaySession::SetBrightness, want.back_light);
         }},
        // The bytes of the hex views go out, as from the window.
        {plan.Welcome, "welcome",
         [&](const char* name) {
             return Step(session, out, name, &TDisplaySession::SetWelcome,
                         HexTextToBytes(want.wel_mess1_hex), HexTextToBytes(want.wel_mess2_hex),
                         plan.Values.Scroll2);
         }},
        {plan.CodePage, "charset/codepage",
         [&](const char* name) {
             return Step(session, out, name, &TDisplaySession::SetCodePage, want.Char_No,
                         want.Expand_Char_No);
         }},
        {plan.BaudRate, "baud",
         [&](const char* name) {
             return Step(session, out, name, &TDisplaySession::SetBaudRate, want.Baud_Rate);
         }},
    };
    QStringList applied;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        if (!steps[i].Planned)
            continue;
        const std::optional<TExitCode> code = steps[i].Run(steps[i].Name);
        if (!code) {
            applied << QString::fromLatin1(steps[i].Name);
            continue;
        }
        // A later action failed: say what the display already has, --quiet or not.
        if (!applied.isEmpty()) {
            QStringList rest;
            for (std::size_t j = i; j < std::size(steps); ++j)
                if (steps[j].Planned)
                    rest << QString::fromLatin1(steps[j].Name);
            out.Error(
                CliText(TCliText::StoppedPartWay)
                    .arg(applied.join(QStringLiteral(", ")), rest.join(QStringLiteral(", "))));
        }
        return *code;
    }

    TSystemInfo got;
    TActionResult result;
    if (auto code = session.ReadSettings(got, result)) {
        if (*code != TExitCode::NoDisplay && *code != TExitCode::Unusable)
            return *code;
        out.Error(CliText(TCliText::NotConfirmed).arg(CliText(TCliText::NoReadBack)));
        return TExitCode::NotConfirmed;
    }
    if (const QString differences = PlanDifferences(plan, got); !differences.isEmpty()) {
        out.Error(CliText(TCliText::NotConfirmed).arg(differences));
        return TExitCode::NotConfirmed;
    }
    return TExitCode::Success;
}
