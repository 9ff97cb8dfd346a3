// Shared set-up of the session tests: a scripted peer that greets, and a
// session with short poll steps connected to it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/server_session.h"
#include "scripted_peer.h"

namespace q5::channel::testing {

inline constexpr const char* kGreeting = "+OK 217 Q5Server ready\r\n";
inline constexpr int kPollStepMs = 20;

inline std::string Joined(const std::vector<std::string>& deviations) {
    std::string out;
    for (const std::string& d : deviations) out += d + "\n";
    return out;
}

// The test adds its steps to `peer` (after the greeting), then calls
// Connect(); the script's deviations are checked when the test ends.
class SessionTest : public ::testing::Test {
protected:
    SessionTest() { peer.Accept().Send(kGreeting); }

    void Connect() {
        peer.Start();
        session.set_poll_step_ms(kPollStepMs);
        ASSERT_TRUE(session.Connect("127.0.0.1", peer.port(), 5));
    }

    void TearDown() override { EXPECT_EQ(Joined(peer.Finish()), ""); }

    q5test::ScriptedPeer peer;
    ServerSession session;  // declared last: closes before the peer stops
};

}  // namespace q5::channel::testing
