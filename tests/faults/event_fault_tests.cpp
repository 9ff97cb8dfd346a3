// Faults in the start of both event logs (greeting, login, event command)
// and in their event streams: a log that cannot start fails with its
// message; a running log delivers exactly the records that arrived whole,
// ends by itself when its connection ends, and ends at once on End.
#include <optional>
#include <thread>

#include "fault_fixture.h"

namespace q5test {
namespace {

using Clock = std::chrono::steady_clock;

// The client's view of one call made to a sink, or of one queued event.
struct Seen {
    LONG number = 0;
    std::u16string a, b, c;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    auto narrow = [](const std::u16string& s) {
        std::string text;
        for (char16_t c : s) text.push_back(static_cast<char>(c));
        return text;
    };
    return out << seen.number << "(" << narrow(seen.a) << "|" << narrow(seen.b) << "|" << narrow(seen.c)
               << ")";
}

// The records in `bytes` as the event reader takes them: each up to and
// including its '.', or 128 bytes when no '.' comes within them. A piece
// at the end that is neither stays unread.
std::vector<std::string> EventRecords(std::string_view bytes) {
    constexpr std::size_t kMax = 128;
    std::vector<std::string> records;
    while (!bytes.empty()) {
        const std::size_t dot = bytes.substr(0, kMax).find('.');
        std::size_t n = 0;
        if (dot != std::string_view::npos) {
            n = dot + 1;
        } else if (bytes.size() >= kMax) {
            n = kMax;
        } else {
            break;
        }
        records.emplace_back(bytes.substr(0, n));
        bytes.remove_prefix(n);
    }
    return records;
}

// The next field: separators before it skipped, up to the next separator.
std::optional<std::string> NextField(std::string_view& rest, std::string_view separators) {
    const std::size_t start = rest.find_first_not_of(separators);
    if (start == std::string_view::npos) {
        rest = {};
        return std::nullopt;
    }
    const std::size_t end = rest.find_first_of(separators, start);
    std::string field(rest.substr(start, end == std::string_view::npos ? end : end - start));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return field;
}

// The sink calls of a status stream: the channel count first (0 when its
// record never arrived whole), then one call per record of four fields with
// channel - 1, mode, status (4th field) and box (3rd field).
std::vector<Seen> StatusCalls(std::string_view stream) {
    const std::vector<std::string> records = EventRecords(stream);
    std::vector<Seen> calls;
    calls.push_back({records.empty() ? 0 : static_cast<LONG>(LeadingNumber(records[0])), u"", u"NUM", u""});
    for (std::size_t i = 1; i < records.size(); ++i) {
        std::string_view rest = records[i];
        const auto channel = NextField(rest, ";.");
        const auto mode = NextField(rest, ";.");
        const auto box = NextField(rest, ";.");
        const auto status = NextField(rest, ";.");
        if (!channel || !mode || !box || !status) continue;
        calls.push_back(
            {static_cast<LONG>(LeadingNumber(*channel) - 1), U16(*mode), U16(*status), U16(*box)});
    }
    return calls;
}

// The events of a Q5 stream: number, two fields ended by ';', and the rest
// up to the '.' as the third.
std::vector<Seen> Q5Events(std::string_view stream) {
    std::vector<Seen> events;
    for (const std::string& record : EventRecords(stream)) {
        std::string_view rest = record;
        const auto id = NextField(rest, ";");
        const auto data1 = NextField(rest, ";");
        const auto data2 = NextField(rest, ";");
        const auto data3 = NextField(rest, ".");
        if (!id || !data1 || !data2 || !data3) continue;
        events.push_back({static_cast<LONG>(LeadingNumber(*id)), U16(*data1), U16(*data2), U16(*data3)});
    }
    return events;
}

// The server's side of a log: greeting, the two login replies, the reply to
// the event command, then the stream.
struct LogExchange {
    Exchange exchange;
    std::vector<std::pair<std::size_t, std::string>> replies;  // where each reply line starts
    std::size_t stream_at = 0;
    std::string stream;
};

LogExchange MakeLog(const std::string& login, const std::string& pass, const std::string& command,
                    const std::string& stream, bool closes) {
    LogExchange log;
    const std::vector<std::string> lines = {kFaultGreeting, "+OK\r\n", "+OK logged in\r\n",
                                            "+OK events follow\r\n"};
    const std::vector<std::string> requests = {login, pass, command};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) log.exchange.Expect(requests[i - 1]);
        log.replies.emplace_back(log.exchange.server_size(), lines[i]);
        log.exchange.Send(lines[i]);
    }
    log.stream_at = log.exchange.server_size();
    log.stream = stream;
    log.exchange.Send(stream);
    if (closes) log.exchange.ThenClose();
    return log;
}

// How the start of a log ends when `fault` hits its greeting or replies:
// the message it fails with (empty: it starts), and whether a reply ended
// early so that the replies after it are read out of step.
struct StartOutcome {
    std::u16string message;
    bool out_of_step = false;
};

StartOutcome ExpectedStart(const LogExchange& log, const Fault& fault) {
    const std::u16string messages[] = {u"Connect failed", u"Login failed", u"Login failed",
                                       u"Server dose not support command"};
    for (std::size_t i = 0; i < log.replies.size(); ++i) {
        const auto& [at, line] = log.replies[i];
        if (!fault.hits(at, at + line.size())) continue;
        if (fault.kind != FaultKind::corrupt) return {messages[i], false};
        const std::size_t position = fault.offset - at;
        // The greeting and the reply to the user name are not examined.
        const Verdict verdict = LineVerdict(position, line.size(), fault.value, i >= 2);
        if (verdict != Verdict::ok) return {messages[i], false};
        return {u"", fault.value == '\n' && position + 1 < line.size()};
    }
    return {};
}

// The stream as the worker receives it.
std::string StreamSeen(const LogExchange& log, const Fault& fault) {
    if (fault.kind == FaultKind::cut || fault.kind == FaultKind::stall) {
        return fault.offset <= log.stream_at ? "" : log.stream.substr(0, fault.offset - log.stream_at);
    }
    return log.exchange.CorruptedBytes(fault).substr(log.stream_at);
}

class EventFaults : public FaultSweep {
protected:
    std::vector<Seen> SinkCalls(const RecordingSink& sink, const char* kind) {
        std::vector<Seen> calls;
        for (const RecordingSink::Call& call : sink.calls()) {
            if (call.kind == kind) calls.push_back({call.number, call.a, call.b, call.c});
        }
        return calls;
    }
    std::vector<Seen> DrainQueue() {
        std::vector<Seen> events;
        for (;;) {
            Seen event;
            BStr d1, d2, d3;
            EXPECT_EQ(events_->GetQ5Event(&event.number, d1.ReleaseAndGetAddressOf(),
                                          d2.ReleaseAndGetAddressOf(), d3.ReleaseAndGetAddressOf()),
                      S_OK);
            if (!d1.Get()) return events;  // an empty queue leaves the outputs alone
            event.a = d1.View();
            event.b = d2.View();
            event.c = d3.View();
            events.push_back(event);
        }
    }
    // Checks how Begin ended; true when the log runs.
    bool CheckStart(HRESULT hr, const StartOutcome& start) {
        const std::u16string message = hr == S_OK ? u"" : TakeMessage();
        if (start.out_of_step) {
            EXPECT_TRUE(hr == S_OK || hr == E_FAIL) << std::hex << hr;
            return false;
        }
        // A server out of reach has a code of its own; refusals are E_FAIL.
        EXPECT_EQ(hr, start.message.empty()                ? S_OK
                      : start.message == u"Connect failed" ? E_CONNECTION_LOST
                                                           : E_FAIL);
        EXPECT_EQ(message, start.message);
        return hr == S_OK;
    }
    // Starts the status log against `log` with `fault` and checks the start,
    // every sink call and the end.
    void StatusCase(const LogExchange& log, const Fault& fault) {
        RecordingSink sink;
        const HRESULT hr = events_->BeginStatusLog(B(u"127.0.0.1").Get(), peer_.port(), kConnectTimeout,
                                                   B(u"admin").Get(), B(u"secret").Get(), &sink);
        const StartOutcome start = ExpectedStart(log, fault);
        const bool running = CheckStart(hr, start);
        if (!running) {
            End(&ICoEvents::EndStatusLog);
            if (!start.out_of_step) {
                EXPECT_TRUE(sink.calls().empty());
            }
            EXPECT_EQ(sink.refs(), 1u);
            return;
        }
        std::vector<Seen> expected = StatusCalls(StreamSeen(log, fault));
        if (fault.kind == FaultKind::stall) {
            // The stream stays open: the whole records arrive, then End
            // stops the wait (a channel count still missing is reported as 0).
            const bool count_arrived = !EventRecords(StreamSeen(log, fault)).empty();
            EXPECT_TRUE(sink.WaitForCalls(expected.size() - (count_arrived ? 0 : 1), kHangGuard));
        } else {
            // The connection ends: so does the worker, by itself.
            EXPECT_TRUE(peer_.WaitClientClosed(kHangGuard)) << "the worker outlived its connection";
        }
        End(&ICoEvents::EndStatusLog);
        EXPECT_EQ(SinkCalls(sink, "status"), expected);
        EXPECT_EQ(sink.refs(), 1u);
    }
    // Ends a log and checks that End came back promptly.
    void End(HRESULT (ICoEvents::*end)()) {
        const auto start = Clock::now();
        EXPECT_EQ((events_.Get()->*end)(), S_OK);
        EXPECT_LT(Clock::now() - start, kHangGuard) << "End hung";
    }
};

// A stream of just the channel count: every fault here hits the start.
TEST_F(EventFaults, BrokenStatusLogStartFailsWithItsMessageAndStartsNoWorker) {
    const LogExchange log = MakeLog("SU admin\r\n", "PASS secret\r\n", "EVENT_STATUS\r\n", "2.", true);
    Sweep("status log start", log.exchange, 0, [&](const Fault& fault) { StatusCase(log, fault); });
}

// Every record is followed by a short pause, so the start is swept above and
// only the stream here.
TEST_F(EventFaults, BrokenStatusStreamDeliversExactlyTheWholeRecordsAndEndsTheWorker) {
    const LogExchange log =
        MakeLog("SU admin\r\n", "PASS secret\r\n", "EVENT_STATUS\r\n", "2.1;IDLE;1;ON.2;RING;2;OFF.", true);
    Sweep("status log stream", log.exchange, log.stream_at,
          [&](const Fault& fault) { StatusCase(log, fault); });
}

TEST_F(EventFaults, BrokenQ5LogWithoutSinkQueuesExactlyTheWholeRecords) {
    const LogExchange log =
        MakeLog("USER 101\r\n", "PASS 1234\r\n", "EVENT_Q5\r\n", "7;abc;def;g;h.12;x;y;z.", true);
    Sweep("Q5 log, queue", log.exchange, 0, [&](const Fault& fault) {
        const HRESULT hr = events_->BeginQ5Log(B(u"127.0.0.1").Get(), peer_.port(), kConnectTimeout,
                                               B(u"101").Get(), B(u"1234").Get(), nullptr);
        const StartOutcome start = ExpectedStart(log, fault);
        if (!CheckStart(hr, start)) {
            End(&ICoEvents::EndQ5Log);
            if (!start.out_of_step) {
                EXPECT_TRUE(DrainQueue().empty());
            }
            DrainQueue();
            return;
        }
        const std::vector<Seen> expected = Q5Events(StreamSeen(log, fault));
        std::vector<Seen> events;
        if (fault.kind == FaultKind::stall) {
            const auto deadline = Clock::now() + kHangGuard;
            while (events.size() < expected.size() && Clock::now() < deadline) {
                for (const Seen& event : DrainQueue()) events.push_back(event);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        } else {
            EXPECT_TRUE(peer_.WaitClientClosed(kHangGuard)) << "the worker outlived its connection";
        }
        End(&ICoEvents::EndQ5Log);
        for (const Seen& event : DrainQueue()) events.push_back(event);
        EXPECT_EQ(events, expected);
    });
}

// With a sink every event is followed by a pause of two seconds, so the case
// does not wait for the worker to end by itself: it waits for the whole
// record and ends the log, which must cut the pause short.
TEST_F(EventFaults, BrokenQ5LogWithSinkDeliversExactlyTheWholeRecordsAndEndsAtOnce) {
    // One event: the pause after it would hold back a second one.
    const LogExchange log = MakeLog("USER 101\r\n", "PASS 1234\r\n", "EVENT_Q5\r\n", "7;abc;def;g;h.", false);
    Sweep("Q5 log, sink", log.exchange, log.stream_at, [&](const Fault& fault) {
        RecordingSink sink;
        ASSERT_EQ(events_->BeginQ5Log(B(u"127.0.0.1").Get(), peer_.port(), kConnectTimeout, B(u"101").Get(),
                                      B(u"1234").Get(), &sink),
                  S_OK);
        const std::vector<Seen> expected = Q5Events(StreamSeen(log, fault));
        EXPECT_TRUE(sink.WaitForCalls(expected.size(), kHangGuard));
        if (fault.kind == FaultKind::cut && expected.empty()) {
            EXPECT_TRUE(peer_.WaitClientClosed(kHangGuard)) << "the worker outlived its connection";
        }
        End(&ICoEvents::EndQ5Log);
        EXPECT_EQ(SinkCalls(sink, "event"), expected);
        EXPECT_EQ(sink.refs(), 1u);
        EXPECT_TRUE(DrainQueue().empty());
    });
}

}  // namespace
}  // namespace q5test
