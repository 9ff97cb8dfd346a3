// Ending a waiting call of the session object from another thread
// (IQ5CallCancel), against scripted servers that fall silent.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "services_fixture.h"

namespace q5test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class CallCancelTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        ASSERT_EQ(connect_.As(IID_IQ5CallCancel, cancel_), S_OK);
    }

    // Cancels from another thread with `seconds` as soon as a call is in
    // progress (Cancel answers S_FALSE until then) and `ready` holds; the
    // result is the time at which Cancel answered S_OK (nullopt when no call
    // came in 10 s).
    std::future<std::optional<Clock::time_point>> CancelOnceWaiting(ULONG seconds,
                                                                    std::function<bool()> ready = {}) {
        IQ5CallCancel* cancel = cancel_.Get();
        return std::async(std::launch::async, [cancel, seconds, ready]() -> std::optional<Clock::time_point> {
            const auto give_up = Clock::now() + 10s;
            if (ready) {
                while (!ready()) {
                    if (Clock::now() > give_up) return std::nullopt;
                    std::this_thread::sleep_for(5ms);
                }
            }
            while (cancel->Cancel(seconds) != S_OK) {
                if (Clock::now() > give_up) return std::nullopt;
                std::this_thread::sleep_for(5ms);
            }
            return Clock::now();
        });
    }

    // The object keeps no connection: a call fails at once, sending nothing.
    void ExpectNoConnection() {
        EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
        TakeErrorRecord();
    }

    ComPtr<IQ5CallCancel> cancel_;
};

// Each call waits for a server that has stopped answering (read timeout of
// at least 30 s); the cancel ends it with the call's lost-connection result
// while the server still says nothing (its script only waits for the close).
struct WaitingCall {
    const char* name;
    std::string script;  // what the server reads before it falls silent
    std::string sent;    // what it sends before it falls silent
    // Makes the call; `local` is a file path for a transfer.
    std::function<HRESULT(IQ5Connect*, IQ5Util*, const std::string& local)> call;
    std::u16string error;
};

class CancelEndsWaitingCall : public CallCancelTest, public ::testing::WithParamInterface<WaitingCall> {};

TEST_P(CancelEndsWaitingCall, WithConnectionLostAndTheConnectionClosed) {
    const WaitingCall& c = GetParam();
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect(c.script).Send(c.sent).ExpectClosed();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    // Once the server has the command (and so has sent its part): a cancel
    // before would cut the command itself, which the script counts against
    // the client.
    auto cancelled = CancelOnceWaiting(0, [&peer, &c] {
        if (peer.Received().find(c.script) == std::string::npos) return false;
        std::this_thread::sleep_for(100ms);
        return true;
    });
    EXPECT_EQ(c.call(connect_.Get(), util_.Get(), LocalFile("greet.wav")), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, c.error);
    EXPECT_TRUE(cancelled.get());
    EXPECT_EQ(cancel_->TestCancel(), S_FALSE);  // the call is over
    EXPECT_TRUE(peer.Finish().empty());
    ExpectNoConnection();

    // A new connection works as before.
    ScriptedPeer next;
    next.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    next.Start();
    ASSERT_EQ(ConnectTo(next), S_OK);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(next.Finish().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CancelEndsWaitingCall,
    ::testing::Values(
        WaitingCall{"KeepAlive", "NOOP\r\n", "",
                    [](IQ5Connect*, IQ5Util* util, const std::string&) { return util->KeepAlive(); },
                    u"Keepalive failed"},
        WaitingCall{"Login", "USER 100\r\n", "",
                    [](IQ5Connect* connect, IQ5Util*, const std::string&) {
                        return connect->Login(B(u"100").Get(), B(u"1234").Get());
                    },
                    u"Unknown username or password"},
        WaitingCall{"GetFileMidway", "GETFILE 100 greet.wav\r\n", "+OK 10000\r\n" + Pattern(5000),
                    [](IQ5Connect*, IQ5Util* util, const std::string& local) {
                        return util->GetFile(B(u"100").Get(), B(u"greet.wav").Get(), Wide(local).Get());
                    },
                    u"Connection Lost"}),
    [](const ::testing::TestParamInfo<WaitingCall>& param) { return std::string(param.param.name); });

// A loopback listener whose accept queue is full: a further connect is
// never answered.
class FullListener {
public:
    FullListener() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 0);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        ::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~FullListener() {
        ::close(filler_);
        ::close(listener_);
    }
    int port() const { return port_; }

private:
    int listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int filler_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
};

// Timeout 0 as the desktop program's login uses it: nothing but the cancel
// ends the wait for the TCP connect or for the greeting.
TEST_F(CallCancelTest, ConnectIsEndedInTheTcpConnectAndWhileWaitingForTheGreeting) {
    FullListener full;
    ScriptedPeer mute;  // accepts and never greets
    mute.Accept().ExpectClosed();
    mute.Start();
    for (const int port : {full.port(), mute.port()}) {
        SCOPED_TRACE(port);
        // The silent server must see the connection (a cancel before the
        // connect would leave it waiting for one): loopback connects at once.
        auto cancelled = CancelOnceWaiting(0, [greeting = port == mute.port()] {
            if (greeting) std::this_thread::sleep_for(300ms);
            return true;
        });
        EXPECT_EQ(connect_->Connect(B(u"127.0.0.1").Get(), port, 0), E_CONNECTION_LOST);
        EXPECT_EQ(TakeErrorRecord().description, u"Connect Failed");
        EXPECT_TRUE(cancelled.get());
        ExpectNoConnection();
    }
    EXPECT_TRUE(mute.Finish().empty());
}

TEST_F(CallCancelTest, CancelWithoutACallChangesNothing) {
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").Pause(200ms).Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(cancel_->Cancel(0), S_FALSE);
    EXPECT_EQ(cancel_->Cancel(1), S_FALSE);
    EXPECT_EQ(cancel_->TestCancel(), S_FALSE);
    EXPECT_EQ(util_->KeepAlive(), S_OK);  // the stale cancels do not reach it
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(CallCancelTest, DelayedCancelEndsTheCallOnlyOnceItsTimeHasCome) {
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").ExpectClosed();
    peer.set_step_timeout(10s);
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    auto cancelled = CancelOnceWaiting(2);
    EXPECT_EQ(util_->KeepAlive(), E_CONNECTION_LOST);
    const auto returned = Clock::now();
    const std::optional<Clock::time_point> at = cancelled.get();
    ASSERT_TRUE(at);
    EXPECT_GE(returned - *at, 1800ms);
    EXPECT_TRUE(peer.Finish().empty());
    ExpectNoConnection();
}

TEST_F(CallCancelTest, DelayedCancelOfACallThatEndsFirstIsDropped) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("NOOP\r\n")
        .Pause(300ms)
        .Send("+OK\r\n")
        .Expect("NOOP\r\n")
        .Pause(300ms)
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    auto cancelled = CancelOnceWaiting(2);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(cancelled.get());
    // The next call outlives the 2 s only if the request had survived.
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

// TestCancel tells a call (here a progress sink inside GetFile2) whether it
// is being cancelled.
class CancelTestingSink final : public ISupportEvents {
public:
    explicit CancelTestingSink(IQ5CallCancel* cancel) : cancel_(cancel) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISupportEvents)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetStatus(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetProgress(LONG, LONG) override {
        seen.push_back(cancel_->TestCancel());
        if (seen.size() == 1) cancelled = cancel_->Cancel(0);
        return S_OK;
    }
    std::vector<HRESULT> seen;
    HRESULT cancelled = E_UNEXPECTED;

private:
    IQ5CallCancel* cancel_;
};

TEST_F(CallCancelTest, TestCancelTellsTheCallInProgressThatItIsCancelled) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("GETFILE 100 greet.wav\r\n")
        .Send("+OK 20000\r\n" + Pattern(5000))
        .Pause(300ms)
        .Send(Pattern(5000))
        .ExpectClosed();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    CancelTestingSink sink(cancel_.Get());
    EXPECT_EQ(
        util_->GetFile2(B(u"100").Get(), B(u"greet.wav").Get(), Wide(LocalFile("greet.wav")).Get(), &sink),
        E_CONNECTION_LOST);
    EXPECT_EQ(sink.cancelled, S_OK);
    ASSERT_FALSE(sink.seen.empty());
    EXPECT_EQ(sink.seen.front(), S_FALSE);
    EXPECT_EQ(sink.seen.size(), 1u);  // the cancel ends the transfer before its next report
    EXPECT_EQ(cancel_->TestCancel(), S_FALSE);
    EXPECT_TRUE(peer.Finish().empty());
}

}  // namespace
}  // namespace q5test
