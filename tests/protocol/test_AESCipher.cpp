// SPDX-License-Identifier: Apache-2.0
#include "TestSystem.h"
#include "untAESCipher.h"
#include "untHex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// Written independently of the hex helpers under test elsewhere.
ByteString Hex(std::string_view hex) {
    return HexBytes(hex);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const ByteString ZeroIv(16, '\0');

// FIPS-197 appendix C.1 (AES-128): one block, so CBC from a zero vector is the bare cipher.
const ByteString FipsKey = Hex("000102030405060708090A0B0C0D0E0F");
const ByteString FipsPlain = Hex("00112233445566778899AABBCCDDEEFF");
const std::string FipsCipher = "69C4E0D86A7B0430D8CDB78070B4C55A";

// NIST SP 800-38A F.2.1 / F.2.2 (CBC-AES128).
const ByteString SpKey = Hex("2B7E151628AED2A6ABF7158809CF4F3C");
const ByteString SpIv = Hex("000102030405060708090A0B0C0D0E0F");
const ByteString SpPlain = Hex("6BC1BEE22E409F96E93D7E117393172A"
                               "AE2D8A571E03AC9C9EB76FAC45AF8E51"
                               "30C81C46A35CE411E5FBC1191A0A52EF"
                               "F69F2445DF4F9B17AD2B417BE66C3710");
const std::string SpCipher = "7649ABAC8119B246CEE98E9B12E9197D"
                             "5086CB9B507219EE95DB113A917678B2"
                             "73BED6B8E3C1743B7116E69E22229516"
                             "3FF1CAA1681FAC09120ECA307586E1A7";

} // namespace

TEST(AESCipher, StandardVectors) {
    EXPECT_EQ(EncryptToHex(FipsPlain, FipsKey, ZeroIv), FipsCipher);
    EXPECT_EQ(DecryptFromHex(FipsCipher, FipsKey, ZeroIv), FipsPlain);

    EXPECT_EQ(EncryptToHex(SpPlain, SpKey, SpIv), SpCipher);   // F.2.1
    EXPECT_EQ(DecryptFromHex(SpCipher, SpKey, SpIv), SpPlain); // F.2.2
    // Each call starts a new chain: a repeat gives the same text.
    EXPECT_EQ(EncryptToHex(SpPlain, SpKey, SpIv), SpCipher);
}

TEST(AESCipher, HexCaseOnBothSides) {
    const std::string upper = EncryptToHex(SpPlain, SpKey, SpIv);
    EXPECT_EQ(upper.find_first_of("abcdef"), std::string::npos);
    EXPECT_EQ(DecryptFromHex(Lower(SpCipher), SpKey, SpIv), SpPlain);
    std::string mixed = SpCipher;
    for (std::size_t i = 0; i < mixed.size(); i += 3)
        mixed[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(mixed[i])));
    EXPECT_EQ(DecryptFromHex(mixed, SpKey, SpIv), SpPlain);
}

TEST(AESCipher, ShortLastBlockIsZeroFilled) {
    const ByteString plain17 = SpPlain.substr(0, 17);
    const std::string cipher = EncryptToHex(plain17, SpKey, SpIv);
    ASSERT_EQ(cipher.size(), 64u);
    // The first block chains exactly as in the standard; the second is byte 17 and 15 zeros.
    EXPECT_EQ(cipher.substr(0, 32), SpCipher.substr(0, 32));
    ByteString filled = plain17 + ByteString(15, '\0');
    EXPECT_EQ(cipher, EncryptToHex(filled, SpKey, SpIv));
    EXPECT_EQ(DecryptFromHex(cipher, SpKey, SpIv), filled);

    EXPECT_EQ(EncryptToHex(SpPlain.substr(0, 32), SpKey, SpIv).size(), 64u);
    EXPECT_EQ(EncryptToHex(ByteString(1, 'A'), SpKey, SpIv).size(), 32u);
    EXPECT_EQ(EncryptToHex(ByteString(), SpKey, SpIv), "");
    EXPECT_EQ(DecryptFromHex("", SpKey, SpIv), ByteString());
}

TEST(AESCipher, KeyIsCutOrZeroFilledToSixteenBytes) {
    EXPECT_EQ(EncryptToHex(FipsPlain, FipsKey + Hex("DEADBEEF"), ZeroIv), FipsCipher);
    EXPECT_EQ(DecryptFromHex(FipsCipher, FipsKey + Hex("DEADBEEF"), ZeroIv), FipsPlain);

    const ByteString key10 = "0123456789";
    const ByteString key16 = key10 + ByteString(6, '\0');
    const std::string withShort = EncryptToHex(SpPlain, key10, SpIv);
    EXPECT_EQ(withShort, EncryptToHex(SpPlain, key16, SpIv));
    EXPECT_NE(withShort, EncryptToHex(SpPlain, key10 + "123456", SpIv));
    EXPECT_EQ(DecryptFromHex(withShort, key10, SpIv), SpPlain);
}

TEST(AESCipher, VectorChangesEveryBlock) {
    ByteString otherIv = SpIv;
    otherIv[15] = static_cast<char>(otherIv[15] ^ 1);
    const std::string a = EncryptToHex(SpPlain, SpKey, SpIv);
    const std::string b = EncryptToHex(SpPlain, SpKey, otherIv);
    for (std::size_t block = 0; block < 4; ++block)
        EXPECT_NE(a.substr(block * 32, 32), b.substr(block * 32, 32)) << "block " << block;
    EXPECT_THROW(EncryptToHex(SpPlain, SpKey, ByteString(8, '\0')), EAESError);
}

TEST(AESCipher, DecryptionErrors) {
    try {
        DecryptFromHex(SpCipher.substr(0, 62), SpKey, SpIv);
        FAIL() << "31 bytes were accepted";
    } catch (const EAESError& e) {
        EXPECT_STREQ(e.what(), "Invalid Buffer Size for Decryption");
    }
    // A lone last digit is one byte of its own: 33 digits are 17 bytes.
    EXPECT_THROW(DecryptFromHex(SpCipher.substr(0, 33), SpKey, SpIv), EAESError);
    try {
        DecryptFromHex("7649ABAC8119B246CEE98E9B12E9197G", SpKey, SpIv);
        FAIL() << "a non-hex character was accepted";
    } catch (const EHexError& e) {
        EXPECT_STREQ(e.what(), "Error: not a Hex String");
    }
    EXPECT_THROW(DecryptFromHex("7649ABAC 8119B246CEE98E9B12E9197D", SpKey, SpIv), EHexError);
}
