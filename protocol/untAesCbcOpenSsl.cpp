// SPDX-License-Identifier: Apache-2.0
// AES-128-CBC on Linux: OpenSSL's libcrypto.
#include "untAesCbc.h"

#include "untAESCipher.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include <memory>

namespace {

struct CtxFree {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CtxPtr = std::unique_ptr<EVP_CIPHER_CTX, CtxFree>;

[[noreturn]] void ThrowOpenSslError(const char* what) {
    const unsigned long code = ERR_get_error();
    std::string message = std::string("AES: ") + what;
    if (code != 0) {
        char text[256];
        ERR_error_string_n(code, text, sizeof text);
        message += ": ";
        message += text;
    }
    ERR_clear_error();
    throw EAESError(message);
}

// Fetched once: naming the cipher on every call makes OpenSSL 3 look it up in its provider
// store each time, which costs more than the two blocks of a handshake.
const EVP_CIPHER* Aes128Cbc() {
    static EVP_CIPHER* const fetched = EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr);
    return fetched != nullptr ? fetched : EVP_aes_128_cbc();
}

} // namespace

ByteString RunAes128Cbc(const ByteString& input, const AesBlock& keyBuffer, const AesBlock& iv,
                        bool encrypt) {
    CtxPtr ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        ThrowOpenSslError("cannot create cipher context");
    if (EVP_CipherInit_ex(ctx.get(), Aes128Cbc(), nullptr, keyBuffer.data(), iv.data(),
                          encrypt ? 1 : 0) != 1)
        ThrowOpenSslError("cannot initialise cipher");
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);

    ByteString output(input.size() + AesBlockSize, '\0');
    int written = 0;
    if (EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(output.data()), &written,
                         reinterpret_cast<const unsigned char*>(input.data()),
                         static_cast<int>(input.size())) != 1)
        ThrowOpenSslError("cipher update failed");
    int tail = 0;
    if (EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(output.data()) + written,
                           &tail) != 1)
        ThrowOpenSslError("cipher final failed");
    output.resize(static_cast<std::size_t>(written + tail));
    return output;
}

void ReleaseCipherThreadState() {
    OPENSSL_thread_stop();
}
