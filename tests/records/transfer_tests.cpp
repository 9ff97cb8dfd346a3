// Record transfers on a session with short waits: a record that stalls
// gives up after the read timeout instead of hanging the caller.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "channel/server_session.h"
#include "records/record_transfer.h"
#include "scripted_peer.h"

namespace q5::records {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

class TransferTest : public ::testing::Test {
protected:
    TransferTest() { peer.Accept().Send("+OK 5 ready\r\n"); }
    void Connect() {
        peer.Start();
        session.set_poll_step_ms(20);
        ASSERT_TRUE(session.Connect("127.0.0.1", peer.port(), 5));
        session.set_read_timeout(2);  // gives up after three quiet 20 ms polls
    }
    void TearDown() override { EXPECT_EQ(peer.Finish(), std::vector<std::string>{}); }

    q5test::ScriptedPeer peer;
    RecordSet records;
    channel::ServerSession session;  // declared last: closes before the peer stops
};

TEST_F(TransferTest, StalledRecordGivesUpAfterTheReadTimeoutAndClosesTheSession) {
    peer.Expect("GET CONV_TABLE\r\n").Send("+OK\r\n\003100\0021"s).Pause(2000ms);
    Connect();
    session.set_table_name("CONV_TABLE");
    records.Find("CONV_TABLE")->SetField("NUM", "old");
    const auto start = std::chrono::steady_clock::now();
    const TransferResult result = FetchRecord(session, records);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_EQ(result.status, TransferStatus::broken);
    EXPECT_NE(result.problem.find("CONV_TABLE"), std::string::npos);
    EXPECT_FALSE(session.connected());
    std::string value;
    records.Find("CONV_TABLE")->GetField("NUM", value);
    EXPECT_EQ(value, "old");
}

TEST_F(TransferTest, UnprivilegedSessionClearsAFlagLeftOnTheRecord) {
    peer.Expect("PUT BOX_STAT\r\n").Send("+OK\r\n").Send("+OK\r\n");
    Connect();
    session.set_table_name("BOX_STAT");
    records.Find("BOX_STAT")->SetPrivileged(1);
    EXPECT_TRUE(SendRecord(session, records, SendCommand::put).ok());
    EXPECT_EQ(records.Find("BOX_STAT")->GetPrivileged(), 0u);
    EXPECT_EQ(peer.Received(), "PUT BOX_STAT\r\n");
}

}  // namespace
}  // namespace q5::records
