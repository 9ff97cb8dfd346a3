#include "fault_fixture.h"

#include "dir_entries.h"
#include "test_certificate.h"

#include <gtest/gtest-spi.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

namespace q5test {

namespace {

using Clock = std::chrono::steady_clock;

// A case that runs far beyond the hang guard would stop the whole run; the
// watchdog names it and aborts the process instead.
class Watchdog {
public:
    static Watchdog& Instance() {
        static Watchdog* dog = new Watchdog();  // never destroyed: its thread runs to the end
        return *dog;
    }
    void Arm(std::string what) {
        std::lock_guard<std::mutex> lock(mutex_);
        what_ = std::move(what);
        deadline_ = Clock::now() + kLimit;
        armed_ = true;
    }
    void Disarm() {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
    }

private:
    static constexpr std::chrono::seconds kLimit{60};
    Watchdog() {
        std::thread([this] {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                std::lock_guard<std::mutex> lock(mutex_);
                if (armed_ && Clock::now() > deadline_) {
                    std::fprintf(stderr, "fault case hung for %lld s: %s\n",
                                 static_cast<long long>(kLimit.count()), what_.c_str());
                    std::abort();
                }
            }
        }).detach();
    }
    std::mutex mutex_;
    std::string what_;
    Clock::time_point deadline_{};
    bool armed_ = false;
};

// A family stops after this many failing cases: the first ones tell the
// story, and thousands more would only bury it.
constexpr int kMaxFailingCases = 20;

// Attempts at one case before its failure counts (see Sweep).
constexpr int kAttempts = 3;

// Failures reported so far by the running test.
int ReportedParts() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

}  // namespace

Verdict LineVerdict(std::size_t at, std::size_t length, char value, bool status_rule) {
    if (at + 1 == length && value != '\n') return Verdict::lost;
    if (at == 0 && value == '-' && status_rule) return Verdict::refused;
    return Verdict::ok;
}

HRESULT CodeOf(Verdict verdict) {
    switch (verdict) {
        case Verdict::ok:
            return S_OK;
        case Verdict::refused:
            return E_FAIL;
        case Verdict::lost:
            break;
    }
    return E_CONNECTION_LOST;
}

std::vector<std::string> Lines(std::string_view bytes, std::string* rest) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string_view::npos; end = bytes.find('\n', start)) {
        lines.emplace_back(bytes.substr(start, end + 1 - start));
        start = end + 1;
    }
    if (rest) rest->assign(bytes.substr(start));
    return lines;
}

std::string UpToNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

long LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::string_view(" \t\r\n\v\f").find(text[i]) != std::string_view::npos) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

SweepFigures& TotalFigures() {
    static SweepFigures totals;
    return totals;
}

std::size_t OpenDescriptors() {
    const long count = CountDirectoryEntries("/proc/self/fd");
    return count > 0 ? static_cast<std::size_t>(count - 1) : 0;  // less the listing's own descriptor
}

std::u16string U16(const std::string& text) {
    std::u16string wide;
    for (char c : text) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return wide;
}

void FaultSweep::SetUp() {
    RegisteredLibrary::SetUp();
    ASSERT_TRUE(peer_.listening());
    ASSERT_EQ(
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, connect_.AsOut()),
        S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5Util, util_), S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5Admin, admin_), S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5FaxServer, fax_), S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5Table, table_), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events_.AsOut()),
              S_OK);
    folder_ = std::filesystem::path(registry_path_).parent_path().string();
    TakeErrorRecord();
}

void FaultSweep::TearDown() {
    if (events_) EndLogs();
    events_.Reset();
    table_.Reset();
    fax_.Reset();
    admin_.Reset();
    util_.Reset();
    connect_.Reset();
    RegisteredLibrary::TearDown();
}

void FaultSweep::UseTls(FaultKind family) {
    const TestCertificate made = MakeTestCertificate(folder_, "peer", "localhost", "IP:127.0.0.1");
    ASSERT_EQ(made.error, "");
    ASSERT_TRUE(peer_.UseTls(made.cert_file, made.key_file));
    tls_ = true;
    tls_family_ = family;
    tls_pin_ = made.fingerprint;
}

std::string FaultSweep::Host() const {
    return tls_ ? "tls://127.0.0.1#sha256=" + tls_pin_ : "127.0.0.1";
}

HRESULT FaultSweep::Connect() {
    return connect_->Connect(BStr(U16(Host()).c_str()).Get(), peer_.port(), kConnectTimeout);
}

void FaultSweep::EndLogs() {
    const auto start = Clock::now();
    EXPECT_EQ(events_->EndStatusLog(), S_OK);
    EXPECT_EQ(events_->EndQ5Log(), S_OK);
    EXPECT_LT(Clock::now() - start, kHangGuard) << "ending the logs hung";
}

std::string FaultSweep::LocalFile(const std::string& name) const {
    return folder_ + "/" + name;
}

std::u16string FaultSweep::TakeMessage() {
    return TakeErrorRecord().description;
}

void FaultSweep::Sweep(const std::string& family, const Exchange& exchange, std::size_t first,
                       const std::function<void(const Fault&)>& one_case) {
    const std::size_t size = exchange.server_size();
    ASSERT_LT(first, size) << family << ": nothing to fault";
    std::string all_client_bytes;
    for (const Exchange::Step& step : exchange.steps()) {
        if (step.from_client) all_client_bytes += step.bytes;
    }

    std::vector<Fault> faults;
    faults.push_back(Fault{});
    const auto plays = [&](FaultKind kind) { return !tls_ || tls_family_ == kind; };
    for (std::size_t k = first; k < size && plays(FaultKind::cut); ++k)
        faults.push_back(Fault{FaultKind::cut, k, 0});
    for (std::size_t k = first; k < size && plays(FaultKind::stall); ++k)
        faults.push_back(Fault{FaultKind::stall, k, 0});
    for (std::size_t k = first; k < size && plays(FaultKind::corrupt); ++k) {
        for (char value : kHostileBytes) faults.push_back(Fault{FaultKind::corrupt, k, value});
    }
    faults.push_back(Fault{});

    // Q5FAULT_SLOW_MS=N lists every case that took longer than N ms.
    const char* slow_setting = std::getenv("Q5FAULT_SLOW_MS");
    const long slow_ms = slow_setting ? std::atol(slow_setting) : 0;
    const std::size_t descriptors = OpenDescriptors();
    const auto started = Clock::now();
    int failing = 0;
    std::size_t cases = 0;
    std::size_t by_kind[4] = {};  // indexed by FaultKind
    std::size_t reruns = 0;
    // One attempt at a case: the calls, then what the peer saw.
    const auto attempt = [&](const Fault& fault, const std::string& where) {
        peer_.Start(exchange, fault);
        Watchdog::Instance().Arm(where);
        const auto case_start = Clock::now();
        one_case(fault);
        connect_->Close();
        EndLogs();
        EXPECT_LT(Clock::now() - case_start, kHangGuard) << "hang guard";
        if (slow_ms > 0) {
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - case_start).count();
            if (ms > slow_ms) std::cout << "[faults] slow case " << where << ": " << ms << " ms" << std::endl;
        }
        Watchdog::Instance().Disarm();
        const PeerReport report = peer_.Finish();

        EXPECT_TRUE(report.accepted);
        EXPECT_EQ(report.deviation, "");
        EXPECT_TRUE(report.client_closed) << "the client kept the connection";
        if (fault.kind == FaultKind::cut || fault.kind == FaultKind::stall) {
            EXPECT_EQ(report.received, exchange.ClientBytesBefore(fault.offset))
                << "sent something after the connection was lost";
        } else if (fault.kind == FaultKind::none) {
            EXPECT_EQ(report.received, all_client_bytes);
        }
    };
    for (const Fault& fault : faults) {
        const std::string where = family + ", " + Describe(fault);
        SCOPED_TRACE(where);
        const int parts_before = ReportedParts();
        // With the waits shortened to milliseconds, a busy machine can let
        // a read time out in the part of the exchange that has no fault yet.
        // A failing case is therefore played again, quietly, up to
        // kAttempts times; only the last attempt reports. A fault of the
        // library fails every attempt; the reruns are counted and printed.
        for (int n = 1;; ++n) {
            TakeErrorRecord();
            if (n == kAttempts) {
                attempt(fault, where);
                break;
            }
            ::testing::TestPartResultArray failures;
            {
                ::testing::ScopedFakeTestPartResultReporter quiet(
                    ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
                attempt(fault, where);
            }
            if (failures.size() == 0) break;
            ++reruns;
        }
        ++cases;
        ++by_kind[static_cast<std::size_t>(fault.kind)];
        if (ReportedParts() > parts_before && ++failing >= kMaxFailingCases) {
            ADD_FAILURE() << family << ": stopped after " << kMaxFailingCases << " failing cases";
            break;
        }
    }
    const auto seconds = std::chrono::duration<double>(Clock::now() - started).count();
    connect_->Close();
    EXPECT_EQ(OpenDescriptors(), descriptors) << family << ": descriptors left open";

    const std::size_t offsets = size - first;
    TotalFigures().offsets += offsets;
    TotalFigures().cases += cases;
    RecordProperty("offsets", static_cast<int>(offsets));
    RecordProperty("cases", static_cast<int>(cases));
    std::cout << "[faults] " << family << ": " << offsets << " offsets, " << cases << " cases ("
              << by_kind[static_cast<std::size_t>(FaultKind::cut)] << " cut, "
              << by_kind[static_cast<std::size_t>(FaultKind::stall)] << " stall, "
              << by_kind[static_cast<std::size_t>(FaultKind::corrupt)] << " corrupt, "
              << by_kind[static_cast<std::size_t>(FaultKind::none)] << " clean) in " << seconds << " s, "
              << reruns << " played again" << std::endl;
    RecordProperty("reruns", static_cast<int>(reruns));
}

}  // namespace q5test
