// SPDX-License-Identifier: Apache-2.0
#pragma once

// The words of a search for the display that every front end shows alike, in the process
// language: what was found, and port by port what was tried when nothing was. Lines end in CR,
// as the window's boxes break them (the command line turns CR into a line feed).

#include "untSearchResult.h"

#include <QString>

// "JavaPOS", "standard (no JavaPOS)" or "none".
QString AnsweredHandShakeText(TAnsweredHandShake answered);

// Port and speed, model and firmware when its document told them, the handshake it answered.
QString FoundDisplayText(const TFoundDisplay& found);
// Said after a search that tried other speeds before it found the display.
QString StrayCharactersFoundText();

// "No display was found.", one line per port (speeds tried, what came of them) and the stray
// characters a wrong speed may have left.
QString NotFoundText(const TSearchResult& search);

// Asked after a search of one port found nothing: whether to search every listed port.
QString AskEveryPortText();

// True when the search tried another speed somewhere before it found the display.
bool OtherSpeedsTried(const TSearchResult& search);
// With no port listed there is nothing to search.
QString NoPortToSearchText();
// The displays found besides the first (which the window selects); empty when none.
QString OtherDisplaysFoundText(const TSearchResult& search);
// The status bar's note while the search tries a port at a speed.
QString TryingText(const std::string& port, int rate);
// Find Display's caption while its search runs.
QString CancelSearchCaption();
