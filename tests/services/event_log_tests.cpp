// CoEvents: starting, running, ending and restarting the status log and the
// Q5 event log against scripted servers; the record rules of both streams;
// the queue; sinks called from the workers.
#include <functional>
#include <future>
#include <thread>

#include "services_fixture.h"

namespace q5test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Event {
    LONG id = 0;
    std::u16string d1, d2, d3;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
    auto narrow = [](const std::u16string& s) { return std::string(s.begin(), s.end()); };
    return out << e.id << "(" << narrow(e.d1) << "|" << narrow(e.d2) << "|" << narrow(e.d3) << ")";
}

// The server side of a log's start: greeting, login, the event command.
ScriptedPeer& StartOfQ5Log(ScriptedPeer& peer) {
    return peer.Accept()
        .Send(kGreeting)
        .Expect("USER 100\r\n")
        .Send("+OK\r\n")
        .Expect("PASS 1234\r\n")
        .Send("+OK\r\n")
        .Expect("EVENT_Q5\r\n")
        .Send("+OK events follow\r\n");
}

ScriptedPeer& StartOfStatusLog(ScriptedPeer& peer) {
    return peer.Accept()
        .Send(kGreeting)
        .Expect("SU admin\r\n")
        .Send("+OK\r\n")
        .Expect("PASS secret\r\n")
        .Send("+OK\r\n")
        .Expect("EVENT_STATUS\r\n")
        .Send("+OK\r\n");
}

class EventLogTest : public RegisteredLibrary {
protected:
    void SetUp() override {
        RegisteredLibrary::SetUp();
        ASSERT_EQ(
            CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events_.AsOut()),
            S_OK);
        TakeErrorRecord();
    }
    void TearDown() override {
        events_.Reset();
        RegisteredLibrary::TearDown();
    }
    HRESULT BeginQ5(const ScriptedPeer& peer, ISupportEvents* sink = nullptr) {
        return events_->BeginQ5Log(B(u"127.0.0.1").Get(), peer.port(), 5, B(u"100").Get(), B(u"1234").Get(),
                                   sink);
    }
    HRESULT BeginStatus(const ScriptedPeer& peer, ISupportEvents* sink) {
        return events_->BeginStatusLog(B(u"127.0.0.1").Get(), peer.port(), 5, B(u"admin").Get(),
                                       B(u"secret").Get(), sink);
    }
    Event Poll() {
        Event e;
        BStr d1, d2, d3;
        EXPECT_EQ(events_->GetQ5Event(&e.id, d1.ReleaseAndGetAddressOf(), d2.ReleaseAndGetAddressOf(),
                                      d3.ReleaseAndGetAddressOf()),
                  S_OK);
        e.d1 = d1.View();
        e.d2 = d2.View();
        e.d3 = d3.View();
        return e;
    }
    // Polls until `n` events arrived (at most a few seconds).
    std::vector<Event> PollEvents(std::size_t n) {
        std::vector<Event> got;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (got.size() < n && Clock::now() < deadline) {
            Event e = Poll();
            if (e.id != 0) {
                got.push_back(e);
            } else {
                std::this_thread::sleep_for(milliseconds(5));
            }
        }
        return got;
    }
    static long MillisSince(Clock::time_point start) {
        return static_cast<long>(std::chrono::duration_cast<milliseconds>(Clock::now() - start).count());
    }
    void ExpectError(const char16_t* message) {
        ErrorRecord error = TakeErrorRecord();
        EXPECT_TRUE(error.present);
        EXPECT_EQ(error.description, message);
        EXPECT_EQ(error.source, u"Q5Client.CoEvents.1");
    }

    ComPtr<ICoEvents> events_;
};

// ---- Record rules ------------------------------------------------------------------

TEST_F(EventLogTest, StatusLogReportsTheCountThenRecordsWithBoxAndStatusSwapped) {
    ScriptedPeer peer;
    StartOfStatusLog(peer)
        .Send("24.")
        .Send("3;IDLE;105;ON.")
        .Send("3;;105;ON.")  // an empty field disappears: three fields, ignored
        .Send("\r\n4;RING;106;OFF.")
        .CloseConnection();
    peer.Start();
    RecordingSink sink;
    ASSERT_EQ(BeginStatus(peer, &sink), S_OK);
    ASSERT_TRUE(sink.WaitForCalls(3));
    EXPECT_EQ(events_->EndStatusLog(), S_OK);
    const auto calls = sink.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].number, 24);
    EXPECT_EQ(calls[0].a, u"");
    EXPECT_EQ(calls[0].b, u"NUM");
    EXPECT_EQ(calls[0].c, u"");
    // (chan - 1, mode, status = fourth field, box = third field)
    EXPECT_EQ(calls[1].number, 2);
    EXPECT_EQ(calls[1].a, u"IDLE");
    EXPECT_EQ(calls[1].b, u"ON");
    EXPECT_EQ(calls[1].c, u"105");
    EXPECT_EQ(calls[2].number, 3);
    EXPECT_EQ(calls[2].a, u"RING");
    EXPECT_EQ(calls[2].b, u"OFF");
    EXPECT_EQ(calls[2].c, u"106");
    for (const auto& call : calls) EXPECT_GT(call.refs, 1u) << "the worker calls a sink it holds";
    EXPECT_EQ(sink.refs(), 1u) << "the worker released the sink";
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(EventLogTest, Q5RecordsKeepSemicolonsInTheLastFieldAndQueueInArrivalOrder) {
    ScriptedPeer peer;
    StartOfQ5Log(peer)
        .Send("7;abc;def;g;h.")
        .Send("8;x;;y;z.")  // runs of ';' between the first fields count as one
        .Send("9;only.")    // missing fields: ignored
        .Send("\r\n10;a;b;c.")
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(BeginQ5(peer), S_OK);
    const std::vector<Event> got = PollEvents(3);
    EXPECT_EQ(got, (std::vector<Event>{
                       {7, u"abc", u"def", u"g;h"}, {8, u"x", u"y", u"z"}, {10, u"a", u"b", u"c"}}));
    EXPECT_EQ(Poll().id, 0) << "an empty queue reads as event 0";
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(EventLogTest, TwoEventsThenThreePollsGiveBothInOrderThenZeroWithOutputsUntouched) {
    ScriptedPeer peer;
    StartOfQ5Log(peer).Send("1;a;b;c.2;d;e;f.").CloseConnection();
    peer.Start();
    ASSERT_EQ(BeginQ5(peer), S_OK);
    ASSERT_EQ(PollEvents(1), (std::vector<Event>{{1, u"a", u"b", u"c"}}));
    // Data outputs may be null; the event is taken all the same. The worker
    // may queue the second event a moment after the first, so poll for it.
    LONG id = 0;
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); id == 0 && Clock::now() < deadline;) {
        ASSERT_EQ(events_->GetQ5Event(&id, nullptr, nullptr, nullptr), S_OK);
        if (id == 0) std::this_thread::sleep_for(milliseconds(5));
    }
    EXPECT_EQ(id, 2);
    BSTR untouched = reinterpret_cast<BSTR>(0x1);
    id = -1;
    EXPECT_EQ(events_->GetQ5Event(&id, &untouched, nullptr, nullptr), S_OK);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(untouched, reinterpret_cast<BSTR>(0x1));
    EXPECT_EQ(events_->GetQ5Event(nullptr, nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(EventLogTest, EventsQueuedBeforeEndStayUntilPolled) {
    ScriptedPeer peer;
    // The worker hands a batch to the queue once fewer bytes than a whole
    // record stay buffered; two long records behind the first two make it
    // queue events 1 to 3 at once, so event 2 is queued before End.
    const std::string long_record = "3;g;h;" + std::string(100, 'i') + ".";
    StartOfQ5Log(peer).Send("1;a;b;c.2;d;e;f." + long_record + long_record).ExpectClosed();
    peer.Start();
    ASSERT_EQ(BeginQ5(peer), S_OK);
    ASSERT_EQ(PollEvents(1).size(), 1u);
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_EQ(Poll(), (Event{2, u"d", u"e", u"f"}));
    EXPECT_TRUE(peer.Finish().empty());
}

// ---- Ending -------------------------------------------------------------------------

TEST_F(EventLogTest, EndReturnsWithinAboutASecondOfASilentServer) {
    ScriptedPeer q5_peer, status_peer;
    StartOfQ5Log(q5_peer).ExpectClosed();
    StartOfStatusLog(status_peer).ExpectClosed();
    q5_peer.Start();
    status_peer.Start();
    RecordingSink sink;
    ASSERT_EQ(BeginQ5(q5_peer), S_OK);
    ASSERT_EQ(BeginStatus(status_peer, &sink), S_OK);
    std::this_thread::sleep_for(milliseconds(50));  // let both workers wait
    auto start = Clock::now();
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_LT(MillisSince(start), 1500);
    start = Clock::now();
    EXPECT_EQ(events_->EndStatusLog(), S_OK);
    EXPECT_LT(MillisSince(start), 1500);
    EXPECT_TRUE(q5_peer.Finish().empty());
    EXPECT_TRUE(status_peer.Finish().empty());
    EXPECT_EQ(sink.refs(), 1u);
}

TEST_F(EventLogTest, EndInterruptsThePauseAfterASinkCall) {
    ScriptedPeer peer;
    StartOfQ5Log(peer).Send("5;a;b;c.6;d;e;f.").ExpectClosed();
    peer.Start();
    RecordingSink sink;
    ASSERT_EQ(BeginQ5(peer, &sink), S_OK);
    ASSERT_TRUE(sink.WaitForCalls(1));
    const auto start = Clock::now();
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_LT(MillisSince(start), 1500) << "the two-second pause must give way to End";
    const auto calls = sink.calls();
    ASSERT_EQ(calls.size(), 1u) << "the second event waits out the pause";
    EXPECT_EQ(calls[0].number, 5);
    EXPECT_EQ(calls[0].c, u"c");
    EXPECT_EQ(Poll().id, 0) << "with a sink nothing is queued";
    EXPECT_EQ(sink.refs(), 1u);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(EventLogTest, EndWithoutARunningLogReturnsAtOnce) {
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_EQ(events_->EndStatusLog(), S_OK);
}

// ---- Starting, restarting, refusing -------------------------------------------------------

TEST_F(EventLogTest, LogStartsAgainAfterEndOnANewConnection) {
    ScriptedPeer peer;
    StartOfQ5Log(peer).Send("1;a;b;c.").ExpectClosed();
    StartOfQ5Log(peer).Send("2;d;e;f.").CloseConnection();
    peer.Start();
    ASSERT_EQ(BeginQ5(peer), S_OK);
    EXPECT_EQ(PollEvents(1), (std::vector<Event>{{1, u"a", u"b", u"c"}}));
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    ASSERT_EQ(BeginQ5(peer), S_OK);
    EXPECT_EQ(PollEvents(1), (std::vector<Event>{{2, u"d", u"e", u"f"}}));
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

// A start of a log whose worker still runs has nothing to do: S_FALSE, no
// error record, no new connection, for either log.
TEST_F(EventLogTest, SecondBeginWhileTheLogRunsIsSFalseWithoutConnectingOrAnErrorRecord) {
    ScriptedPeer q5_peer, status_peer;
    StartOfQ5Log(q5_peer).ExpectClosed();
    StartOfStatusLog(status_peer).Send("2.").ExpectClosed();
    q5_peer.Start();
    status_peer.Start();
    RecordingSink sink;
    ASSERT_EQ(BeginQ5(q5_peer), S_OK);
    ASSERT_EQ(BeginStatus(status_peer, &sink), S_OK);
    EXPECT_EQ(BeginQ5(q5_peer), S_FALSE);
    EXPECT_EQ(BeginStatus(status_peer, &sink), S_FALSE);
    EXPECT_FALSE(TakeErrorRecord().present);
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_EQ(events_->EndStatusLog(), S_OK);
    EXPECT_TRUE(q5_peer.Finish().empty());
    EXPECT_TRUE(status_peer.Finish().empty());
}

// A server that sends faster than the caller polls: the queue keeps the
// newest kQ5EventQueueLimit events and drops the older ones, in order.
TEST_F(EventLogTest, FloodBeyondTheQueueLimitKeepsOnlyTheNewestEvents) {
    const long extra = 3;
    const long total = kQ5EventQueueLimit + extra;
    std::string flood;
    for (long id = 1; id <= total; ++id) flood += std::to_string(id) + ";k;n;x.";
    ScriptedPeer peer;
    StartOfQ5Log(peer).Send(flood).CloseConnection();
    // A start answers S_FALSE until the worker has read everything and seen
    // the close; then it opens this second connection.
    StartOfQ5Log(peer).ExpectClosed();
    peer.Start();
    ASSERT_EQ(BeginQ5(peer), S_OK);
    HRESULT hr = S_FALSE;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while ((hr = BeginQ5(peer)) == S_FALSE && Clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    ASSERT_EQ(hr, S_OK) << "the worker never finished reading the flood";
    long polled = 0, out_of_order = 0;
    for (Event e = Poll(); e.id != 0; e = Poll()) {
        if (e.id != extra + 1 + polled || e.d3 != u"x") ++out_of_order;
        ++polled;
    }
    EXPECT_EQ(polled, kQ5EventQueueLimit);
    EXPECT_EQ(out_of_order, 0);
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

// The worker ends by itself when the server closes: the log can be started
// again without End, and End afterwards has nothing to wait for.
TEST_F(EventLogTest, WorkerEndsByItselfWhenTheServerCloses) {
    ScriptedPeer peer;
    StartOfQ5Log(peer).Send("1;a;b;c.").CloseConnection();
    StartOfQ5Log(peer).Send("2;d;e;f.").CloseConnection();
    peer.Start();
    ASSERT_EQ(BeginQ5(peer), S_OK);
    ASSERT_EQ(PollEvents(1).size(), 1u);
    HRESULT hr = S_FALSE;
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while ((hr = BeginQ5(peer)) == S_FALSE && Clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    ASSERT_EQ(hr, S_OK) << "the worker of the closed connection never ended";
    EXPECT_EQ(PollEvents(1), (std::vector<Event>{{2, u"d", u"e", u"f"}}));
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(EventLogTest, RefusedStartsRaiseTheirMessageAndCloseTheConnection) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("SU admin\r\n")
        .Send("+OK\r\n")
        .Expect("PASS secret\r\n")
        .Send("+OK\r\n")
        .Expect("EVENT_STATUS\r\n")
        .Send("-ERR unknown command\r\n")
        .ExpectClosed();
    peer.Accept()
        .Send(kGreeting)
        .Expect("USER 100\r\n")
        .Send("+OK\r\n")
        .Expect("PASS 1234\r\n")
        .Send("-ERR wrong password\r\n")
        .ExpectClosed();
    peer.Start();
    RecordingSink sink;
    EXPECT_EQ(BeginStatus(peer, &sink), E_FAIL);
    ExpectError(u"Server dose not support command");
    EXPECT_EQ(BeginQ5(peer), E_FAIL);
    ExpectError(u"Login failed");
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_TRUE(sink.calls().empty());
    EXPECT_EQ(sink.refs(), 1u);

    EXPECT_EQ(
        events_->BeginQ5Log(B(u"127.0.0.1").Get(), ClosedPort(), 1, B(u"1").Get(), B(u"1").Get(), nullptr),
        E_CONNECTION_LOST);
    ExpectError(u"Connect failed");
}

TEST_F(EventLogTest, StatusLogWithoutSinkIsRefusedBeforeConnecting) {
    ScriptedPeer peer;
    peer.Start();
    EXPECT_EQ(BeginStatus(peer, nullptr), E_INVALIDARG);
    EXPECT_TRUE(TakeErrorRecord().present);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "");
}

// ---- Lifetime ---------------------------------------------------------------------------

TEST_F(EventLogTest, DestroyingTheObjectEndsRunningLogsAndReleasesTheSink) {
    ScriptedPeer q5_peer, status_peer;
    StartOfQ5Log(q5_peer).ExpectClosed();
    StartOfStatusLog(status_peer).Send("2.").ExpectClosed();
    q5_peer.Start();
    status_peer.Start();
    RecordingSink sink;
    ASSERT_EQ(BeginQ5(q5_peer, &sink), S_OK);
    ASSERT_EQ(BeginStatus(status_peer, &sink), S_OK);
    ASSERT_TRUE(sink.WaitForCalls(1));
    events_.Reset();  // the last reference: both workers must be joined
    EXPECT_EQ(sink.refs(), 1u);
    EXPECT_TRUE(q5_peer.Finish().empty());
    EXPECT_TRUE(status_peer.Finish().empty());
}

// ---- Ending a start that waits (IQ5CallCancel) ---------------------------------------------

// A start that waits for a server fallen silent at `step`; the cancel ends it
// with a lost connection and the step's message, long before the read time
// limit (30 s), and leaves nothing behind for the next start.
struct StalledStart {
    const char* step;
    std::function<void(ScriptedPeer&)> script;  // up to the silence
    std::string waited_for;                     // what the server has received when it falls silent
    std::u16string error;
};

void PrintTo(const StalledStart& s, std::ostream* out) {
    *out << s.step;
}

class CancelEndsStalledStart : public EventLogTest, public ::testing::WithParamInterface<StalledStart> {};

TEST_P(CancelEndsStalledStart, WithConnectionLostItsMessageAndNoLogLeft) {
    const StalledStart& s = GetParam();
    ScriptedPeer peer;
    s.script(peer);
    peer.ExpectClosed();
    StartOfQ5Log(peer).Send("7;a;b;c.").ExpectClosed();
    peer.Start();
    ComPtr<IQ5CallCancel> cancel;
    ASSERT_EQ(events_.As(IID_IQ5CallCancel, cancel), S_OK);
    EXPECT_EQ(cancel->Cancel(0), S_FALSE);  // no start in progress: nothing to end
    EXPECT_EQ(cancel->TestCancel(), S_FALSE);
    auto cancelled = std::async(std::launch::async, [&peer, &s, c = cancel.Get()] {
        const auto give_up = Clock::now() + std::chrono::seconds(10);
        // Once the server has what it waits on (a cancel sooner would cut
        // the client's own line short).
        while (peer.Received() != s.waited_for && Clock::now() < give_up)
            std::this_thread::sleep_for(milliseconds(5));
        std::this_thread::sleep_for(milliseconds(200));
        HRESULT hr = S_FALSE, tested = S_FALSE;
        while ((hr = c->Cancel(0)) != S_OK && Clock::now() < give_up)
            std::this_thread::sleep_for(milliseconds(5));
        tested = c->TestCancel();
        return std::make_pair(hr, tested);
    });
    EXPECT_EQ(BeginQ5(peer), E_CONNECTION_LOST);
    ExpectError(s.error.c_str());
    EXPECT_EQ(cancelled.get(), std::make_pair(S_OK, S_OK));
    EXPECT_EQ(cancel->TestCancel(), S_FALSE);  // the start is over

    // The next start runs its log, and a cancel leaves a running log alone.
    ASSERT_EQ(BeginQ5(peer), S_OK);
    EXPECT_EQ(cancel->Cancel(0), S_FALSE);
    EXPECT_EQ(PollEvents(1), (std::vector<Event>{{7, u"a", u"b", u"c"}}));
    EXPECT_EQ(BeginQ5(peer), S_FALSE) << "the log still runs";
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CancelEndsStalledStart,
    ::testing::Values(StalledStart{"Greeting", [](ScriptedPeer& p) { p.Accept(); }, "", u"Connect failed"},
                      StalledStart{"Login",
                                   [](ScriptedPeer& p) { p.Accept().Send(kGreeting).Expect("USER 100\r\n"); },
                                   "USER 100\r\n", u"Login failed"},
                      StalledStart{"EventCommand",
                                   [](ScriptedPeer& p) {
                                       p.Accept()
                                           .Send(kGreeting)
                                           .Expect("USER 100\r\n")
                                           .Send("+OK\r\n")
                                           .Expect("PASS 1234\r\n")
                                           .Send("+OK\r\n")
                                           .Expect("EVENT_Q5\r\n");
                                   },
                                   "USER 100\r\nPASS 1234\r\nEVENT_Q5\r\n",
                                   u"Server dose not support command"}),
    [](const ::testing::TestParamInfo<StalledStart>& param) { return std::string(param.param.step); });

}  // namespace
}  // namespace q5test
