// The program's Session without windows: where and in which order work
// runs, what comes back to the UI thread, nesting, that the UI thread's
// event loop keeps running while a call waits, and that Cancel from another
// thread ends a call waiting for a host that never answers.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gate.h"
#include "silent_host.h"
#include "q5client/com.h"
#include "shell/library_registration.h"
#include "shell/session.h"
#include "shell/shell_logic.h"
#include "temp_home.h"

namespace q5test {
namespace {

using q5::Session;
using q5::SessionViews;

// Leaves an error record with `text` on the calling thread.
void LeaveErrorRecord(const std::u16string& text) {
    ICreateErrorInfo* create = nullptr;
    ASSERT_EQ(CreateErrorInfo(&create), S_OK);
    std::u16string copy = text;
    create->SetDescription(copy.data());
    IErrorInfo* info = nullptr;
    ASSERT_EQ(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)), S_OK);
    SetErrorInfo(0, info);
    info->Release();
    create->Release();
}

using q5test::Gate;

TEST(SessionTest, WorkRunsOnOneSessionThreadInTheOrderHandedIn) {
    // 'c' a Call, 'p' a Post; each sequence is handed in on the UI thread
    // as written.
    for (const std::string sequence : {"cccc", "pppp", "pcpcp", "ppcpc", "cpppc"}) {
        SCOPED_TRACE(sequence);
        Session session;
        std::mutex mutex;
        std::vector<int> ran;
        std::vector<QThread*> threads;
        std::vector<int> done;
        const auto work = [&](int index) {
            return [&, index](const SessionViews&) {
                const std::lock_guard<std::mutex> lock(mutex);
                ran.push_back(index);
                threads.push_back(QThread::currentThread());
                return index;
            };
        };
        for (int i = 0; i < static_cast<int>(sequence.size()); ++i) {
            if (sequence[i] == 'c') {
                EXPECT_EQ(session.Call(nullptr, work(i)), i);
            } else {
                session.Post(&session, work(i), [&done, i](int result) {
                    EXPECT_EQ(result, i);
                    EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
                    done.push_back(i);
                });
            }
        }
        // A last call after everything: by its return every post ran.
        session.Call(nullptr, [](const SessionViews&) {});
        QCoreApplication::processEvents();
        std::vector<int> expected;
        std::vector<int> expected_done;
        for (int i = 0; i < static_cast<int>(sequence.size()); ++i) {
            expected.push_back(i);
            if (sequence[i] == 'p') expected_done.push_back(i);
        }
        EXPECT_EQ(ran, expected);
        EXPECT_EQ(done, expected_done);
        ASSERT_FALSE(threads.empty());
        for (QThread* thread : threads) {
            EXPECT_EQ(thread, threads.front());
            EXPECT_NE(thread, QCoreApplication::instance()->thread());
        }
    }
}

TEST(SessionTest, ErrorRecordOfTheWorkIsTheUiThreadsAfterTheCall) {
    struct Case {
        const char* name;
        std::u16string record;  // empty: the work leaves none
        HRESULT result;
    };
    const Case cases[] = {
        {"record", u"The server refused the table", E_FAIL},
        {"none after an earlier record", u"", E_CONNECTION_LOST},
        {"success with a record", u"Stale", S_OK},
    };
    Session session;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A record the UI thread had before must not survive the call.
        LeaveErrorRecord(u"left on the UI thread");
        const HRESULT hr = session.Call(nullptr, [&c](const SessionViews&) {
            if (!c.record.empty()) LeaveErrorRecord(c.record);
            return c.result;
        });
        EXPECT_EQ(hr, c.result);
        const q5::shell::ErrorDetails error = q5::shell::ErrorOf(hr);
        EXPECT_EQ(error.number, c.result);
        EXPECT_EQ(error.description, QString::fromStdU16String(c.record));
    }
    // A posted work's record is there when its result is handed over.
    QString seen;
    bool called = false;
    session.Post(
        &session, [](const SessionViews&) { LeaveErrorRecord(u"posted"); },
        [&] {
            called = true;
            seen = q5::shell::ErrorOf(E_FAIL).description;
        });
    session.Call(nullptr, [](const SessionViews&) {});
    QCoreApplication::processEvents();
    EXPECT_TRUE(called);
    EXPECT_EQ(seen, QStringLiteral("posted"));
}

TEST(SessionTest, NestedCallsReturnInnermostFirstWithTheirOwnResults) {
    Session session;
    QObject waiters[3];
    std::vector<std::string> log;
    QObject::connect(&session, &Session::waitStarted, [&](QObject* waiter) {
        log.push_back("start " + std::to_string(waiter - &waiters[0]));
    });
    QObject::connect(&session, &Session::waitEnded,
                     [&](QObject* waiter) { log.push_back("end " + std::to_string(waiter - &waiters[0])); });
    Gate next[3];
    // Level `level` calls and, while it waits, a timer starts level + 1; a
    // level's work goes on only once the next level was handed in, so every
    // call is still waiting when the next one begins.
    std::function<int(int)> call_at = [&](int level) {
        if (level + 1 < 3) {
            QTimer::singleShot(0, &session, [&, level] {
                EXPECT_TRUE(session.IsWaiting(&waiters[level]));
                const int inner = call_at(level + 1);
                log.push_back("returned " + std::to_string(inner));
            });
        }
        const int result = session.Call(&waiters[level], [&, level](const SessionViews&) {
            if (level + 1 < 3) {
                EXPECT_TRUE(next[level].Wait());
            }
            return 100 + level;
        });
        return result;
    };
    // A level's gate opens when the next level's Call has begun to wait.
    QObject::connect(&session, &Session::waitStarted, [&](QObject* waiter) {
        const auto level = waiter - &waiters[0];
        if (level > 0) next[level - 1].Open();
    });
    const int outer = call_at(0);
    log.push_back("returned " + std::to_string(outer));
    EXPECT_EQ(log, (std::vector<std::string>{"start 0", "start 1", "start 2", "end 2", "returned 102",
                                             "end 1", "returned 101", "end 0", "returned 100"}));
    EXPECT_FALSE(session.waiting());
}

TEST(SessionTest, PostedResultIsDroppedWhenItsContextIsGone) {
    for (const bool delete_context : {true, false}) {
        SCOPED_TRACE(delete_context ? "context deleted" : "context kept");
        Session session;
        auto context = std::make_unique<QObject>();
        Gate go_on;
        bool done = false;
        session.Post(
            context.get(),
            [&go_on](const SessionViews&) {
                EXPECT_TRUE(go_on.Wait());
                return 1;
            },
            [&done](int) { done = true; });
        if (delete_context) context.reset();
        go_on.Open();
        session.Call(nullptr, [](const SessionViews&) {});
        QCoreApplication::processEvents();
        EXPECT_EQ(done, !delete_context);
    }
}

TEST(SessionTest, UiThreadTimersKeepFiringWhileACallWaits) {
    Session session;
    std::atomic<int> ticks{0};
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    QObject waiter;
    const bool saw_ticks = session.Call(&waiter, [&ticks](const SessionViews&) {
        // Only the UI thread's loop can count these while this work runs.
        for (int i = 0; i < 20000 && ticks < 3; ++i) QThread::msleep(1);
        return ticks >= 3;
    });
    EXPECT_TRUE(saw_ticks);
    EXPECT_FALSE(session.IsWaiting(&waiter));
}

using q5test::SilentHost;

TEST(SessionTest, CancelFromAnotherThreadEndsAWaitForTheGreeting) {
    TempHome home;
    ASSERT_TRUE(q5::shell::EnsureClientClassRegistered(QString()).ok);
    Session session;
    ASSERT_EQ(session.Create(), S_OK);
    SilentHost host;
    std::atomic<bool> started{false};
    std::atomic<bool> returned{false};
    bool gave_up = false;
    std::thread canceller([&] {
        while (!started) std::this_thread::yield();
        // Until the call is in the library's wait, a cancel has nothing to
        // end. Ten seconds tell a working cancel from the greeting's own
        // 30 s timeout.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!returned && std::chrono::steady_clock::now() < until) {
            session.Cancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        gave_up = !returned;
    });
    QObject waiter;
    const int port = host.port();
    const HRESULT hr = session.Call(&waiter, [&started, port](const SessionViews& v) {
        started = true;
        return v.connect->Connect(BStr(u"127.0.0.1").Get(), port, 0);
    });
    returned = true;
    canceller.join();
    EXPECT_FALSE(gave_up) << "the call did not end on Cancel";
    EXPECT_EQ(hr, E_CONNECTION_LOST);
    // The session takes the next call as before.
    EXPECT_EQ(session.Call(nullptr, [](const SessionViews& v) { return v.connect->Close(); }), S_OK);
}

TEST(SessionDeathTest, ViewsFromTheUiThreadAreFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Session session;
            (void)session.views();
        },
        "outside its session thread");
}

}  // namespace
}  // namespace q5test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
