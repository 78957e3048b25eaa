// SPDX-License-Identifier: Apache-2.0
#include "untAESCipher.h"

#include "untHex.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr std::size_t BlockSize = 16;
using Block = std::array<unsigned char, BlockSize>;

// The key string cut after 16 bytes or followed by zero bytes up to 16.
Block KeyBuffer(const ByteString& key) {
    Block buffer{};
    std::copy_n(key.begin(), std::min(key.size(), BlockSize), buffer.begin());
    return buffer;
}

Block VectorBuffer(const ByteString& vector) {
    // Reading past a short vector would chain from whatever lies behind it.
    if (vector.size() != BlockSize)
        throw EAESError("Initialisation vector must be 16 bytes");
    Block buffer{};
    std::copy_n(vector.begin(), BlockSize, buffer.begin());
    return buffer;
}

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

// Runs AES-128-CBC without padding over whole blocks.
ByteString RunCbc(const ByteString& input, const ByteString& key, const ByteString& vector,
                  bool encrypt) {
    const Block keyBuffer = KeyBuffer(key);
    const Block iv = VectorBuffer(vector);
    CtxPtr ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        ThrowOpenSslError("cannot create cipher context");
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, keyBuffer.data(), iv.data(),
                          encrypt ? 1 : 0) != 1)
        ThrowOpenSslError("cannot initialise cipher");
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);

    ByteString output(input.size() + BlockSize, '\0');
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

} // namespace

std::string EncryptToHex(const ByteString& plain, const ByteString& key, const ByteString& vector) {
    if (plain.empty())
        return {};
    ByteString filled = plain;
    if (const std::size_t rest = filled.size() % BlockSize; rest != 0)
        filled.append(BlockSize - rest, '\0');
    return BytesToHex(RunCbc(filled, key, vector, true));
}

ByteString DecryptFromHex(std::string_view cipherHex, const ByteString& key,
                          const ByteString& vector) {
    const ByteString cipher = HexToBytes(cipherHex);
    if (cipher.empty())
        return {};
    if (cipher.size() % BlockSize != 0)
        throw EAESError("Invalid Buffer Size for Decryption");
    return RunCbc(cipher, key, vector, false);
}

void ReleaseCipherThreadState() {
    OPENSSL_thread_stop();
}
