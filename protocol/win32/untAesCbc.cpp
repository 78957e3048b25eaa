// SPDX-License-Identifier: Apache-2.0
// AES-128-CBC on Windows: CNG (BCrypt).
#include "untAesCbc.h"

#include "untAESCipher.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include <windows.h>

#include <bcrypt.h>

namespace {

[[noreturn]] void ThrowCngError(const char* what, NTSTATUS status) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(status));
    throw EAESError(std::string("AES: ") + what + ": status 0x" + code);
}

class Algorithm {
public:
    Algorithm() {
        if (const NTSTATUS status =
                BCryptOpenAlgorithmProvider(&handle_, BCRYPT_AES_ALGORITHM, nullptr, 0);
            status < 0)
            ThrowCngError("cannot open the AES provider", status);
        const wchar_t* const mode = BCRYPT_CHAIN_MODE_CBC;
        if (const NTSTATUS status = BCryptSetProperty(
                handle_, BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(mode)),
                static_cast<ULONG>((wcslen(mode) + 1) * sizeof(wchar_t)), 0);
            status < 0) {
            BCryptCloseAlgorithmProvider(handle_, 0);
            ThrowCngError("cannot choose CBC", status);
        }
    }
    ~Algorithm() { BCryptCloseAlgorithmProvider(handle_, 0); }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE Get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
public:
    Key(const Algorithm& algorithm, const AesBlock& key) {
        if (const NTSTATUS status = BCryptGenerateSymmetricKey(algorithm.Get(), &handle_, nullptr,
                                                               0, const_cast<PUCHAR>(key.data()),
                                                               static_cast<ULONG>(key.size()), 0);
            status < 0)
            ThrowCngError("cannot make the key", status);
    }
    ~Key() { BCryptDestroyKey(handle_); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE Get() const { return handle_; }

private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

} // namespace

ByteString RunAes128Cbc(const ByteString& input, const AesBlock& key, const AesBlock& vector,
                        bool encrypt) {
    const Algorithm algorithm;
    const Key keyHandle(algorithm, key);
    // CNG chains through the vector it is given: it gets a copy.
    AesBlock chain = vector;
    ByteString output(input.size(), '\0');
    ULONG written = 0;
    auto* const in = reinterpret_cast<PUCHAR>(const_cast<char*>(input.data()));
    auto* const out = reinterpret_cast<PUCHAR>(output.data());
    const auto length = static_cast<ULONG>(input.size());
    const NTSTATUS status =
        encrypt ? BCryptEncrypt(keyHandle.Get(), in, length, nullptr, chain.data(),
                                static_cast<ULONG>(chain.size()), out, length, &written, 0)
                : BCryptDecrypt(keyHandle.Get(), in, length, nullptr, chain.data(),
                                static_cast<ULONG>(chain.size()), out, length, &written, 0);
    if (status < 0)
        ThrowCngError(encrypt ? "encryption failed" : "decryption failed", status);
    output.resize(written);
    return output;
}

// CNG keeps nothing per thread.
void ReleaseCipherThreadState() {}
