// SPDX-License-Identifier: Apache-2.0
// The cipher service with any key, any vector and any text. Input: a byte that gives the key
// length (0..40), a byte that gives the vector length (mostly 16), the key, the vector, then
// the rest, read both as the hex text to decipher and as the bytes to encipher.
// - Deciphering ends in a result or in one of the documented errors, each for its own cause;
// - a result enciphers back to the ciphertext; the key counts only by its first 16 bytes
//   (zero-filled); CBC chaining shows: a vector change touches only the first block, and the
//   blocks after the first decipher alike when the first block is taken as the vector;
// - enciphering gives the input rounded up to whole blocks, upper-case, and deciphers back to
//   the input followed by the zero fill, whatever the case of the digits.

#include "FuzzCheck.h"

#include "untAESCipher.h"
#include "untHex.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t Block = 16;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

ByteString KeyBuffer(const ByteString& key) {
    ByteString buffer = key.substr(0, Block);
    buffer.resize(Block, '\0');
    return buffer;
}

std::string Lower(std::string hex) {
    for (char& c : hex)
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c | 0x20);
    return hex;
}

void CheckDecipher(const std::string& text, const ByteString& key, const ByteString& vector) {
    bool allHex = true;
    for (const char c : text)
        allHex = allHex && IsHexDigit(c);
    const std::size_t count = (text.size() + 1) / 2;

    ByteString plain;
    try {
        plain = DecryptFromHex(text, key, vector);
    } catch (const EHexError& e) {
        FUZZ_REQUIRE(!allHex, "a hex text refused: " + FuzzShow(text));
        FUZZ_REQUIRE(std::string(e.what()) == "Error: not a Hex String", e.what());
        return;
    } catch (const EAESError& e) {
        FUZZ_REQUIRE(allHex && count != 0, std::string("EAESError out of turn: ") + e.what());
        const bool sizeError = std::string(e.what()) == "Invalid Buffer Size for Decryption";
        FUZZ_REQUIRE(sizeError == (count % Block != 0), std::string("wrong error: ") + e.what());
        FUZZ_REQUIRE(sizeError || vector.size() != Block, std::string("refused: ") + e.what());
        return;
    }
    FUZZ_REQUIRE(allHex, "a text that is not hex was deciphered");
    FUZZ_REQUIRE(plain.size() == count, "plaintext length " + std::to_string(plain.size()));
    if (count == 0)
        return;
    FUZZ_REQUIRE(count % Block == 0 && vector.size() == Block, "deciphered what it should refuse");

    const ByteString cipher = HexToBytes(text);
    FUZZ_REQUIRE(EncryptToHex(plain, key, vector) == BytesToHex(cipher),
                 "the plaintext does not encipher back to the ciphertext");
    FUZZ_REQUIRE(DecryptFromHex(text, KeyBuffer(key), vector) == plain,
                 "the key counts beyond its first 16 bytes, or not as zero-filled");

    ByteString otherVector = vector;
    otherVector[0] = static_cast<char>(otherVector[0] ^ 0x5A);
    otherVector[15] = static_cast<char>(otherVector[15] ^ 0x01);
    const ByteString other = DecryptFromHex(text, key, otherVector);
    ByteString want = plain;
    want[0] = static_cast<char>(want[0] ^ 0x5A);
    want[15] = static_cast<char>(want[15] ^ 0x01);
    FUZZ_REQUIRE(other == want, "the vector reaches beyond the first block");

    if (count > Block)
        FUZZ_REQUIRE(DecryptFromHex(BytesToHex(cipher.substr(Block)), key,
                                    cipher.substr(0, Block)) == plain.substr(Block),
                     "the blocks do not chain on the ciphertext");
}

void CheckEncipher(const ByteString& plain, const ByteString& key, const ByteString& vector) {
    std::string hex;
    try {
        hex = EncryptToHex(plain, key, vector);
    } catch (const EAESError& e) {
        FUZZ_REQUIRE(!plain.empty() && vector.size() != Block,
                     std::string("EAESError out of turn: ") + e.what());
        return;
    }
    const std::size_t blocks = (plain.size() + Block - 1) / Block;
    FUZZ_REQUIRE(hex.size() == 2 * Block * blocks,
                 "ciphertext length " + std::to_string(hex.size()));
    for (const char c : hex)
        FUZZ_REQUIRE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'), "not upper-case hex");
    if (plain.empty())
        return;
    FUZZ_REQUIRE(vector.size() == Block, "enciphered with a vector that is not 16 bytes");
    ByteString filled = plain;
    filled.resize(Block * blocks, '\0');
    FUZZ_REQUIRE(DecryptFromHex(hex, key, vector) == filled, "no round trip");
    FUZZ_REQUIRE(DecryptFromHex(Lower(hex), key, vector) == filled, "lower case reads otherwise");
    FUZZ_REQUIRE(EncryptToHex(plain, KeyBuffer(key), vector) == hex, "key buffer rule");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::size_t keyLength = data[0] % 41;
    const std::size_t vectorLength = data[1] < 0xC0 ? Block : data[1] % 32;
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const ByteString key = rest.substr(0, keyLength);
    const ByteString vector = rest.substr(key.size(), vectorLength);
    const std::string text = rest.substr(key.size() + vector.size());
    CheckDecipher(text, key, vector);
    CheckEncipher(text, key, vector);
    return 0;
}
