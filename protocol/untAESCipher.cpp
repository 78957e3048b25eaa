// SPDX-License-Identifier: Apache-2.0
#include "untAESCipher.h"

#include "untAesCbc.h"
#include "untHex.h"

#include <algorithm>

namespace {

constexpr std::size_t BlockSize = AesBlockSize;

// The key string cut after 16 bytes or followed by zero bytes up to 16.
AesBlock KeyBuffer(const ByteString& key) {
    AesBlock buffer{};
    std::copy_n(key.begin(), std::min(key.size(), BlockSize), buffer.begin());
    return buffer;
}

AesBlock VectorBuffer(const ByteString& vector) {
    // Reading past a short vector would chain from whatever lies behind it.
    if (vector.size() != BlockSize)
        throw EAESError("Initialisation vector must be 16 bytes");
    AesBlock buffer{};
    std::copy_n(vector.begin(), BlockSize, buffer.begin());
    return buffer;
}

} // namespace

std::string EncryptToHex(const ByteString& plain, const ByteString& key, const ByteString& vector) {
    if (plain.empty())
        return {};
    ByteString filled = plain;
    if (const std::size_t rest = filled.size() % BlockSize; rest != 0)
        filled.append(BlockSize - rest, '\0');
    return BytesToHex(RunAes128Cbc(filled, KeyBuffer(key), VectorBuffer(vector), true));
}

ByteString DecryptFromHex(std::string_view cipherHex, const ByteString& key,
                          const ByteString& vector) {
    const ByteString cipher = HexToBytes(cipherHex);
    if (cipher.empty())
        return {};
    if (cipher.size() % BlockSize != 0)
        throw EAESError("Invalid Buffer Size for Decryption");
    return RunAes128Cbc(cipher, KeyBuffer(key), VectorBuffer(vector), false);
}
