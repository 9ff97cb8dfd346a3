// A bounded soak of the library as a caller reaches it (component runtime,
// public interfaces) against one q5sim with demo data and a call every
// second: 1,000 Q5 log cycles without a sink (every hundredth one held
// open until a call's event was queued), then 10,000 table round trips
// and 100 file transfers on one session. Each run compares the process's
// open descriptors, threads and resident memory after a warm-up with the
// figures at its end, and checks that nothing written was lost.
//
// Q5_SOAK_SCALE (a whole number, default 1) multiplies every count for a
// longer run by hand. q5sim keeps its data under /dev/shm when there is one
// (Q5_SOAK_DIR names another parent folder): its database commits every
// change with a full sync, which on a disk would make the table run measure
// the disk.
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "q5client/q5client.h"
#include "dir_entries.h"
#include "q5sim_process.h"

namespace q5test {
namespace {

namespace fs = std::filesystem;

// Growth of the resident set that a run may show without being a leak. The
// allocator keeps freed blocks and thread stacks for reuse and grows its
// heap and arenas in steps; after the warm-up that moves RSS by a few KiB in
// a plain build and by a few hundred KiB under ThreadSanitizer, whose shadow
// memory follows the heap. 1 MiB stays clear of that noise and still catches
// what grows with the work: about 110 bytes kept per table round trip, 1 KiB
// per log cycle or 11 KiB per transfer, and anything that grows with
// Q5_SOAK_SCALE. Smaller leaks of unreachable memory are LeakSanitizer's to
// find in the sanitizer pass.
constexpr long kRssToleranceKib = 1024;

// Under AddressSanitizer freed blocks wait in a quarantine of many MiB before
// they are reused, so the resident set grows with the number of operations
// whether or not anything leaks; there LeakSanitizer checks for leaks at the
// end of the process instead, and the RSS figures are only printed.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kRssIsBounded = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kRssIsBounded = false;
#else
constexpr bool kRssIsBounded = true;
#endif
#else
constexpr bool kRssIsBounded = true;
#endif

int Scale() {
    const char* text = std::getenv("Q5_SOAK_SCALE");
    const int scale = text ? std::atoi(text) : 1;
    return scale > 0 ? scale : 1;
}

struct Usage {
    long descriptors = 0;
    long threads = 0;
    long rss_kib = 0;
};

Usage Measure() {
    Usage usage;
    // The descriptor of the listing itself is counted both times.
    usage.descriptors = q5test::CountDirectoryEntries("/proc/self/fd");
    usage.threads = q5test::CountDirectoryEntries("/proc/self/task");
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    usage.rss_kib = resident * (::sysconf(_SC_PAGESIZE) / 1024);
    return usage;
}

void Print(const char* run, const std::string& counts, const Usage& before, const Usage& after) {
    std::printf(
        "soak %s: %s; descriptors %ld -> %ld, threads %ld -> %ld, RSS %ld KiB -> %ld KiB (%+ld KiB)\n", run,
        counts.c_str(), before.descriptors, after.descriptors, before.threads, after.threads, before.rss_kib,
        after.rss_kib, after.rss_kib - before.rss_kib);
    std::fflush(stdout);
}

void ExpectNoGrowth(const Usage& before, const Usage& after) {
    EXPECT_LE(after.descriptors, before.descriptors) << "descriptors leaked";
    EXPECT_LE(after.threads, before.threads) << "threads left running";
    if (kRssIsBounded) {
        EXPECT_LE(after.rss_kib - before.rss_kib, kRssToleranceKib) << "resident memory grew";
    }
}

BStr W(const std::string& text) {
    const std::u16string wide(text.begin(), text.end());
    return BStr(wide.c_str());
}

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out.push_back(static_cast<char>(c));
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Bytes that differ from file to file, so a transfer that hands back an
// older file is seen.
std::string FileBytes(int number, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + static_cast<std::size_t>(number) * 7 + i / 253) & 0xFF);
    return bytes;
}

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Read once per process by the library, so it must be set before the
        // first object is made; the test's environment may already hold it.
        ::setenv("Q5CLIENT_POLL_STEP_MS", "10", 0);
        const char* parent = std::getenv("Q5_SOAK_DIR");
        std::string base = parent ? parent : (fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
        std::string pattern = base + "/q5soak-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << "no temporary folder under " << base;
        dir_ = pattern;
        ::setenv("Q5COM_REGISTRY", (dir_ + "/registry").c_str(), 1);
        const std::string command = std::string(Q5REGSVR_TOOL) + " " + Q5CLIENT_LIBRARY + " >/dev/null";
        const int rc = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << "registration of the library failed";
        // A call every second that rings for a second and lingers for one
        // more, so the channels never fill up and events keep coming.
        sim_ = std::make_unique<Q5SimProcess>(
            dir_ + "/data", std::vector<std::string>{"--seed-demo", "--demo-calls", "1", "--ring-seconds",
                                                     "1", "--call-linger", "1", "--quiet"});
        ASSERT_TRUE(sim_->Start()) << sim_->error();
    }

    void TearDown() override {
        if (sim_) {
            EXPECT_EQ(sim_->Stop(), 0) << "q5sim did not end cleanly\n" << sim_->Log();
        }
        sim_.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        ::unsetenv("Q5COM_REGISTRY");
    }

    ComPtr<IQ5Connect> LogIn() {
        ComPtr<IQ5Connect> session;
        EXPECT_EQ(CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect,
                                   session.AsOut()),
                  S_OK);
        if (!session) return {};
        if (session->Connect(W("127.0.0.1").Get(), sim_->port(), 5) != S_OK ||
            session->Login(W("101").Get(), W("1234").Get()) != S_OK) {
            ADD_FAILURE() << "connect and login as 101";
            return {};
        }
        return session;
    }

    std::string dir_;
    std::unique_ptr<Q5SimProcess> sim_;
};

// Takes every queued Q5 event; returns how many there were.
long Drain(ICoEvents* events) {
    long taken = 0;
    for (;;) {
        LONG id = 0;
        BStr data1, data2, data3;
        events->GetQ5Event(&id, data1.ReleaseAndGetAddressOf(), data2.ReleaseAndGetAddressOf(),
                           data3.ReleaseAndGetAddressOf());
        if (id == 0) return taken;
        ++taken;
    }
}

// One begin/end cycle of the Q5 log. A long cycle keeps the log running
// until a demo call's event has been queued (at most 5 seconds), so events
// pass through the queue and stay in it across EndQ5Log; `*waited_in_vain`
// is set when none came. Returns false when the log did not start or end.
bool Q5LogCycle(ICoEvents* events, int port, bool long_cycle, long* queued, bool* waited_in_vain) {
    if (events->BeginQ5Log(W("127.0.0.1").Get(), port, 5, W("101").Get(), W("1234").Get(), nullptr) != S_OK)
        return false;
    if (long_cycle) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        LONG id = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            BStr data1, data2, data3;
            events->GetQ5Event(&id, data1.ReleaseAndGetAddressOf(), data2.ReleaseAndGetAddressOf(),
                               data3.ReleaseAndGetAddressOf());
            if (id != 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (id != 0) {
            ++*queued;
            // Give the rest of the call's events time to queue behind it.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } else {
            *waited_in_vain = true;
        }
    }
    const bool ended = events->EndQ5Log() == S_OK;
    *queued += Drain(events);
    return ended;
}

TEST_F(SoakTest, Q5LogCyclesLeaveNoWorkerDescriptorOrMemoryBehind) {
    const int cycles = 1000 * Scale();
    const int warm_up = cycles / 10;
    constexpr int kLongCycleEvery = 100;
    ComPtr<ICoEvents> events;
    ASSERT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events.AsOut()),
              S_OK);
    long queued = 0;
    int failed = 0, silent = 0;
    auto cycle = [&](int i) {
        bool waited_in_vain = false;
        if (!Q5LogCycle(events.Get(), sim_->port(), i % kLongCycleEvery == 0, &queued, &waited_in_vain))
            ++failed;
        if (waited_in_vain) ++silent;
    };
    for (int i = 0; i < warm_up; ++i) cycle(i);
    const Usage before = Measure();
    for (int i = warm_up; i < cycles; ++i) cycle(i);
    const Usage after = Measure();
    Print("q5log",
          std::to_string(cycles) + " BeginQ5Log/EndQ5Log cycles (" + std::to_string(failed) + " failed, " +
              std::to_string(cycles / kLongCycleEvery) + " waiting for an event, " + std::to_string(silent) +
              " of them in vain), " + std::to_string(queued) + " events queued and polled",
          before, after);
    EXPECT_EQ(failed, 0) << "cycles that did not start or end";
    EXPECT_EQ(silent, 0) << "long cycles that queued no event of the demo calls";
    ExpectNoGrowth(before, after);
}

TEST_F(SoakTest, TableRoundTripsAndTransfersOnOneSessionLoseNothingAndLeakNothing) {
    const int round_trips = 10000 * Scale();
    const int transfers = 100 * Scale();
    const std::size_t file_size = 6 * 1024 + 123;  // two full chunks and a part
    ComPtr<IQ5Connect> session = LogIn();
    ASSERT_TRUE(session);
    ComPtr<IQ5Table> table;
    ComPtr<IQ5Util> util;
    ASSERT_EQ(session.As(IID_IQ5Table, table), S_OK);
    ASSERT_EQ(session.As(IID_IQ5Util, util), S_OK);
    ASSERT_EQ(table->SetTable(W("BOX").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    const BStr field = W("LAST_N");

    int lost_values = 0;
    std::string first_lost;
    std::string last_value;
    // PUT a value no earlier round trip used, then GET the row and read it back.
    auto round_trip = [&](int i) {
        last_value = "soak-" + std::to_string(i);
        const bool put =
            table->SetField(field.Get(), W(last_value).Get()) == S_OK && table->PutRecord() == S_OK;
        BStr value;
        const bool got = table->GetRecord() == S_OK &&
                         table->get_GetField(field.Get(), value.ReleaseAndGetAddressOf()) == S_OK;
        if (!put || !got || Narrow(value.View()) != last_value) {
            if (lost_values++ == 0)
                first_lost = last_value + " read back as '" + Narrow(value.View()) + "'" +
                             (put ? "" : " (PUT failed)");
        }
    };
    int damaged_files = 0;
    std::string first_damaged;
    // PUTFILE a file of its own content, GETFILE it into another local file.
    auto transfer = [&](int i) {
        const std::string sent = FileBytes(i, file_size);
        const std::string out = dir_ + "/out.bin", in = dir_ + "/in.bin";
        WriteFile(out, sent);
        ::unlink(in.c_str());
        const bool put = util->PutFile(W("101").Get(), W("soak.bin").Get(), W(out).Get()) == S_OK;
        const bool got = util->GetFile(W("101").Get(), W("soak.bin").Get(), W(in).Get()) == S_OK;
        if (!put || !got || ReadFile(in) != sent) {
            if (damaged_files++ == 0)
                first_damaged = "file " + std::to_string(i) + (put ? "" : " (PUTFILE failed)") +
                                (got ? "" : " (GETFILE failed)");
        }
    };

    const int round_trip_warm_up = round_trips / 10, transfer_warm_up = transfers / 10;
    for (int i = 0; i < round_trip_warm_up; ++i) round_trip(i);
    for (int i = 0; i < transfer_warm_up; ++i) transfer(i);
    const Usage before = Measure();
    for (int i = round_trip_warm_up; i < round_trips; ++i) round_trip(i);
    for (int i = transfer_warm_up; i < transfers; ++i) transfer(i);
    const Usage after = Measure();
    Print("session",
          std::to_string(round_trips) + " BOX PUT/GET round trips (" + std::to_string(lost_values) +
              " lost), " + std::to_string(transfers) + " PUTFILE/GETFILE of " + std::to_string(file_size) +
              " bytes (" + std::to_string(damaged_files) + " differ)",
          before, after);
    EXPECT_EQ(lost_values, 0) << "first: " << first_lost;
    EXPECT_EQ(damaged_files, 0) << "first: " << first_damaged;
    ExpectNoGrowth(before, after);

    // The last value is kept by the server, not only echoed on this session.
    table.Reset();
    util.Reset();
    session.Reset();
    ComPtr<IQ5Connect> other = LogIn();
    ASSERT_TRUE(other);
    ComPtr<IQ5Table> check;
    ASSERT_EQ(other.As(IID_IQ5Table, check), S_OK);
    ASSERT_EQ(check->SetTable(W("BOX").Get()), S_OK);
    ASSERT_EQ(check->GetRecord(), S_OK);
    BStr value;
    ASSERT_EQ(check->get_GetField(field.Get(), value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Narrow(value.View()), last_value);
}

}  // namespace
}  // namespace q5test
