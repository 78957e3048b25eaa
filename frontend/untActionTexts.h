// SPDX-License-Identifier: Apache-2.0
#pragma once

// The words of the device actions' messages that every front end shows alike, in the process
// language: why a port could not be opened and what to do about it, a display that went away,
// and the settings summary.

#include "untActionResult.h"

#include <QChar>
#include <QString>

// Where the user acts on a hint: the window's controls or the command line's.
enum class TFrontEnd { Window, CommandLine };

// The system's reason for a failed open, with what the user can do about the usual ones (one
// line each).
QString OpenFailureDetail(const TActionResult& result, TFrontEnd frontEnd);

QString DisconnectedText();
QString DisconnectedDetail(TFrontEnd frontEnd);

// The "Get Setting" summary in the language's labels: six lines "label value", each ended by
// `lineEnd`, the last one too (the window's boxes break lines at CR).
QString SettingsSummaryText(const TSettingsSummary& summary, QChar lineEnd = QLatin1Char('\r'));

// The detail of "Fail!" for a speed Setting with no speed chosen.
QString NoSpeedChosenDetail();
