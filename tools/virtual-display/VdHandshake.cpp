// SPDX-License-Identifier: Apache-2.0
#include "VdHandshake.h"

#include "untAESCipher.h"
#include "untHex.h"

#include <string_view>

namespace {

ByteString ToBytes(std::string_view text) {
    return ByteString(text.begin(), text.end());
}

} // namespace

ByteString AnswerHandShake(const ByteString& request, const HandshakeKeySet& keys, bool wrongKey) {
    const ByteString vector = ToBytes(keys.Vector);
    const ByteString padded =
        DecryptFromHex(BytesToHex(request.substr(3, 32)), ToBytes(keys.EncryptKey), vector);
    // The other variant's answer key: a real key, but not the one this request needs.
    const HandshakeKeySet& other = keys.FunctionByte == StandardHandshakeKeys.FunctionByte
                                       ? JposHandshakeKeys
                                       : StandardHandshakeKeys;
    const ByteString answerKey = ToBytes(wrongKey ? other.DecryptKey : keys.DecryptKey);
    return request.substr(0, 3) + HexToBytes(EncryptToHex(padded, answerKey, vector));
}
