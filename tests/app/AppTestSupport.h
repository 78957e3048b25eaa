// SPDX-License-Identifier: Apache-2.0
#pragma once

// Helpers for window tests: scripted message boxes and file dialogs, a fresh window per test.

#include "frmuVylSetup.h"
#include "untFileDialog.h"
#include "untMessageBox.h"

#include <QComboBox>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Installs the box and dialog hooks for its lifetime and records every call. Boxes are answered
// from BoxAnswers (OK when empty; an unexpected Yes/No box fails the test and gets No); file
// dialogs from FileAnswers (an unexpected dialog fails the test and is cancelled).
class TDialogScript {
public:
    TDialogScript();
    ~TDialogScript();
    TDialogScript(const TDialogScript&) = delete;
    TDialogScript& operator=(const TDialogScript&) = delete;

    std::vector<TMessageBoxCall> Boxes;
    std::deque<TMsgResult> BoxAnswers;
    std::vector<TFileDialogCall> FileDialogs;
    std::deque<std::optional<QString>> FileAnswers;
    // Runs when a box comes up, before it is answered (for instance to act while it is open).
    std::function<void(const TMessageBoxCall&)> OnBox;

    // The texts of the recorded boxes, in order.
    QStringList BoxTexts() const;
};

// A new main window as start-up leaves it, the system language given; SystemInfo starts zeroed
// as at program start.
std::unique_ptr<TfrmVylSetup> NewWindow(std::uint16_t langID = 0x0409);
// Shows each page in turn, back to the first: what a check of the whole window needs, as the
// pages after the first get their controls when first shown.
void ShowEveryPage(TfrmVylSetup& window);

// What the user's choice in a drop-down list does: select and report the choice.
void ChooseInCombo(QComboBox* list, int index);

QStringList ComboItems(const QComboBox* list);

// Runs `action` on the modal dialog as soon as it is open.
void WhenModalOpens(std::function<void(QWidget*)> action);
