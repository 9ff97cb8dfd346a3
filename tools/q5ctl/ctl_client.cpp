#include "ctl_client.h"

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <mutex>
#include <ostream>
#include <thread>

#include "ctl_text.h"

namespace q5ctl {

namespace {

// Set from a signal handler: lock-free, so safe there, and read by the
// watcher thread too.
std::atomic<bool> stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// How often the watcher looks for a stop request.
constexpr std::chrono::milliseconds kWatchStep{50};

// The thread's error record's description, line end removed; empty when
// there is none.
std::string TakeErrorText() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return {};
    BStr description;
    if (FAILED(info->GetDescription(description.ReleaseAndGetAddressOf()))) return {};
    return TrimEnd(ToUtf8(description.View()));
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// A sink with a reference count of its own, as the library expects.
class SinkBase : public ISupportEvents {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISupportEvents) {
            *ppv = static_cast<ISupportEvents*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetStatus(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetProgress(LONG, LONG) override { return S_OK; }

protected:
    virtual ~SinkBase() = default;

private:
    std::atomic<ULONG> refs_{1};
};

// Draws "[#####-----]  50%  524288/1048576" on a terminal.
class ProgressBar final : public SinkBase {
public:
    explicit ProgressBar(std::ostream& err) : err_(err) {}
    HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) override {
        total_ = total;
        const int percent = total > 0 ? static_cast<int>(std::clamp(100.0 * bytes / total, 0.0, 100.0)) : 0;
        if (percent != percent_) Draw(percent, bytes);  // at most a hundred redraws
        return S_OK;
    }
    // Ends the bar's line; a finished transfer shows as whole.
    void Finish(bool done) {
        if (done && percent_ >= 0) Draw(100, total_);
        if (percent_ >= 0) err_ << "\n" << std::flush;
    }

private:
    void Draw(int percent, LONG bytes) {
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << percent << "% "
             << bytes << "/" << total_ << std::flush;
        percent_ = percent;
    }

    std::ostream& err_;
    int percent_ = -1;  // none drawn yet
    LONG total_ = 0;
};

// Collects channel reports of the status log's worker for the main thread.
class StatusQueue final : public SinkBase {
public:
    HRESULT STDMETHODCALLTYPE GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) override {
        auto text = [](BSTR s) {
            return ToUtf8(s ? std::u16string_view(s, SysStringLen(s)) : std::u16string_view());
        };
        std::string line = "{\"channel\":" + std::to_string(chan) + ",\"mode\":" + JsonString(text(mode)) +
                           ",\"status\":" + JsonString(text(status)) + ",\"box\":" + JsonString(text(box)) +
                           "}";
        std::lock_guard lock(mutex_);
        lines_.push_back(std::move(line));
        return S_OK;
    }
    bool Take(std::string& line) {
        std::lock_guard lock(mutex_);
        if (lines_.empty()) return false;
        line = std::move(lines_.front());
        lines_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<std::string> lines_;
};

bool Readable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in.good();
}

}  // namespace

Client::Client(Settings settings, std::ostream& out, std::ostream& err)
    : settings_(std::move(settings)), out_(out), err_(err) {}

Client::~Client() {
    if (session_) session_->Quit();
    watching_ = false;
    if (watcher_.joinable()) watcher_.join();
}

void Client::RequestStop() noexcept {
    stop_requested = true;
}

BStr Client::Wide(const std::string& text) {
    // The command line was checked for UTF-8 before any command ran.
    const std::optional<std::u16string> wide = FromUtf8(text);
    return wide ? BStr(wide->c_str(), static_cast<UINT>(wide->size())) : BStr(u"");
}

std::string Client::Mailbox() const {
    return settings_.mailbox.empty() ? settings_.user : settings_.mailbox;
}

int Client::Usage(const std::string& message) {
    err_ << "q5ctl: " << message << "\n";
    return kUsage;
}

int Client::Fail(HRESULT hr, const std::string& what) {
    if (stop_requested && hr == E_CONNECTION_LOST) {
        TakeErrorText();
        err_ << "q5ctl: interrupted\n";
        return kConnection;
    }
    std::string text = TakeErrorText();
    if (text.empty()) text = hr == E_FAIL ? "the server refused " + what : what + " failed (" + Hex(hr) + ")";
    err_ << "q5ctl: " << text << "\n";
    if (hr == E_CONNECTION_LOST) return kConnection;
    if (hr == E_INVALIDARG) return kUsage;
    return kRefused;
}

int Client::Open() {
    if (session_) return kOk;
    if (settings_.user.empty()) return Usage("no user: give --user or set Q5_USER");
    ComPtr<IQ5Connect> session;
    const HRESULT created =
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, session.AsOut());
    if (FAILED(created)) {
        err_ << "q5ctl: the Q5Client library is not available (" << Hex(created)
             << "); register it with q5regsvr\n";
        return kConnection;
    }
    // An interrupt ends the call in progress (the connect and the login
    // included) instead of waiting for it; the signal handler itself only
    // sets the flag.
    if (!watcher_.joinable() && session.As(IID_IQ5CallCancel, cancel_) == S_OK) {
        watching_ = true;
        watcher_ = std::thread([this] {
            while (watching_) {
                if (stop_requested) cancel_->Cancel(0);
                std::this_thread::sleep_for(kWatchStep);
            }
        });
    }
    HRESULT hr = session->Connect(Wide(settings_.host).Get(), settings_.port, settings_.timeout);
    if (FAILED(hr)) {
        TakeErrorText();
        if (stop_requested) {
            err_ << "q5ctl: interrupted\n";
        } else {
            err_ << "q5ctl: cannot connect to " << settings_.host << ":" << settings_.port << "\n";
        }
        return kConnection;
    }
    hr = settings_.superuser ? session->SuLogin(Wide(settings_.user).Get(), Wide(settings_.password).Get())
                             : session->Login(Wide(settings_.user).Get(), Wide(settings_.password).Get());
    if (FAILED(hr)) return Fail(hr, "login");
    session_ = std::move(session);
    return kOk;
}

template <class T>
ComPtr<T> Client::Facet(REFIID iid) {
    ComPtr<T> out;
    if (session_) session_.As(iid, out);
    return out;
}

// ---- Offline --------------------------------------------------------------

int Client::Tables() {
    for (const std::string& name : TableNames()) out_ << name << "\n";
    return kOk;
}

int Client::Fields(const std::string& table) {
    const auto fields = TableFields(table, settings_.superuser);
    if (!fields) return Usage("no table " + table + " (see q5ctl tables)");
    for (const std::string& field : *fields) out_ << field << "\n";
    return kOk;
}

// ---- Tables ---------------------------------------------------------------

int Client::Info() {
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5Util> util = Facet<IQ5Util>(IID_IQ5Util);
    using Getter = HRESULT (STDMETHODCALLTYPE IQ5Util::*)(BSTR*);
    const std::pair<const char*, Getter> facts[] = {
        {"uptime", &IQ5Util::get_Uptime},        {"serial", &IQ5Util::get_Serial},
        {"version", &IQ5Util::get_Version},      {"load", &IQ5Util::get_VLoad},
        {"version_type", &IQ5Util::get_VerType},
    };
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& [name, getter] : facts) {
        BStr value;
        const HRESULT hr = (util.Get()->*getter)(value.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return Fail(hr, name);
        std::string text = ToUtf8(value.View());
        std::erase(text, '\r');
        values.emplace_back(name, TrimEnd(std::move(text)));
    }
    Print(values);
    return kOk;
}

int Client::Fetch(IQ5Table* table, const std::string& name) {
    HRESULT hr = table->SetTable(Wide(name).Get());
    if (FAILED(hr)) return Fail(hr, "SetTable");
    if (!settings_.key.empty()) {
        hr = table->OpenTable(Wide(settings_.key).Get());
        if (FAILED(hr)) return Fail(hr, "OpenTable");
    }
    hr = table->GetRecord();
    if (FAILED(hr)) return Fail(hr, "GetRecord");
    return kOk;
}

std::vector<std::pair<std::string, std::string>> Client::Values(IQ5Table* table,
                                                                const std::vector<std::string>& fields) {
    std::vector<std::pair<std::string, std::string>> values;
    for (const std::string& field : fields) {
        BStr value;
        table->get_GetField(Wide(field).Get(), value.ReleaseAndGetAddressOf());
        values.emplace_back(field, ToUtf8(value.View()));
    }
    return values;
}

void Client::Print(const std::vector<std::pair<std::string, std::string>>& values) {
    if (settings_.json) {
        out_ << JsonObject(values) << "\n";
        return;
    }
    for (const auto& [name, value] : values) out_ << name << "=" << value << "\n";
}

int Client::Get(const std::string& table, const std::vector<std::string>& fields) {
    std::vector<std::string> wanted = fields;
    if (wanted.empty()) {
        const auto all = TableFields(table, settings_.superuser);
        if (!all) return Usage("no table " + table + " (see q5ctl tables)");
        wanted = *all;
    }
    for (const std::string& field : wanted) {
        if (!IsField(table, field))
            return Usage("no field " + field + " in " + table + " (see q5ctl fields)");
    }
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5Table> records = Facet<IQ5Table>(IID_IQ5Table);
    if (int rc = Fetch(records.Get(), table); rc != kOk) return rc;
    Print(Values(records.Get(), wanted));
    return kOk;
}

int Client::Set(const std::string& table, const std::vector<std::string>& assignments) {
    std::vector<std::pair<std::string, std::string>> changes;
    for (const std::string& text : assignments) {
        auto change = ParseAssignment(text);
        if (!change) return Usage("expected FIELD=VALUE, not " + text);
        if (!IsField(table, change->first))
            return Usage("no field " + change->first + " in " + table + " (see q5ctl fields)");
        changes.push_back(std::move(*change));
    }
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5Table> records = Facet<IQ5Table>(IID_IQ5Table);
    if (int rc = Fetch(records.Get(), table); rc != kOk) return rc;
    for (const auto& [field, value] : changes) {
        const HRESULT hr = records->SetField(Wide(field).Get(), Wide(value).Get());
        if (FAILED(hr)) return Fail(hr, "SetField");
    }
    const HRESULT hr = records->PutRecord();
    if (FAILED(hr)) return Fail(hr, "PutRecord");
    return kOk;
}

int Client::Dump(const std::string& table) {
    const auto fields = TableFields(table, settings_.superuser);
    if (!fields) return Usage("no table " + table + " (see q5ctl tables)");
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5Table> records = Facet<IQ5Table>(IID_IQ5Table);
    HRESULT hr = records->SetTable(Wide(table).Get());
    if (SUCCEEDED(hr)) hr = records->FirstRecord();
    if (FAILED(hr)) return Fail(hr, "FirstRecord");
    for (LONG eof = 0; !eof;) {
        hr = records->GetRecord();
        if (FAILED(hr)) return Fail(hr, "GetRecord");
        out_ << JsonObject(Values(records.Get(), *fields)) << "\n";
        hr = records->NextRecord();
        if (FAILED(hr)) return Fail(hr, "NextRecord");
        records->get_IsEof(&eof);
    }
    // A step off the end also follows a lost connection: tell them apart.
    hr = records->CloseTable();
    if (hr == E_CONNECTION_LOST) return Fail(hr, "CloseTable");
    TakeErrorText();
    return kOk;
}

// ---- Files ------------------------------------------------------------------

int Client::GetFile(const std::string& remote, const std::string& local) {
    // Whether LOCAL can be written is found out before the server is asked;
    // a file made only for that goes again when the download fails.
    const bool existed = Readable(local);
    {
        std::ofstream probe(local, std::ios::binary | std::ios::app);
        if (!probe) {
            err_ << "q5ctl: cannot write " << local << "\n";
            return kLocalFile;
        }
    }
    int rc = Open();
    if (rc == kOk) {
        ComPtr<IQ5Util> util = Facet<IQ5Util>(IID_IQ5Util);
        auto* bar = settings_.progress ? new ProgressBar(err_) : nullptr;
        const HRESULT hr = util->GetFile2(Wide(Mailbox()).Get(), Wide(remote).Get(), Wide(local).Get(), bar);
        if (bar) {
            bar->Finish(SUCCEEDED(hr));
            bar->Release();
        }
        if (FAILED(hr)) rc = Fail(hr, "GetFile");
    }
    if (rc != kOk && !existed) std::remove(local.c_str());
    return rc;
}

int Client::PutFile(const std::string& local, const std::string& remote) {
    if (!Readable(local)) {
        err_ << "q5ctl: cannot read " << local << "\n";
        return kLocalFile;
    }
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5Util> util = Facet<IQ5Util>(IID_IQ5Util);
    auto* bar = settings_.progress ? new ProgressBar(err_) : nullptr;
    const HRESULT hr = util->PutFile2(Wide(Mailbox()).Get(), Wide(remote).Get(), Wide(local).Get(), bar);
    if (bar) {
        bar->Finish(SUCCEEDED(hr));
        bar->Release();
    }
    if (FAILED(hr)) return Fail(hr, "PutFile");
    return kOk;
}

int Client::Convert(const std::string& direction, const std::string& name) {
    if (direction != "v2w" && direction != "w2v") return Usage("convert takes v2w or w2v, not " + direction);
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5Util> util = Facet<IQ5Util>(IID_IQ5Util);
    const HRESULT hr = direction == "v2w" ? util->ConvertV2W(Wide(Mailbox()).Get(), Wide(name).Get())
                                          : util->ConvertW2V(Wide(Mailbox()).Get(), Wide(name).Get());
    if (FAILED(hr)) return Fail(hr, "convert");
    return kOk;
}

// ---- Events -------------------------------------------------------------------

int Client::Events(bool status, int count) {
    if (settings_.user.empty()) return Usage("no user: give --user or set Q5_USER");
    ComPtr<ICoEvents> events;
    const HRESULT created =
        CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events.AsOut());
    if (FAILED(created)) {
        err_ << "q5ctl: the Q5Client library is not available (" << Hex(created) << ")\n";
        return kConnection;
    }
    StatusQueue* queue = status ? new StatusQueue : nullptr;
    const BStr host = Wide(settings_.host), user = Wide(settings_.user), pass = Wide(settings_.password);
    auto begin = [&] {
        return status ? events->BeginStatusLog(host.Get(), settings_.port, settings_.timeout, user.Get(),
                                               pass.Get(), queue)
                      : events->BeginQ5Log(host.Get(), settings_.port, settings_.timeout, user.Get(),
                                           pass.Get(), nullptr);
    };
    const HRESULT hr = begin();
    if (FAILED(hr)) {
        if (queue) queue->Release();
        std::string text = TakeErrorText();
        err_ << "q5ctl: " << (text.empty() ? "the event log did not start" : text) << "\n";
        // A server that cannot be reached is E_CONNECTION_LOST; a refusal
        // of the login or of the event command E_FAIL.
        return hr == E_CONNECTION_LOST ? kConnection : kRefused;
    }
    int printed = 0, rc = kOk;
    constexpr int kPollsPerCheck = 20;  // a second
    for (int polls = 1; !stop_requested && (count == 0 || printed < count); ++polls) {
        // Asked to begin again, a log whose worker still runs answers
        // S_FALSE; anything else means its connection was lost.
        if (polls % kPollsPerCheck == 0) {
            if (const HRESULT again = begin(); again != S_FALSE) {
                TakeErrorText();
                err_ << "q5ctl: the event connection was lost\n";
                rc = kConnection;
                break;
            }
        }
        std::string line;
        if (status) {
            if (!queue->Take(line)) line.clear();
        } else {
            LONG id = 0;
            BStr d1, d2, d3;
            events->GetQ5Event(&id, d1.ReleaseAndGetAddressOf(), d2.ReleaseAndGetAddressOf(),
                               d3.ReleaseAndGetAddressOf());
            if (id != 0) {
                line = "{\"event\":" + std::to_string(id) + ",\"data1\":" + JsonString(ToUtf8(d1.View())) +
                       ",\"data2\":" + JsonString(ToUtf8(d2.View())) +
                       ",\"data3\":" + JsonString(ToUtf8(d3.View())) + "}";
            }
        }
        if (line.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        out_ << line << "\n" << std::flush;
        ++printed;
    }
    if (status) {
        events->EndStatusLog();
        queue->Release();
    } else {
        events->EndQ5Log();
    }
    return rc;
}

// ---- Fax ------------------------------------------------------------------------

int Client::FaxList() {
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5FaxServer> fax = Facet<IQ5FaxServer>(IID_IQ5FaxServer);
    std::vector<int> jobs(4096);
    int size = static_cast<int>(jobs.size());
    const HRESULT hr = fax->EnumFaxJobs(Wide(Mailbox()).Get(), jobs.data(), &size);
    if (FAILED(hr)) return Fail(hr, "EnumFaxJobs");
    // The last number stored is that of the list's closing status line.
    for (int i = 0; i + 1 < size; ++i) out_ << jobs[static_cast<std::size_t>(i)] << "\n";
    return kOk;
}

int Client::FaxStatus(int job) {
    if (int rc = Open(); rc != kOk) return rc;
    ComPtr<IQ5FaxServer> fax = Facet<IQ5FaxServer>(IID_IQ5FaxServer);
    LONG state = 0;
    const HRESULT hr = fax->GetFaxStatus(Wide(Mailbox()).Get(), job, &state);
    if (FAILED(hr)) return Fail(hr, "GetFaxStatus");
    out_ << state << "\n";
    return kOk;
}

int Client::FaxCancel(int job) {
    if (int rc = Open(); rc != kOk) return rc;
    const HRESULT hr = Facet<IQ5FaxServer>(IID_IQ5FaxServer)->CancelFax(Wide(Mailbox()).Get(), job);
    return FAILED(hr) ? Fail(hr, "CancelFax") : kOk;
}

int Client::FaxRetry(int job) {
    if (int rc = Open(); rc != kOk) return rc;
    const HRESULT hr = Facet<IQ5FaxServer>(IID_IQ5FaxServer)->RetryFax(Wide(Mailbox()).Get(), job);
    return FAILED(hr) ? Fail(hr, "RetryFax") : kOk;
}

int Client::FaxAttr(int job, const std::string& attr) {
    if (int rc = Open(); rc != kOk) return rc;
    BStr value;
    const HRESULT hr =
        Facet<IQ5FaxServer>(IID_IQ5FaxServer)
            ->GetFaxAttr(Wide(Mailbox()).Get(), job, Wide(attr).Get(), value.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return Fail(hr, "GetFaxAttr");
    out_ << ToUtf8(value.View()) << "\n";
    return kOk;
}

// ---- Administration -------------------------------------------------------------

int Client::AddMailbox(const std::string& box) {
    if (int rc = Open(); rc != kOk) return rc;
    const HRESULT hr = Facet<IQ5Admin>(IID_IQ5Admin)->AddMailbox(Wide(box).Get());
    return FAILED(hr) ? Fail(hr, "AddMailbox") : kOk;
}

int Client::DeleteMailbox(const std::string& box) {
    if (int rc = Open(); rc != kOk) return rc;
    const HRESULT hr = Facet<IQ5Admin>(IID_IQ5Admin)->DeleteMailbox(Wide(box).Get());
    return FAILED(hr) ? Fail(hr, "DeleteMailbox") : kOk;
}

int Client::Mwi(const std::string& box, const std::string& mode) {
    if (int rc = Open(); rc != kOk) return rc;
    const HRESULT hr = Facet<IQ5Admin>(IID_IQ5Admin)->LightMWI(Wide(box).Get(), Wide(mode).Get());
    return FAILED(hr) ? Fail(hr, "LightMWI") : kOk;
}

int Client::ResetMwi() {
    if (int rc = Open(); rc != kOk) return rc;
    const HRESULT hr = Facet<IQ5Admin>(IID_IQ5Admin)->ResetMWI();
    return FAILED(hr) ? Fail(hr, "ResetMWI") : kOk;
}

}  // namespace q5ctl
