// SPDX-License-Identifier: Apache-2.0
#include "untCmd_RV310.h"

#include "untAESCipher.h"
#include "untComm.h"
#include "untHex.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string_view>

namespace {

char Byte(int value) {
    return static_cast<char>(static_cast<std::uint8_t>(value & 0xFF));
}

// A payload never carries a 00: the display would end the frame there.
ByteString CutAtZero(const ByteString& text) {
    return text.substr(0, text.find('\0'));
}

ByteString Bytes(std::initializer_list<int> values) {
    ByteString out;
    for (int v : values)
        out += Byte(v);
    return out;
}

ByteString ToBytes(std::string_view text) {
    return ByteString(text.begin(), text.end());
}

int RunHandShake(TCommConnection& connection, const HandshakeKeySet& keys) {
    int result = 4;
    const std::string challenge = RandomChallenge(16, true, true, true);
    const ByteString padded = BlockPad(challenge);
    const ByteString encryptKey = ToBytes(keys.EncryptKey);
    const ByteString decryptKey = ToBytes(keys.DecryptKey);
    const ByteString vector = ToBytes(keys.Vector);

    ByteString frame = Bytes({0x02, 0x07, keys.FunctionByte});
    frame += HexToBytes(EncryptToHex(padded, encryptKey, vector));

    connection.SetQueryTimeout(keys.ReplyTimeoutMs);
    ByteString reply;
    int length = static_cast<int>(frame.size());
    const int code = connection.Query(frame, reply, length, false, 0);
    if (code != COMM_OK)
        return code;
    // QueryComm returns OK only with at least the frame's 35 bytes; the first three are the
    // display's own and anything past the 35th is not ours to judge.
    if (reply.size() < frame.size())
        return result;
    const ByteString answer = reply.substr(3, 32);
    const ByteString plain = BlockUnpad(DecryptFromHex(BytesToHex(answer), decryptKey, vector));
    if (plain == challenge)
        result = 0;
    return result;
}

} // namespace

int DSP_DisplayText(TCommConnection& connection, const ByteString& text) {
    return connection.Send(CutAtZero(text));
}

int DSP_DisplayTextAt(TCommConnection& connection, const ByteString& text, int row, int column) {
    return connection.Send(Bytes({0x1F, 0x24, column, row}) + CutAtZero(text));
}

int DSP_ClearScreen(TCommConnection& connection) {
    return connection.Send(Bytes({0x0C}));
}

int DSP_SetCharset(TCommConnection& connection, int code) {
    return connection.Send(Bytes({0x02, 0x05, code}));
}

int DSP_SetCodepage(TCommConnection& connection, int code) {
    return connection.Send(Bytes({0x02, 0x06, code}));
}

int DSP_SetBrightness(TCommConnection& connection, int level) {
    return connection.Send(Bytes({0x1F, 0x58, std::clamp(level, 1, 4)}));
}

int DSP_Restart(TCommConnection& connection) {
    return connection.Send(Bytes({0x02, 0x1D, 0xAA, 0x55}));
}

int DSP_SetCommand(TCommConnection& connection, int mode) {
    // The low-byte cut applies to n + 30 only below 255; 255 and above always mean AUTO.
    return connection.Send(Bytes({0x02, 0x43, mode >= 255 ? 0xFF : mode + 0x30}));
}

int DSP_SetBaudrate(TCommConnection& connection, int rateCode) {
    return connection.Send(Bytes({0x02, 0x42, rateCode + 0x30}));
}

int DSP_SetWelMsg1(TCommConnection& connection, const ByteString& text) {
    return connection.Send(Bytes({0x02, 0x07, 0x16, 0x06}) + CutAtZero(text) + Byte(0));
}

int DSP_SetWelMessage_2(TCommConnection& connection, const ByteString& text) {
    return connection.Send(Bytes({0x02, 0x07, 0x16, 0x07}) + CutAtZero(text) + Byte(0));
}

int DSP_SetWelMessage_2_Scroll(TCommConnection& connection, bool scroll) {
    return connection.Send(Bytes({0x02, 0x07, 0x16, 0x09, scroll ? 0x04 : 0x06}));
}

int HandShake(TCommConnection& connection) {
    return RunHandShake(connection, StandardHandshakeKeys);
}

int HandShakeJpos(TCommConnection& connection) {
    return RunHandShake(connection, JposHandshakeKeys);
}

const ByteString& SettingsRequestFrame() {
    static const ByteString frame = Bytes({0x02, 0x07, 0x16, 0x05});
    return frame;
}

int RequestSettings(TCommConnection& connection, const TSettingsReplyLimits& limits,
                    ByteString& reply) {
    // The early limits hold for this request only, on every way out.
    struct TLimits {
        TCommConnection& Connection;
        ~TLimits() {
            Connection.SetReplyLimits(0, 0);
            Connection.SetReplyCut({});
        }
    } restore{connection};
    connection.SetReplyLimits(limits.FirstByteMs, limits.GapMs, limits.ReadMs);
    connection.SetReplyCut(limits.GiveUp);
    connection.SetQueryTimeout(limits.ReplyMs);
    int length = 0;
    return connection.Query(SettingsRequestFrame(), reply, length, true, 0);
}

ByteString DSP_GetSettings(TCommConnection& connection) {
    ByteString reply;
    if (RequestSettings(connection, {}, reply) != COMM_OK)
        return {};
    return reply;
}

std::string RandomChallenge(int length, bool upper, bool lower, bool digits) {
    std::string alphabet;
    if (upper)
        alphabet += "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (lower)
        alphabet += "abcdefghijklmnopqrstuvwxyz";
    if (digits)
        alphabet += "0123456789";
    if (alphabet.empty() || length < 1)
        return {};
    // A fresh seed from the finest clock for every challenge, so that two challenges made in
    // quick succession still differ.
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks),
                       static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32)};
    std::mt19937 generator(seed);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string out;
    out.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        out += alphabet[pick(generator)];
    return out;
}

ByteString BlockPad(const ByteString& data) {
    const std::size_t p = 16 - data.size() % 16;
    return data + ByteString(p, Byte(static_cast<int>(p)));
}

ByteString BlockUnpad(const ByteString& data) {
    if (data.empty())
        return {};
    const std::size_t v = static_cast<std::uint8_t>(data.back());
    if (v >= data.size())
        return {};
    return data.substr(0, data.size() - v);
}
