// SPDX-License-Identifier: Apache-2.0
#include "ReferenceCipher.h"

#include <openssl/evp.h>

#include <memory>

ByteString ReferenceCbc(bool encrypt, const ByteString& data, std::string_view key,
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
