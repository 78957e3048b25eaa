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

#include <vector>

namespace {

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
        if (request.CodePage)
            v.CodePage = *request.CodePage;
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
    plan.Command = plan.Brightness = plan.Welcome = plan.CodePage = plan.BaudRate = true;
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
    std::optional<TExitCode> code;
    if (!code && plan.Command)
        code = Step(session, out, "command", &TDisplaySession::SetCommand, want.Comm_No);
    if (!code && plan.Brightness)
        code = Step(session, out, "brightness", &TDisplaySession::SetBrightness, want.back_light);
    // The bytes of the hex views go out, as from the window.
    if (!code && plan.Welcome)
        code = Step(session, out, "welcome", &TDisplaySession::SetWelcome,
                    HexTextToBytes(want.wel_mess1_hex), HexTextToBytes(want.wel_mess2_hex),
                    plan.Values.Scroll2);
    if (!code && plan.CodePage)
        code = Step(session, out, "charset/codepage", &TDisplaySession::SetCodePage, want.Char_No,
                    want.Expand_Char_No);
    // The speed last: what follows talks at the new speed (the session's target follows it).
    if (!code && plan.BaudRate)
        code = Step(session, out, "baud", &TDisplaySession::SetBaudRate, want.Baud_Rate);
    if (code)
        return *code;

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
