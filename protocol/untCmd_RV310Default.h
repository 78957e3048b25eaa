// SPDX-License-Identifier: Apache-2.0
#pragma once

// The display operations on the default connection (untCommDefault.h), under the names the
// system's documents give them. Nothing in the program uses them: the session runs every
// operation on a connection of its own (untCmd_RV310.h). They stay for the protocol's tests,
// which drive the documented operations by these names, and for a reader who looks for them.

#include "ByteString.h"

int DSP_DisplayText(const ByteString& text);
int DSP_DisplayTextAt(const ByteString& text, int row, int column);
int DSP_ClearScreen();
int DSP_SetCharset(int code);
int DSP_SetCodepage(int code);
int DSP_SetBrightness(int level);
int DSP_Restart();
int DSP_SetCommand(int mode);
int DSP_SetBaudrate(int rateCode);
int DSP_SetWelMsg1(const ByteString& text);
int DSP_SetWelMessage_2(const ByteString& text);
int DSP_SetWelMessage_2_Scroll(bool scroll);
int HandShake();
int HandShakeJpos();
ByteString DSP_GetSettings();
