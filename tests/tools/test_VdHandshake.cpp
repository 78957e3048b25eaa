// The display's handshake answer, checked with OpenSSL directly.
#include "VdHandshake.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <memory>

namespace {

ByteString Cbc(bool encrypt, const ByteString& data, std::string_view key,
               std::string_view vector) {
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr,
                      reinterpret_cast<const unsigned char*>(key.data()),
                      reinterpret_cast<const unsigned char*>(vector.data()), encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    ByteString out(data.size() + 16, '\0');
    int n = 0, tail = 0;
    EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &n,
                     reinterpret_cast<const unsigned char*>(data.data()),
                     static_cast<int>(data.size()));
    EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + n, &tail);
    out.resize(static_cast<std::size_t>(n + tail));
    return out;
}

TEST(VdHandshake, AnswersBothVariantsWithTheirDecryptionKeys) {
    const ByteString padded = "Ab3dEf9hIjKlMn0p" + ByteString(16, '\x10');
    for (const HandshakeKeySet* keys : {&StandardHandshakeKeys, &JposHandshakeKeys}) {
        const ByteString request = ByteString("\x02\x07") + char(keys->FunctionByte) +
                                   Cbc(true, padded, keys->EncryptKey, keys->Vector);
        const ByteString answer = AnswerHandShake(request, *keys);
        ASSERT_EQ(answer.size(), 35u);
        EXPECT_EQ(answer.substr(0, 3), request.substr(0, 3));
        EXPECT_EQ(Cbc(false, answer.substr(3), keys->DecryptKey, keys->Vector), padded);

        const ByteString wrong = AnswerHandShake(request, *keys, true);
        ASSERT_EQ(wrong.size(), 35u);
        EXPECT_NE(Cbc(false, wrong.substr(3), keys->DecryptKey, keys->Vector), padded);
    }
}

} // namespace
