// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <string_view>

// The constants one handshake variant shares with the display.
struct HandshakeKeySet {
    std::uint8_t FunctionByte;   // third byte of the request frame
    int ReplyTimeoutMs;          // how long the host waits for the 35-byte answer
    std::string_view EncryptKey; // the host's challenge is enciphered with this key
    std::string_view DecryptKey; // the display's answer is deciphered with this key
    std::string_view Vector;     // CBC initialisation vector, both directions
};

inline constexpr HandshakeKeySet StandardHandshakeKeys{0x13, 500, "MUDE199705424242",
                                                       "MUDE199705939393", "MUDEXTB199706177"};
inline constexpr HandshakeKeySet JposHandshakeKeys{0x12, 200, "#Tq]e7mWx%ruLzpk",
                                                   "!~nVcbQReityhgsd", "+HbnwqZ^(sUGiXcN"};
