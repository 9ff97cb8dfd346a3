// Connecting, losing the connection, time limits and stop requests.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "session_fixture.h"

namespace q5::channel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Connection = SessionTest;

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

TEST_F(Connection, BlockingConnectWithTimeoutZeroWorks) {
    peer.Expect("NOOP\r\n").Send("+OK\r\n");
    peer.Start();
    session.set_poll_step_ms(kPollStepMs);
    ASSERT_TRUE(session.Connect("127.0.0.1", peer.port(), 0));
    EXPECT_EQ(session.server_version(), 217);
    EXPECT_EQ(session.Noop(), Outcome::ok);
}

TEST_F(Connection, HostNameIsLookedUp) {
    peer.Start();
    session.set_poll_step_ms(kPollStepMs);
    EXPECT_TRUE(session.Connect("localhost", peer.port(), 2));
}

TEST(ConnectionRefused, ConnectToClosedPortFails) {
    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    const int port = q5test::ClosedPort();
    EXPECT_FALSE(session.Connect("127.0.0.1", port, 0));
    EXPECT_FALSE(session.Connect("127.0.0.1", port, 2));
    EXPECT_FALSE(session.connected());
    EXPECT_FALSE(session.Connect(nullptr, port, 2));
}

TEST(ConnectionTimeout, ConnectGivesUpAfterTimeoutPlusOnePolls) {
    // A listener with a full accept queue never answers a further connect.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    const auto start = Clock::now();
    EXPECT_FALSE(session.Connect("127.0.0.1", ntohs(address.sin_port), 2));
    const long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 3 * kPollStepMs - 5);
    EXPECT_LT(elapsed, 900);
    ::close(filler);
    ::close(listener);
}

TEST(ConnectionGreeting, PeerClosingBeforeGreetingFailsConnect) {
    q5test::ScriptedPeer mute;
    mute.Accept().CloseConnection();
    mute.Start();
    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    EXPECT_FALSE(session.Connect("127.0.0.1", mute.port(), 2));
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.Noop(), Outcome::lost);
    EXPECT_EQ(Joined(mute.Finish()), "");
}

TEST_F(Connection, ReconnectClosesTheOldConnectionFirst) {
    peer.ExpectClosed().Accept().Send("+OK 300\r\n").Expect("NOOP\r\n").Send("+OK\r\n");
    Connect();
    ASSERT_TRUE(session.Connect("127.0.0.1", peer.port(), 2));
    EXPECT_EQ(session.server_version(), 300);
    EXPECT_EQ(session.Noop(), Outcome::ok);
}

TEST_F(Connection, PeerClosingWhileWaitingLosesSessionAndLaterCommandsSendNothing) {
    peer.Expect("NOOP\r\n").CloseConnection();
    Connect();
    EXPECT_EQ(session.Noop(), Outcome::lost);
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.Quit(), Outcome::lost);
    EXPECT_EQ(session.Open("BOX", "1\r\n"), Outcome::lost);  // not connected is checked first
    EXPECT_FALSE(session.WriteRaw("x", 1));
    EXPECT_EQ(session.FinishRecord(), Outcome::lost);
    EXPECT_EQ(Joined(peer.Finish()), "");
    EXPECT_EQ(peer.Received(), "NOOP\r\n");
}

TEST(NeverConnected, CommandsReportLostWithoutSending) {
    ServerSession session;
    std::string value;
    int jobs[2];
    int size = 2;
    EXPECT_EQ(session.Noop(), Outcome::lost);
    EXPECT_EQ(session.Login("u", "p"), Outcome::lost);
    EXPECT_EQ(session.Serial(value), Outcome::lost);
    EXPECT_EQ(session.SendQ5Event("1", "2", " "), Outcome::lost);
    EXPECT_EQ(session.EnumFaxJobs("1", jobs, size), Outcome::lost);
    EXPECT_EQ(size, 2);
    EXPECT_FALSE(session.ReadRecord(value));
    char byte;
    EXPECT_EQ(session.ReadRaw(&byte, 1), 0u);
}

TEST_F(Connection, WritingToClosedPeerFailsWithoutSignal) {
    peer.CloseConnection();
    Connect();
    // The first writes may still be taken by the system; a later one fails
    // (and would raise SIGPIPE if sends were not guarded).
    bool failed = false;
    for (int i = 0; i < 50 && !failed; ++i) {
        failed = !session.WriteRaw("data", 4);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(failed);
    EXPECT_FALSE(session.connected());
}

TEST_F(Connection, StalledReplyTimesOutAfterReadTimeoutPlusOnePolls) {
    peer.Expect("NOOP\r\n");  // and then silence
    Connect();
    session.set_read_timeout(2);
    const auto start = Clock::now();
    EXPECT_EQ(session.Noop(), Outcome::lost);
    const long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 3 * kPollStepMs - 5);
    EXPECT_LT(elapsed, 1000);
    EXPECT_FALSE(session.connected());
}

TEST_F(Connection, ReadTimeoutCountsSilenceNotTotalTime) {
    // Read timeout 4 = 5 polls of 20 ms of silence; the reply takes longer in
    // all but arrives in pieces 40 ms apart.
    peer.Expect("NOOP\r\n");
    for (const char* piece : {"+", "O", "K", " ", "\r"}) peer.Send(piece).Pause(40ms);
    peer.Send("\n");
    Connect();
    session.set_read_timeout(4);
    const auto start = Clock::now();
    EXPECT_EQ(session.Noop(), Outcome::ok);
    EXPECT_GE(ElapsedMs(start), 150);
    EXPECT_EQ(session.line_buffer(), "+OK \r\n");
}

TEST_F(Connection, StopFromAnotherThreadEndsWaitingReadUntilNextConnect) {
    peer.Expect("NOOP\r\n").Send("+OK par");  // a line that never ends
    Connect();
    session.set_read_timeout(0);  // no time limit: only the stop ends the wait
    std::thread stopper([this] {
        std::this_thread::sleep_for(100ms);
        session.RequestStop();
    });
    const auto start = Clock::now();
    EXPECT_EQ(session.Noop(), Outcome::lost);
    const long elapsed = ElapsedMs(start);
    stopper.join();
    EXPECT_GE(elapsed, 90);
    EXPECT_LT(elapsed, 1000);

    q5test::ScriptedPeer next;
    next.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    next.Start();
    ASSERT_TRUE(session.Connect("127.0.0.1", next.port(), 2));
    EXPECT_EQ(session.line_buffer(), kGreeting);  // nothing left of the old connection
    EXPECT_EQ(session.Noop(), Outcome::ok);
    EXPECT_EQ(Joined(next.Finish()), "");
}

// The peer itself must report what a test relies on it to catch.
TEST(ScriptedPeerSelfCheck, ReportsWrongAndUnexpectedBytes) {
    q5test::ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    peer.Start();
    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    ASSERT_TRUE(session.Connect("127.0.0.1", peer.port(), 2));
    EXPECT_EQ(session.Quit(), Outcome::lost);  // the peer hangs up on a deviation
    const std::string deviations = Joined(peer.Finish());
    EXPECT_NE(deviations.find("expected \"NOOP\\r\\n\", received \"Q"), std::string::npos) << deviations;

    q5test::ScriptedPeer quiet;
    quiet.Accept().Send(kGreeting);
    quiet.Start();
    ASSERT_TRUE(session.Connect("127.0.0.1", quiet.port(), 2));
    ASSERT_TRUE(session.WriteRaw("extra", 5));
    std::this_thread::sleep_for(50ms);
    const std::string stray = Joined(quiet.Finish());
    EXPECT_NE(stray.find("unexpected bytes after the script's end: \"extra\""), std::string::npos) << stray;
}

}  // namespace
}  // namespace q5::channel::testing
