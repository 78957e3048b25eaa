// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ByteString.h"
#include "untComm.h"
#include "untHandshakeKeys.h"

#include <functional>
#include <string>

// Display command frames. Each returns the send's result: 0 sent, 1 no open connection.
// Text payloads are already in the display's code page and are cut at their first 00 byte.
// Every operation works on the connection given (the forms on the default connection, under
// the same names, are in untCmd_RV310Default.h).
int DSP_DisplayText(TCommConnection& connection, const ByteString& text);
int DSP_DisplayTextAt(TCommConnection& connection, const ByteString& text, int row, int column);
int DSP_ClearScreen(TCommConnection& connection);
int DSP_SetCharset(TCommConnection& connection, int code);
int DSP_SetCodepage(TCommConnection& connection, int code);
int DSP_SetBrightness(TCommConnection& connection, int level);
int DSP_Restart(TCommConnection& connection);
int DSP_SetCommand(TCommConnection& connection, int mode);
int DSP_SetBaudrate(TCommConnection& connection, int rateCode);
int DSP_SetWelMsg1(TCommConnection& connection, const ByteString& text);
int DSP_SetWelMessage_2(TCommConnection& connection, const ByteString& text);
int DSP_SetWelMessage_2_Scroll(TCommConnection& connection, bool scroll);

// Challenge/response handshakes: 0 matched, 1/2/3 from the exchange, 4 wrong answer.
int HandShake(TCommConnection& connection);
int HandShakeJpos(TCommConnection& connection);

// How long a settings request waits for its reply: the whole document's time-out, and ways
// to give up early (0 or empty: off) for a caller passing over a line that holds no display:
// no first byte within FirstByteMs of the request, a pause of GapMs once the reply has begun,
// ReadMs of reading from its first byte, or GiveUp holding for the bytes so far.
struct TSettingsReplyLimits {
    int ReplyMs = 10000;
    int FirstByteMs = 0;
    int GapMs = 0;
    int ReadMs = 0;
    std::function<bool(const ByteString& sofar)> GiveUp;
};

// The settings request's frame.
const ByteString& SettingsRequestFrame();
// Sends the settings request and gathers the reply up to its 00: the exchange's result, the
// reply (what came, also after a time-out) in `reply`.
int RequestSettings(TCommConnection& connection, const TSettingsReplyLimits& limits,
                    ByteString& reply);
// The settings request with the standard limits; the reply up to and including its 00 (and
// anything that came with it), or empty when none came in time.
ByteString DSP_GetSettings(TCommConnection& connection);

// Handshake building blocks.
std::string RandomChallenge(int length, bool upper, bool lower, bool digits);
ByteString BlockPad(const ByteString& data);
ByteString BlockUnpad(const ByteString& data);
