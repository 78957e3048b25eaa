// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the virtual display is: its settings (the fields of its settings document, with the
// welcome lines kept as the bytes it received) and its screen of two 20-column lines.

#include "ByteString.h"
#include "VdFrames.h"
#include "untSystemInfo.h"

#include <array>
#include <string>

constexpr int kColumns = 20;
constexpr int kRows = 2;

struct ApplyResult {
    bool Applied = true;
    std::string Description; // what the frame did, for the screen log ("brightness 2")
};

class DisplayState {
public:
    // Starts from a settings record; welcome lines come from their hex fields when those are
    // set, else from their texts in the record's code page. The screen shows the welcome lines.
    explicit DisplayState(const TSystemInfo& settings);

    // Applies one frame; frames that carry a value the display does not have are not applied.
    // Handshakes and the settings request change nothing here.
    ApplyResult Apply(const Frame& frame);

    // True for the frames that change a setting (the ones a handshake guards).
    static bool IsSettingFrame(FrameKind kind);

    // The settings document: the keys of the built-in default document in its order, with
    // this display's values, as one line of UTF-8 (no terminator).
    std::string SettingsDocument() const;

    const TSystemInfo& Settings() const { return settings_; }
    // The line speed in bit/s that Baud_Rate stands for (0 when no speed row has it).
    int LineSpeed() const;
    // The Windows code page of Expand_Char_No (437 when no code page row has it).
    int CodePage() const;

    // The screen, as display bytes, each line exactly 20 bytes.
    const std::array<ByteString, kRows>& Screen() const { return screen_; }
    int CursorRow() const { return row_; }       // 0-based
    int CursorColumn() const { return column_; } // 0-based
    // True while the welcome lines are up and line 2 scrolls (its text is longer than a line).
    bool Scrolling() const;
    // Moves a scrolling line 2 on by one column.
    void ScrollStep();
    // The screen lines as text in the current code page, control bytes shown as spaces.
    std::u16string LineText(int row) const;

private:
    void ShowWelcome();
    void ClearScreen();
    void PutText(const ByteString& text);
    void DrawWelcomeLine2();

    TSystemInfo settings_;
    ByteString welcome1_;
    ByteString welcome2_;
    std::array<ByteString, kRows> screen_;
    int row_ = 0;
    int column_ = 0;
    bool welcomeShown_ = false;
    std::size_t scrollOffset_ = 0;
};
