// SPDX-License-Identifier: Apache-2.0
// Both handshakes against a far end scripted by the test. The far end ciphers with OpenSSL
// directly, so the command module's use of the cipher service is checked from outside.
#include "PtyPair.h"
#include "ReferenceCipher.h"
#include "ScriptedFarEnd.h"
#include "TestSystem.h"
#include "untAESCipher.h"
#include "untCmd_RV310.h"
#include "untComm.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <vector>

namespace {

using namespace std::chrono_literals;

// What the request carried, deciphered as the display does it.
ByteString Deciphered(const ByteString& request, const HandshakeKeySet& keys) {
    return ReferenceCbc(false, request.substr(3, 32), keys.EncryptKey, keys.Vector);
}

// A display's answer: three leading bytes, then `plain` enciphered with the answer key.
ByteString Answer(const ByteString& plain, const HandshakeKeySet& keys,
                  const ByteString& lead = "\x02\x07\x13") {
    return lead + ReferenceCbc(true, plain, keys.DecryptKey, keys.Vector);
}

class HandShakes : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(connection.Open(pty.PortName(), 9600)); }

    // Runs the handshake against a far end that answers with `reply(request)` after `delay`.
    int Run(int (*handShake)(TCommConnection&),
            const std::function<ByteString(const ByteString&)>& reply,
            std::chrono::milliseconds delay = 0ms) {
        ScriptedFarEnd far(pty, 35, reply, delay);
        const int result = handShake(connection);
        request = far.Request();
        return result;
    }

    PtyPair pty;
    TCommConnection connection;
    ByteString request;
};

TEST_F(HandShakes, CorrectAnswersPassBothVariants) {
    const auto good = [](const HandshakeKeySet& keys) {
        return [&keys](const ByteString& req) { return Answer(Deciphered(req, keys), keys); };
    };
    EXPECT_EQ(Run(HandShake, good(StandardHandshakeKeys)), 0);
    ASSERT_EQ(request.size(), 35u);
    EXPECT_EQ(request.substr(0, 3), ByteString("\x02\x07\x13"));
    const ByteString plain = Deciphered(request, StandardHandshakeKeys);
    EXPECT_EQ(plain.substr(16), ByteString(16, '\x10'));

    EXPECT_EQ(Run(HandShakeJpos, good(JposHandshakeKeys)), 0);
    ASSERT_EQ(request.size(), 35u);
    EXPECT_EQ(request.substr(0, 3), ByteString("\x02\x07\x12"));
    EXPECT_EQ(Deciphered(request, JposHandshakeKeys).substr(16), ByteString(16, '\x10'));
}

TEST_F(HandShakes, LeadingBytesAndBytesPastTheAnswerAreNotExamined) {
    EXPECT_EQ(Run(HandShake,
                  [](const ByteString& req) {
                      return Answer(Deciphered(req, StandardHandshakeKeys), StandardHandshakeKeys,
                                    ByteString("\xFF\x00\x41", 3)) +
                             "\x01\x02\x03\x04\x05"; // 40 bytes in all
                  }),
              0);
    // Positions 17 to 31 may hold anything while the last byte is 10 hex.
    EXPECT_EQ(Run(HandShake,
                  [](const ByteString& req) {
                      ByteString plain = Deciphered(req, StandardHandshakeKeys);
                      plain.replace(16, 15, ByteString(15, 'z'));
                      return Answer(plain, StandardHandshakeKeys);
                  }),
              0);
}

TEST_F(HandShakes, WrongAnswersGiveFour) {
    // Enciphered with the encryption key instead of the decryption key.
    EXPECT_EQ(Run(HandShake,
                  [](const ByteString& req) {
                      return "\x02\x07\x13" + ReferenceCbc(true,
                                                           Deciphered(req, StandardHandshakeKeys),
                                                           StandardHandshakeKeys.EncryptKey,
                                                           StandardHandshakeKeys.Vector);
                  }),
              4);
    // The JavaPOS variant does not accept the standard keys.
    EXPECT_EQ(Run(HandShakeJpos,
                  [](const ByteString& req) {
                      return Answer(Deciphered(req, JposHandshakeKeys), StandardHandshakeKeys);
                  }),
              4);
    // A last deciphered byte of 20 hex unpads to nothing, one of 0C to 20 bytes.
    for (char last : {'\x20', '\x0C'}) {
        EXPECT_EQ(Run(HandShake,
                      [last](const ByteString& req) {
                          ByteString plain = Deciphered(req, StandardHandshakeKeys);
                          plain.back() = last;
                          return Answer(plain, StandardHandshakeKeys);
                      }),
                  4)
            << int(last);
    }
    // The right padding around another challenge.
    EXPECT_EQ(Run(HandShake,
                  [](const ByteString&) {
                      return Answer("AAAAAAAAAAAAAAAA" + ByteString(16, '\x10'),
                                    StandardHandshakeKeys);
                  }),
              4);
}

TEST_F(HandShakes, ShortOrLateAnswersTimeOut) {
    const auto good = [](const HandshakeKeySet& keys) {
        return [&keys](const ByteString& req) { return Answer(Deciphered(req, keys), keys); };
    };
    // 300 ms is within the standard variant's 500 ms, beyond the JavaPOS variant's 200 ms.
    EXPECT_EQ(Run(HandShake, good(StandardHandshakeKeys), 300ms), 0);
    EXPECT_EQ(Run(HandShakeJpos, good(JposHandshakeKeys), 300ms), COMM_TIMEOUT);
    pty.ReadUntilQuiet(50ms); // the late answer is not part of the next exchange
    EXPECT_EQ(Run(HandShake,
                  [](const ByteString& req) {
                      return Answer(Deciphered(req, StandardHandshakeKeys), StandardHandshakeKeys)
                          .substr(0, 34);
                  }),
              COMM_TIMEOUT);
}

TEST_F(HandShakes, ChallengesDifferAndUseTheAlphabet) {
    std::vector<ByteString> challenges;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Run(
                      HandShake, [](const ByteString&) { return ByteString(); }, 0ms),
                  COMM_TIMEOUT);
        ASSERT_EQ(request.size(), 35u);
        const ByteString challenge = Deciphered(request, StandardHandshakeKeys).substr(0, 16);
        for (char c : challenge)
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << int(c);
        challenges.push_back(challenge);
    }
    EXPECT_NE(challenges[0], challenges[1]);
    EXPECT_NE(challenges[1], challenges[2]);
}

TEST(HandShakeClosed, NoConnectionGivesOneAndSendsNothing) {
    PtyPair pty;
    TCommConnection connection; // never opened
    EXPECT_EQ(HandShake(connection), COMM_NOT_OPEN);
    EXPECT_EQ(HandShakeJpos(connection), COMM_NOT_OPEN);
    EXPECT_EQ(DSP_GetSettings(connection), "");
    EXPECT_EQ(pty.ReadUntilQuiet(100ms, 1s), "");
}

} // namespace

// The keys as the display holds them, written out here rather than taken from the header under
// test, with known answers from an independent AES (`openssl enc -aes-128-cbc -nopad`) for the
// challenge "ABCDEFGHIJKLMNOP" padded to 32 bytes.
TEST(HandShakeKeys, KeySetsGiveTheKnownAnswers) {
    struct TCase {
        const HandshakeKeySet& Keys;
        int Function;
        int Timeout;
        const char* EncryptKey;
        const char* DecryptKey;
        const char* Vector;
        const char* Cipher;
    };
    const TCase cases[] = {
        {StandardHandshakeKeys, 0x13, 500, "MUDE199705424242", "MUDE199705939393",
         "MUDEXTB199706177", "077CEE33C00DAD9D99627F73752A9E9543B8C57EF5C0A2ED3C528CCA15ED772E"},
        {JposHandshakeKeys, 0x12, 200, "#Tq]e7mWx%ruLzpk", "!~nVcbQReityhgsd", "+HbnwqZ^(sUGiXcN",
         "F05E4D554C8168BE2827552413E13157BDD6435AA4E734ECE0352202640A11FE"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Keys.FunctionByte, c.Function);
        EXPECT_EQ(c.Keys.ReplyTimeoutMs, c.Timeout);
        EXPECT_EQ(c.Keys.EncryptKey, c.EncryptKey);
        EXPECT_EQ(c.Keys.DecryptKey, c.DecryptKey);
        EXPECT_EQ(c.Keys.Vector, c.Vector);
        const ByteString padded = BlockPad("ABCDEFGHIJKLMNOP");
        EXPECT_EQ(EncryptToHex(padded, c.EncryptKey, c.Vector), c.Cipher);
        EXPECT_EQ(ReferenceCbc(false, HexBytes(c.Cipher), c.EncryptKey, c.Vector), padded);
    }
}
