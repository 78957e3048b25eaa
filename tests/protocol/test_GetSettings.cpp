// SPDX-License-Identifier: Apache-2.0
// The settings request: its frame, its reply with the 00 and whatever came with it, and the
// empty result when no 00 arrives in time.
#include "PtyPair.h"
#include "ScriptedFarEnd.h"
#include "untCmd_RV310.h"
#include "untComm.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

class GetSettings : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(connection.Open(pty.PortName(), 9600)); }
    PtyPair pty;
    TCommConnection connection;
};

TEST_F(GetSettings, ReplyKeepsItsTerminatorAndWhatCameWithIt) {
    const ByteString document = R"({"back_light":2})";
    const ByteString sent = document + ByteString(1, '\0') + "\r\nXY";
    ScriptedFarEnd far(pty, 4, [&](const ByteString&) { return sent; });
    const ByteString reply = DSP_GetSettings(connection);
    EXPECT_EQ(far.Request(), ByteString("\x02\x07\x16\x05"));
    EXPECT_EQ(reply, sent);
}

TEST_F(GetSettings, LongReplyInPiecesAndBytesWaitingBefore) {
    // Bytes queued before the request are not part of the reply.
    pty.Write("stale");
    std::this_thread::sleep_for(50ms);
    const ByteString document = "{\"wel_mess2\":\"" + std::string(600, 'x') + "\"}";
    ScriptedFarEnd far(pty, 4, [&](const ByteString&) {
        pty.Write(document.substr(0, 300));
        std::this_thread::sleep_for(100ms);
        return document.substr(300) + ByteString(1, '\0');
    });
    EXPECT_EQ(DSP_GetSettings(connection), document + ByteString(1, '\0'));
}

// The one test of this layer that waits the full 10 s.
TEST_F(GetSettings, NoTerminatorWithinTenSecondsGivesNothing) {
    ScriptedFarEnd far(pty, 4, [&](const ByteString&) { return ByteString(500, '{'); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DSP_GetSettings(connection), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 9900ms);
}

} // namespace
