// SPDX-License-Identifier: Apache-2.0
#include "untCmd_RV310Default.h"

#include "untCmd_RV310.h"
#include "untCommDefault.h"

int DSP_DisplayText(const ByteString& text) {
    return DSP_DisplayText(DefaultConnection(), text);
}

int DSP_DisplayTextAt(const ByteString& text, int row, int column) {
    return DSP_DisplayTextAt(DefaultConnection(), text, row, column);
}

int DSP_ClearScreen() {
    return DSP_ClearScreen(DefaultConnection());
}

int DSP_SetCharset(int code) {
    return DSP_SetCharset(DefaultConnection(), code);
}

int DSP_SetCodepage(int code) {
    return DSP_SetCodepage(DefaultConnection(), code);
}

int DSP_SetBrightness(int level) {
    return DSP_SetBrightness(DefaultConnection(), level);
}

int DSP_Restart() {
    return DSP_Restart(DefaultConnection());
}

int DSP_SetCommand(int mode) {
    return DSP_SetCommand(DefaultConnection(), mode);
}

int DSP_SetBaudrate(int rateCode) {
    return DSP_SetBaudrate(DefaultConnection(), rateCode);
}

int DSP_SetWelMsg1(const ByteString& text) {
    return DSP_SetWelMsg1(DefaultConnection(), text);
}

int DSP_SetWelMessage_2(const ByteString& text) {
    return DSP_SetWelMessage_2(DefaultConnection(), text);
}

int DSP_SetWelMessage_2_Scroll(bool scroll) {
    return DSP_SetWelMessage_2_Scroll(DefaultConnection(), scroll);
}

int HandShake() {
    return HandShake(DefaultConnection());
}

int HandShakeJpos() {
    return HandShakeJpos(DefaultConnection());
}

ByteString DSP_GetSettings() {
    return DSP_GetSettings(DefaultConnection());
}
