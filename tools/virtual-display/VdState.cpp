// SPDX-License-Identifier: Apache-2.0
#include "VdState.h"

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untCommandMode.h"
#include "untHex.h"
#include "untInterChar.h"
#include "untUtf16.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

std::string Quoted(const ByteString& bytes, int codePage) {
    return "\"" + Utf16ToUtf8(CodePageBytesToText(bytes, codePage)) + "\"";
}

} // namespace

DisplayState::DisplayState(const TSystemInfo& settings) : settings_(settings) {
    const int codePage = CodePage();
    welcome1_ = settings.wel_mess1_hex.empty() ? TextToCodePageBytes(settings.wel_mess1, codePage)
                                               : HexTextToBytes(settings.wel_mess1_hex);
    welcome2_ = settings.wel_mess2_hex.empty() ? TextToCodePageBytes(settings.wel_mess2, codePage)
                                               : HexTextToBytes(settings.wel_mess2_hex);
    // The display keeps the bytes it was given; a 00 would have ended the frame on the wire.
    welcome1_ = welcome1_.substr(0, welcome1_.find('\0'));
    welcome2_ = welcome2_.substr(0, welcome2_.find('\0'));
    ShowWelcome();
}

int DisplayState::LineSpeed() const {
    return BitsPerSecondOfNo(settings_.Baud_Rate);
}

int DisplayState::CodePage() const {
    const int index = IndexOfNo(CodePageTable, settings_.Expand_Char_No);
    if (index < 0 || index >= static_cast<int>(CodePageTable.size()))
        return 437;
    return CodePageTable[static_cast<std::size_t>(index)].CodePage;
}

bool DisplayState::IsSettingFrame(FrameKind kind) {
    switch (kind) {
    case FrameKind::Brightness:
    case FrameKind::Charset:
    case FrameKind::Codepage:
    case FrameKind::Command:
    case FrameKind::Baud:
    case FrameKind::Welcome1:
    case FrameKind::Welcome2:
    case FrameKind::Scroll:
        return true;
    default:
        return false;
    }
}

void DisplayState::ClearScreen() {
    for (auto& line : screen_)
        line.assign(kColumns, ' ');
    row_ = 0;
    column_ = 0;
    welcomeShown_ = false;
}

void DisplayState::PutText(const ByteString& text) {
    welcomeShown_ = false;
    for (char b : text) {
        // Control bytes that are no command have no glyph and do not move the cursor.
        if (static_cast<std::uint8_t>(b) < 0x20)
            continue;
        screen_[static_cast<std::size_t>(row_)][static_cast<std::size_t>(column_)] = b;
        if (++column_ == kColumns) {
            column_ = 0;
            row_ = (row_ + 1) % kRows;
        }
    }
}

void DisplayState::ShowWelcome() {
    ClearScreen();
    screen_[0] = welcome1_.substr(0, kColumns);
    screen_[0].resize(kColumns, ' ');
    welcomeShown_ = true;
    scrollOffset_ = 0;
    DrawWelcomeLine2();
}

bool DisplayState::Scrolling() const {
    return welcomeShown_ && (settings_.temp2 & 0x02) == 0 && welcome2_.size() > kColumns;
}

void DisplayState::DrawWelcomeLine2() {
    if (!Scrolling()) {
        screen_[1] = welcome2_.substr(0, kColumns);
        screen_[1].resize(kColumns, ' ');
        return;
    }
    // A marquee: the line, a gap of blanks, and the line again.
    const ByteString loop = welcome2_ + ByteString(4, ' ');
    ByteString shown;
    for (std::size_t i = 0; i < kColumns; ++i)
        shown += loop[(scrollOffset_ + i) % loop.size()];
    screen_[1] = shown;
}

void DisplayState::ScrollStep() {
    if (!Scrolling())
        return;
    scrollOffset_ = (scrollOffset_ + 1) % (welcome2_.size() + 4);
    DrawWelcomeLine2();
}

std::u16string DisplayState::LineText(int row) const {
    ByteString line = screen_[static_cast<std::size_t>(row)];
    for (char& b : line)
        if (static_cast<std::uint8_t>(b) < 0x20 || b == 0x7F)
            b = ' ';
    std::u16string text = CodePageBytesToText(line, CodePage());
    if (text.empty() && !line.empty())
        text = Utf8ToUtf16(line);
    return text;
}

ApplyResult DisplayState::Apply(const Frame& frame) {
    const std::uint8_t p = frame.Param();
    switch (frame.Kind) {
    case FrameKind::Text:
        PutText(frame.Text());
        return {true, "text"};
    case FrameKind::Clear:
        ClearScreen();
        return {true, "clear"};
    case FrameKind::Home:
        row_ = 0;
        column_ = 0;
        return {true, "cursor home"};
    case FrameKind::Cursor: {
        const int column = frame.Param(0);
        const int row = frame.Param(1);
        const std::string where =
            "column " + std::to_string(column) + " row " + std::to_string(row);
        if (column < 1 || column > kColumns || row < 1 || row > kRows)
            return {false, "cursor outside the screen: " + where};
        row_ = row - 1;
        column_ = column - 1;
        PutText(frame.Text());
        return {true, "text at " + where};
    }
    case FrameKind::Brightness:
        if (p < 1 || p > 4)
            return {false, "brightness " + std::to_string(p) + " out of range"};
        settings_.back_light = p;
        return {true, "brightness " + std::to_string(p * 25) + "%"};
    case FrameKind::Charset:
        if (IndexOfNo(InterCharTable, p) < 0)
            return {false, "no character set " + std::to_string(p)};
        settings_.Char_No = p;
        return {true, "character set " + NameOfNo(InterCharTable, p)};
    case FrameKind::Codepage:
        if (IndexOfNo(CodePageTable, p) < 0)
            return {false, "no code page " + std::to_string(p)};
        settings_.Expand_Char_No = p;
        return {true, "code page " + Utf16ToUtf8(NameOfNo(CodePageTable, p))};
    case FrameKind::Command: {
        const int mode = p == 0xFF ? 255 : p - 0x30;
        if (IndexOfNo(CommandModeTable, mode) < 0)
            return {false, "no command mode for byte " + std::to_string(p)};
        settings_.Comm_No = static_cast<std::uint8_t>(mode);
        return {true, "command mode " + NameOfNo(CommandModeTable, mode)};
    }
    case FrameKind::Baud: {
        const int code = p - 0x30;
        if (IndexOfNo(BaudRateTable, code) < 0)
            return {false, "no speed for byte " + std::to_string(p)};
        settings_.Baud_Rate = static_cast<std::uint8_t>(code);
        return {true, "speed " + NameOfNo(BaudRateTable, code)};
    }
    case FrameKind::Welcome1:
        welcome1_ = frame.Text();
        return {true, "welcome line 1 " + Quoted(welcome1_, CodePage())};
    case FrameKind::Welcome2:
        welcome2_ = frame.Text();
        return {true, "welcome line 2 " + Quoted(welcome2_, CodePage())};
    case FrameKind::Scroll: {
        if (p != 0x04 && p != 0x06)
            return {false, "scroll value " + std::to_string(p) + " unknown"};
        if (p == 0x06)
            settings_.temp2 |= 0x02;
        else
            settings_.temp2 &= static_cast<std::uint8_t>(~0x02);
        return {true, p == 0x04 ? "line 2 scrolls" : "line 2 stands still"};
    }
    case FrameKind::Restart:
        ShowWelcome();
        return {true, "restart"};
    case FrameKind::HandShake:
    case FrameKind::HandShakeJpos:
    case FrameKind::SettingsRequest:
        return {true, FrameKindName(frame.Kind)};
    case FrameKind::Unknown:
        return {false, "unknown frame"};
    case FrameKind::Incomplete:
        return {false, "incomplete frame"};
    }
    return {false, "?"};
}

std::string DisplayState::SettingsDocument() const {
    // The default document fixes which keys there are and their order.
    auto doc = nlohmann::ordered_json::parse(GetDefaultSettingsJson());
    const TSystemInfo& s = settings_;
    const int codePage = CodePage();
    doc["code"] = s.code;
    doc["temp1"] = s.temp1;
    doc["Baud_Rate"] = s.Baud_Rate;
    doc["temp2"] = s.temp2;
    doc["Char_No"] = s.Char_No;
    doc["Expand_Char_No"] = s.Expand_Char_No;
    doc["Comm_No"] = s.Comm_No;
    doc["product_class"] = s.product_class;
    doc["product_name"] = s.product_name;
    doc["wel_mess1"] = Utf16ToUtf8(CodePageBytesToText(welcome1_, codePage));
    doc["wel_mess2"] = Utf16ToUtf8(CodePageBytesToText(welcome2_, codePage));
    doc["wel_mess1_hex"] = BytesToSpacedHex(welcome1_);
    doc["wel_mess2_hex"] = BytesToSpacedHex(welcome2_);
    doc["chip"] = s.chip;
    doc["fw_compile_time"] = s.fw_compile_time;
    doc["command_version"] = s.command_version;
    doc["back_light"] = s.back_light;
    doc["firmware_version"] = s.firmware_version;
    doc["temp3"] = s.temp3;
    doc["temp4"] = s.temp4;
    return doc.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
