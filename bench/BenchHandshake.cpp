// SPDX-License-Identifier: Apache-2.0
#include "BenchHandshake.h"

#include "untAESCipher.h"
#include "untHandshakeKeys.h"
#include "untHex.h"

#include <string_view>

namespace {

ByteString ToBytes(std::string_view text) {
    return ByteString(text.begin(), text.end());
}

} // namespace

TRequest StandardRequest(std::mt19937& random) {
    static constexpr std::string_view Alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, Alphabet.size() - 1);
    TRequest r;
    for (int i = 0; i < 16; ++i)
        r.Challenge += Alphabet[pick(random)];
    const ByteString padded = r.Challenge + ByteString(16, '\x10');
    const auto& keys = StandardHandshakeKeys;
    r.Frame = ByteString("\x02\x07", 2) + static_cast<char>(keys.FunctionByte) +
              HexToBytes(EncryptToHex(padded, ToBytes(keys.EncryptKey), ToBytes(keys.Vector)));
    return r;
}

bool AnswersChallenge(const ByteString& answer, const TRequest& request) {
    if (answer.size() < 35)
        return false;
    const auto& keys = StandardHandshakeKeys;
    const ByteString plain = DecryptFromHex(BytesToHex(answer.substr(3, 32)),
                                            ToBytes(keys.DecryptKey), ToBytes(keys.Vector));
    return plain.substr(0, 16) == request.Challenge;
}
