// Stop requests from another thread: every stage of opening a connection
// gives up, the name lookup included, and a stop for a later time waits for
// that time.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "session_fixture.h"

namespace q5::channel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// A name lookup that hangs until released, shared with the lookup's helper
// thread (which may outlive the test's session).
struct HangingLookup {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    bool answered = false;

    SocketIo::Resolver Resolver(std::shared_ptr<HangingLookup> self) {
        return [self](const std::string&, std::uint32_t& address) {
            std::unique_lock<std::mutex> lock(self->mutex);
            self->entered = true;
            self->changed.notify_all();
            self->changed.wait(lock, [&] { return self->released; });
            address = htonl(INADDR_LOOPBACK);
            self->answered = true;
            self->changed.notify_all();
            return true;
        };
    }
    bool WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return entered; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }
    bool WaitAnswered() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return answered; });
    }
};

// A loopback listener whose accept queue is full, so that a further connect
// is never answered.
struct FullListener {
    int listener = -1;
    int filler = -1;
    int port = 0;
    FullListener() {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener, 0);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        filler = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~FullListener() {
        ::close(filler);
        ::close(listener);
    }
};

enum class Stage { lookup, tcp_connect, greeting };

class StopWhileOpening : public ::testing::TestWithParam<Stage> {};

// Open without a connect timeout, so that only the stop ends it; whatever
// stage it waits in when the stop comes, it fails and leaves no connection.
TEST_P(StopWhileOpening, EndsTheOpenAtThatStage) {
    auto lookup = std::make_shared<HangingLookup>();
    q5test::ScriptedPeer silent;  // accepts and never greets
    if (GetParam() == Stage::greeting) silent.Accept().ExpectClosed();
    silent.Start();
    FullListener full;

    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    session.set_read_timeout(0);
    const char* host = "127.0.0.1";
    int port = silent.port();
    if (GetParam() == Stage::lookup) {
        session.set_resolver(lookup->Resolver(lookup));
        host = "q5server.invalid";
    } else if (GetParam() == Stage::tcp_connect) {
        port = full.port;
    }
    auto opened = std::async(std::launch::async, [&] { return session.Open(host, port, 0); });
    if (GetParam() == Stage::lookup) {
        ASSERT_TRUE(lookup->WaitEntered());
    } else {
        std::this_thread::sleep_for(100ms);  // into the connect or the read
    }
    session.RequestStop();
    const bool ended = opened.wait_for(5s) == std::future_status::ready;
    lookup->Release();  // a lookup still hanging must not keep the test
    ASSERT_TRUE(ended);
    EXPECT_FALSE(opened.get());
    EXPECT_FALSE(session.connected());
    // The helper's late answer goes nowhere, not into the ended session.
    if (GetParam() == Stage::lookup) {
        EXPECT_TRUE(lookup->WaitAnswered());
    }
    EXPECT_EQ(Joined(silent.Finish()), "");
}

INSTANTIATE_TEST_SUITE_P(Stages, StopWhileOpening,
                         ::testing::Values(Stage::lookup, Stage::tcp_connect, Stage::greeting));

TEST(StopBeforeOpening, OpenKeepsAnEarlierStopConnectClearsIt) {
    q5test::ScriptedPeer peer;
    peer.Accept().Send(kGreeting);
    peer.Start();
    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    session.RequestStop();
    EXPECT_FALSE(session.Open("127.0.0.1", peer.port(), 2));
    EXPECT_TRUE(session.stop_requested());
    EXPECT_TRUE(session.Connect("127.0.0.1", peer.port(), 2));
    EXPECT_EQ(Joined(peer.Finish()), "");
}

TEST(StopBeforeOpening, LookedUpNameConnects) {
    q5test::ScriptedPeer peer;
    peer.Accept().Send(kGreeting);
    peer.Start();
    ServerSession session;
    session.set_poll_step_ms(kPollStepMs);
    session.set_resolver([](const std::string& host, std::uint32_t& address) {
        address = htonl(INADDR_LOOPBACK);
        return host == "q5server.example";
    });
    EXPECT_FALSE(session.Connect("other.example", peer.port(), 2));
    EXPECT_TRUE(session.Connect("q5server.example", peer.port(), 2));
    EXPECT_EQ(Joined(peer.Finish()), "");
}

using StopLater = SessionTest;

// One-second poll steps: the stop comes at its time, not at the next step
// and not at once.
TEST_F(StopLater, EndsTheWaitAtItsTime) {
    peer.Expect("NOOP\r\n").ExpectClosed();
    Connect();
    session.set_poll_step_ms(1000);
    session.set_read_timeout(0);
    session.RequestStopAfter(300ms);
    EXPECT_FALSE(session.stop_requested());
    const auto start = Clock::now();
    EXPECT_EQ(session.Noop(), Outcome::lost);
    const long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 250);
    EXPECT_LT(elapsed, 950);
    EXPECT_TRUE(session.stop_requested());
}

TEST_F(StopLater, AnEarlierStopStaysInForce) {
    peer.ExpectClosed();  // nothing is sent
    Connect();
    session.set_read_timeout(0);
    session.RequestStop();
    session.RequestStopAfter(10s);
    EXPECT_TRUE(session.stop_requested());
    EXPECT_EQ(session.Noop(), Outcome::lost);
}

}  // namespace
}  // namespace q5::channel::testing
