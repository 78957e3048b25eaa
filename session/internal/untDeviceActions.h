// SPDX-License-Identifier: Apache-2.0
#pragma once

// The device actions as plain steps on a connection: open, handshake, frames and pauses,
// close. They run on the thread that owns the connection (the session's) and never raise.

#include "ByteString.h"
#include "untActionResult.h"
#include "untComm.h"

#include <functional>
#include <optional>
#include <string>

struct TActionHooks;
// One action's steps, run on a connection of the session's thread.
using TDeviceAction = std::function<void(TCommConnection&, const TActionHooks&, TActionResult&)>;

struct TActionHooks {
    // Each message as it arises (the result holds them all too).
    std::function<void(const TActionMessage&)> Reported;
    // After a failed handshake: returns once the user has seen it; false to end the action.
    std::function<bool()> AwaitContinue;
};

// Opens the target, runs the steps, closes on every way out; the result.
TActionResult RunDeviceAction(TCommConnection& connection, const TSessionTarget& target,
                              const TActionHooks& hooks, const TDeviceAction& steps);

// The actions' steps (for RunDeviceAction).
TDeviceAction GetSettingsSteps(const TSystemInfo& current);
TDeviceAction SetCommandSteps(int commandNo);
TDeviceAction SetBaudRateSteps(int baudNo);
TDeviceAction SetBrightnessSteps(int level);
TDeviceAction SetWelcomeSteps(const ByteString& line1, const ByteString& line2, bool scroll);
TDeviceAction SetCodePageSteps(int charsetNo, int codePageNo);
TDeviceAction RestartSteps();
TDeviceAction ClearSteps();
TDeviceAction DisplayTextSteps(const std::u16string& text, int codePage,
                               std::optional<TTextPosition> position);
TDeviceAction TestPatternSteps(int tag);
