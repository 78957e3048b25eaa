// SPDX-License-Identifier: Apache-2.0
#pragma once

// What `set` and `apply` send: the display's settings with the changes, the window's Setting
// actions that carry them (in the order the speed goes last), and the read-back that confirms
// them.

#include "untCliExitCodes.h"
#include "untCliOutput.h"
#include "untCliSettings.h"
#include "untSettingsValues.h"
#include "untSystemInfo.h"

#include <QString>

#include <string>

class TCliSession;

struct TSettingPlan {
    TSettingsValues Values; // as the window would show them before pressing Setting
    TSystemInfo Want;       // what those values store, as the display should read afterwards
    bool Command = false;
    bool Brightness = false;
    bool Welcome = false;  // both lines and the scroll of line 2
    bool CodePage = false; // the character set and the code page
    bool BaudRate = false;
    // The display's settings could not be read (--force): its record holds the defaults,
    // which a file's missing members must never take.
    bool DisplayUnread = false;
};

// The changes asked for on top of the display's settings. The error when a value the action
// needs beside the given one is none of the window's lists.
QString PlanOfRequest(const TSystemInfo& display, const TSettingRequest& request,
                      TSettingPlan& plan);

// The settings of a settings file's text, read over the display's settings as "Load Setting"
// reads it; only the actions that carry a member the file has. The error when a value is none
// of the window's lists (or the text is no settings), or when the display was not read and an
// action would need a member the file lacks.
QString PlanOfFile(const TSystemInfo& display, std::u16string_view text, TSettingPlan& plan);

// The settings `got` reports that differ from what the plan sent, one line each; empty when
// they all agree.
QString PlanDifferences(const TSettingPlan& plan, const TSystemInfo& got);

// Sends the plan's actions, then reads the display back; 6 when it reports anything else.
TExitCode SendAndConfirm(TCliSession& session, TCliOutput& out, const TSettingPlan& plan);
