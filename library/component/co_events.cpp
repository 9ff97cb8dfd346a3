#include "component/co_events.h"

#include <algorithm>
#include <limits>
#include <system_error>
#include <utility>

#include "channel/codepage.h"
#include "component/errors.h"
#include "component/event_records.h"
#include "component/guard.h"
#include "component/strings.h"

namespace q5::component {

using channel::Outcome;
using channel::ServerSession;

namespace {

constexpr std::u16string_view kConnectFailed = u"Connect failed";
constexpr std::u16string_view kLoginFailed = u"Login failed";
constexpr std::u16string_view kNotSupported = u"Server dose not support command";

// Pauses after each sink call.
constexpr std::chrono::milliseconds kStatusPause{50};
constexpr std::chrono::milliseconds kQ5Pause{2000};

// Without a sink, parsed events are handed to the queue in batches (one lock
// per batch), and always before a read that might have to wait.
constexpr std::size_t kBatch = 1024;

BStr Wide(std::string_view wire) {
    BStr text;
    *text.ReleaseAndGetAddressOf() = ToBstr(wire);
    return text;
}

LONG ZeroBased(std::int32_t channel) {
    return channel == std::numeric_limits<std::int32_t>::min() ? channel : channel - 1;
}

}  // namespace

// Ends the Begin in progress on every way out of Begin, also a throw.
class CoEvents::BeginScope {
public:
    BeginScope(CoEvents& events, Log& log) noexcept : events_(events) { events_.StartBegin(log); }
    ~BeginScope() {
        if (open_) events_.EndBegin();
    }
    BeginScope(const BeginScope&) = delete;
    BeginScope& operator=(const BeginScope&) = delete;
    // True when a cancel had taken effect.
    bool End() noexcept {
        open_ = false;
        return events_.EndBegin();
    }

private:
    CoEvents& events_;
    bool open_ = true;
};

CoEvents::~CoEvents() {
    End(status_);
    End(q5_);
}

void* CoEvents::FindInterface(REFIID iid) noexcept {
    if (IsEqualIID(iid, IID_ICoEvents)) return static_cast<ICoEvents*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
    if (IsEqualIID(iid, IID_IQ5CallCancel)) return static_cast<IQ5CallCancel*>(this);
    return nullptr;
}

HRESULT CoEvents::InterfaceSupportsErrorInfo(REFIID riid) {
    return IsEqualIID(riid, IID_ICoEvents) ? S_OK : S_FALSE;
}

// ---- Starting and ending a log ------------------------------------------------------

HRESULT CoEvents::BeginStatusLog(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                 ISupportEvents* p) {
    return Guarded([&] { return Begin(status_, Kind::status, host, port, timeout, user, pass, p); });
}

HRESULT CoEvents::BeginQ5Log(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass, ISupportEvents* p) {
    return Guarded([&] { return Begin(q5_, Kind::q5, host, port, timeout, user, pass, p); });
}

HRESULT CoEvents::EndStatusLog() {
    End(status_);
    return S_OK;
}

HRESULT CoEvents::EndQ5Log() {
    End(q5_);
    return S_OK;
}

HRESULT CoEvents::Begin(Log& log, Kind kind, BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                        ISupportEvents* sink) {
    const bool status = kind == Kind::status;
    if (status && !sink) {
        return Raise(E_INVALIDARG, kSourceCoEvents, u"The status log needs an ISupportEvents sink");
    }
    // Never two workers on one log: while the worker runs there is nothing
    // to do (S_FALSE, nothing sent, no error record). A worker that ended by
    // itself (its connection failed) is collected here.
    if (log.worker.joinable()) {
        bool finished = false;
        {
            std::lock_guard<std::mutex> guard(log.lock);
            finished = log.finished;
        }
        if (!finished) return S_FALSE;
        log.worker.join();
    }

    ServerSession& session = log.session;
    WireArg h(host), u(user), pw(pass);
    BeginScope scope(*this, log);
    // A port outside the TCP range would be cut to another port silently.
    // Open, not Connect: a cancel that came since the Begin started must
    // stay in force.
    const bool connected = port >= 1 && port <= 65535 && !h.str().empty() &&
                           session.Open(h.c_str(), static_cast<int>(port), std::max<LONG>(timeout, 0));
    if (!connected) {
        // A server out of reach has its own code, so that callers can tell
        // it (and try again later) from one that refuses; a host string, a
        // TLS handshake or a certificate that is refused stays a refusal.
        const bool cancelled = scope.End();
        const HRESULT code = cancelled || session.connect_problem().empty() ? E_CONNECTION_LOST : E_FAIL;
        const HRESULT hr = RaiseConnectFailed(code, kSourceCoEvents, kConnectFailed, session);
        session.Close();
        return hr;
    }
    Outcome outcome = status ? session.SuLogin(u.c_str(), pw.c_str()) : session.Login(u.c_str(), pw.c_str());
    if (outcome != Outcome::ok) {
        const bool cancelled = scope.End();
        const HRESULT hr = cancelled ? Raise(E_CONNECTION_LOST, kSourceCoEvents, kLoginFailed)
                           : outcome == Outcome::bad_argument
                               ? FailCommand(session, outcome, kSourceCoEvents, kLoginFailed)
                               : Raise(E_FAIL, kSourceCoEvents, kLoginFailed);
        session.Close();
        return hr;
    }
    outcome = status ? session.EventStatus() : session.EventQ5();
    if (outcome != Outcome::ok) {
        const bool cancelled = scope.End();
        session.Close();
        return Raise(cancelled ? E_CONNECTION_LOST : E_FAIL, kSourceCoEvents, kNotSupported);
    }
    // A cancel that came after the last wait still ends the Begin: the
    // caller asked for no log.
    if (scope.End()) {
        session.Close();
        return Raise(E_CONNECTION_LOST, kSourceCoEvents, kConnectFailed);
    }

    // The stream may stay silent for any time; End stops the worker.
    session.set_read_timeout(0);
    {
        std::lock_guard<std::mutex> guard(log.lock);
        log.running = true;
        log.finished = false;
    }
    // The worker owns this reference and releases it when it ends.
    if (sink) sink->AddRef();
    try {
        if (status) {
            log.worker = std::thread([this, sink] { StatusWorker(sink); });
        } else {
            log.worker = std::thread([this, sink] { Q5Worker(sink); });
        }
    } catch (const std::system_error&) {
        if (sink) sink->Release();
        {
            std::lock_guard<std::mutex> guard(log.lock);
            log.running = false;
            log.finished = true;
        }
        session.Close();
        return Raise(E_FAIL, kSourceCoEvents, u"No thread for the event log");
    }
    return S_OK;
}

void CoEvents::StartBegin(Log& log) noexcept {
    std::lock_guard<std::mutex> guard(cancel_lock_);
    beginning_ = &log;
    cancelled_ = false;
    log.session.ClearStop();
}

bool CoEvents::EndBegin() noexcept {
    std::lock_guard<std::mutex> guard(cancel_lock_);
    if (!beginning_) return false;
    // A stop asked for later than now has not taken effect: it ends here
    // and never reaches the worker.
    const bool stopped = beginning_->session.stop_requested();
    beginning_->session.ClearStop();
    beginning_ = nullptr;
    cancelled_ = false;
    return stopped;
}

HRESULT CoEvents::Cancel(ULONG ulSeconds) {
    std::lock_guard<std::mutex> guard(cancel_lock_);
    if (!beginning_) return S_FALSE;
    cancelled_ = true;
    if (ulSeconds == 0) {
        beginning_->session.RequestStop();
    } else {
        beginning_->session.RequestStopAfter(std::chrono::seconds(ulSeconds));
    }
    return S_OK;
}

HRESULT CoEvents::TestCancel() {
    std::lock_guard<std::mutex> guard(cancel_lock_);
    return beginning_ && cancelled_ ? S_OK : S_FALSE;
}

void CoEvents::End(Log& log) noexcept {
    {
        std::lock_guard<std::mutex> guard(log.lock);
        log.running = false;
        log.session.RequestStop();
    }
    log.wake.notify_all();
    if (!log.worker.joinable()) return;
    if (log.worker.get_id() == std::this_thread::get_id()) {
        // Called from a sink on the worker itself: it ends on its own once
        // the sink call returns.
        log.worker.detach();
        return;
    }
    log.worker.join();
}

bool CoEvents::Running(Log& log) {
    std::lock_guard<std::mutex> guard(log.lock);
    return log.running;
}

bool CoEvents::Pause(Log& log, std::chrono::milliseconds pause) {
    std::unique_lock<std::mutex> guard(log.lock);
    return !log.wake.wait_for(guard, pause, [&] { return !log.running; });
}

void CoEvents::Finish(Log& log) noexcept {
    log.session.Close();
    std::lock_guard<std::mutex> guard(log.lock);
    log.finished = true;
}

// ---- Workers ------------------------------------------------------------------------------

void CoEvents::StatusWorker(ISupportEvents* raw) {
    ComPtr<ISupportEvents> sink;
    sink.Attach(raw);
    ServerSession& session = status_.session;
    try {
        // The channel count comes first; a failed read reports 0, and the
        // next read ends the worker.
        const auto count = static_cast<LONG>(session.ReadNumber());
        {
            BStr empty = Wide(""), num = Wide("NUM"), none = Wide("");
            sink->GetStatus(count, empty.Get(), num.Get(), none.Get());
        }
        std::string record;
        while (Running(status_) && session.ReadRecord(record)) {
            const std::optional<StatusRecord> parsed = ParseStatusRecord(record);
            if (!parsed) continue;
            BStr mode = Wide(parsed->mode), state = Wide(parsed->status), box = Wide(parsed->box);
            sink->GetStatus(ZeroBased(parsed->channel), mode.Get(), state.Get(), box.Get());
            if (!Pause(status_, kStatusPause)) break;
        }
    } catch (...) {
        // Out of memory or a throwing sink ends the log like a lost connection.
    }
    Finish(status_);
}

void CoEvents::Q5Worker(ISupportEvents* raw) {
    ComPtr<ISupportEvents> sink;
    sink.Attach(raw);
    ServerSession& session = q5_.session;
    std::vector<EventQueue::Event> batch;
    try {
        std::string record;
        while (Running(q5_) && session.ReadRecord(record)) {
            if (const std::optional<Q5Record> parsed = ParseQ5Record(record)) {
                if (sink) {
                    BStr d1 = Wide(parsed->data1), d2 = Wide(parsed->data2), d3 = Wide(parsed->data3);
                    sink->GetQ5Event(parsed->id, d1.Get(), d2.Get(), d3.Get());
                    if (!Pause(q5_, kQ5Pause)) break;
                    continue;
                }
                batch.push_back(EventQueue::Event{parsed->id, std::string(parsed->data1),
                                                  std::string(parsed->data2), std::string(parsed->data3)});
            }
            // Fewer buffered bytes than a record may hold: the next read may
            // wait, so what was read goes to the queue first.
            if (!batch.empty() &&
                (session.buffered() < ServerSession::kMaxEventRecord || batch.size() >= kBatch)) {
                queue_.Push(batch);
            }
        }
    } catch (...) {
        // Out of memory or a throwing sink ends the log like a lost connection.
    }
    try {
        queue_.Push(batch);
    } catch (...) {
    }
    Finish(q5_);
}

// ---- Polling the queue ----------------------------------------------------------------

HRESULT CoEvents::GetQ5Event(LONG* id, BSTR* data1, BSTR* data2, BSTR* data3) {
    if (!id) return E_POINTER;
    *id = 0;
    return Guarded([&] {
        std::optional<EventQueue::Event> taken = queue_.Pop();
        if (!taken) return S_OK;
        EventQueue::Event& event = *taken;
        BStr d1, d2, d3;
        try {
            if (data1) d1 = Wide(event.data1);
            if (data2) d2 = Wide(event.data2);
            if (data3) d3 = Wide(event.data3);
        } catch (...) {
            // Keep the event for the next poll.
            queue_.PutBack(std::move(event));
            throw;
        }
        if ((data1 && !d1.Get()) || (data2 && !d2.Get()) || (data3 && !d3.Get())) {
            queue_.PutBack(std::move(event));
            return E_OUTOFMEMORY;
        }
        *id = event.id;
        if (data1) *data1 = d1.Detach();
        if (data2) *data2 = d2.Detach();
        if (data3) *data3 = d3.Detach();
        return S_OK;
    });
}

}  // namespace q5::component
