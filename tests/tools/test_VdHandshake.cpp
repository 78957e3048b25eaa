// SPDX-License-Identifier: Apache-2.0
// The display's handshake answer, checked with OpenSSL directly.
#include "VdHandshake.h"

#include "ReferenceCipher.h"

#include <gtest/gtest.h>

namespace {

TEST(VdHandshake, AnswersBothVariantsWithTheirDecryptionKeys) {
    const ByteString padded = "Ab3dEf9hIjKlMn0p" + ByteString(16, '\x10');
    for (const HandshakeKeySet* keys : {&StandardHandshakeKeys, &JposHandshakeKeys}) {
        const ByteString request = ByteString("\x02\x07") + char(keys->FunctionByte) +
                                   ReferenceCbc(true, padded, keys->EncryptKey, keys->Vector);
        const ByteString answer = AnswerHandShake(request, *keys);
        ASSERT_EQ(answer.size(), 35u);
        EXPECT_EQ(answer.substr(0, 3), request.substr(0, 3));
        EXPECT_EQ(ReferenceCbc(false, answer.substr(3), keys->DecryptKey, keys->Vector), padded);

        const ByteString wrong = AnswerHandShake(request, *keys, true);
        ASSERT_EQ(wrong.size(), 35u);
        EXPECT_NE(ReferenceCbc(false, wrong.substr(3), keys->DecryptKey, keys->Vector), padded);
    }
}

} // namespace
