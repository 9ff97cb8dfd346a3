// The measuring parts of the UI latency benchmark, shared by its drivers:
// a 10 ms timer on the UI thread that notes when it runs, the figures taken
// from those notes, and q5sim in a process of its own.
//
// Lateness is taken per 10 ms slot: for every moment the timer was due in a
// stretch of time, how long until the UI thread next ran it. A thread that
// stays free shows a few milliseconds at most; a thread stuck for 31 s shows
// lateness up to 31 s in every slot of the stuck stretch (a plain interval
// count would see one late tick and nothing else).
//
// Thread rule: UI thread only (the timer); Q5SimProcess from one thread.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace q5bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class TickProbe {
public:
    static constexpr std::chrono::milliseconds kInterval{10};

    TickProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(static_cast<int>(kInterval.count()));
        QObject::connect(&timer_, &QTimer::timeout, [this] { ticks_.push_back(Clock::now()); });
    }
    void Start() {
        ticks_.reserve(1 << 16);
        timer_.start();
    }
    void Stop() { timer_.stop(); }

    // The first tick at or after `when`, or Clock::time_point::max() if none.
    Clock::time_point FirstTickAfter(Clock::time_point when) const {
        const auto it = std::lower_bound(ticks_.begin(), ticks_.end(), when);
        return it == ticks_.end() ? Clock::time_point::max() : *it;
    }

    struct Figures {
        double worst_ms = 0;
        double worst_at_ms = 0;  // when the worst slot was due, from `from`
        double p99_ms = 0;
        size_t count = 0;  // slots measured
    };
    // Lateness of every slot in [from, to): worst and 99th percentile.
    Figures Lateness(Clock::time_point from, Clock::time_point to) const {
        std::vector<double> late;
        Figures figures;
        for (Clock::time_point due = from; due < to; due += kInterval) {
            const Clock::time_point tick = FirstTickAfter(due);
            late.push_back(tick == Clock::time_point::max() ? Ms(to - due) : Ms(tick - due));
            if (late.back() > figures.worst_ms) {
                figures.worst_ms = late.back();
                figures.worst_at_ms = Ms(due - from);
            }
        }
        figures.count = late.size();
        if (late.empty()) return figures;
        std::sort(late.begin(), late.end());
        figures.p99_ms = late[std::min(late.size() - 1, late.size() * 99 / 100)];
        return figures;
    }

private:
    QTimer timer_;
    std::vector<Clock::time_point> ticks_;
};

// q5sim with its demo data on a free port of 127.0.0.1 (mailbox 101,
// password 1234). Stop and Resume send SIGSTOP and SIGCONT: a stalled
// server that keeps its connections open.
class Q5SimProcess {
public:
    explicit Q5SimProcess(const std::string& tool) {
        char dir_template[] = "/tmp/q5bench-ui-XXXXXX";
        if (!mkdtemp(dir_template)) return;
        data_dir_ = dir_template;
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            const int null_fd = open("/dev/null", O_WRONLY);
            if (null_fd >= 0) dup2(null_fd, STDERR_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            execl(tool.c_str(), tool.c_str(), "--listen", "127.0.0.1:0", "--data", data_dir_.c_str(),
                  "--seed-demo", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        std::string first;
        char c;
        pollfd waiting{out[0], POLLIN, 0};
        while (first.size() < 64 && poll(&waiting, 1, 20000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') {
            first += c;
        }
        output_ = out[0];
        if (first.rfind("port ", 0) == 0) port_ = atoi(first.c_str() + 5);
    }
    ~Q5SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            kill(pid_, SIGCONT);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        if (output_ >= 0) close(output_);
        std::error_code ignored;
        if (!data_dir_.empty()) std::filesystem::remove_all(data_dir_, ignored);
    }
    Q5SimProcess(const Q5SimProcess&) = delete;
    Q5SimProcess& operator=(const Q5SimProcess&) = delete;

    int port() const { return port_; }
    void Pause() const { kill(pid_, SIGSTOP); }
    void Resume() const { kill(pid_, SIGCONT); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    int output_ = -1;
    std::string data_dir_;
};

// A temp folder standing in for the user's home, with the registry of
// classes in it; removed at the end.
class TempHome {
public:
    TempHome() {
        char dir_template[] = "/tmp/q5bench-home-XXXXXX";
        if (mkdtemp(dir_template)) path_ = dir_template;
        for (const char* sub : {"config", "data", "runtime", "system"}) {
            std::filesystem::create_directories(path_ + "/" + sub);
        }
        std::filesystem::permissions(path_ + "/runtime", std::filesystem::perms::owner_all);
        setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (path_ + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (path_ + "/runtime").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (path_ + "/system").c_str(), 1);
        setenv("Q5COM_REGISTRY", (path_ + "/registry").c_str(), 1);
        unsetenv("Q5CLIENT_HOME");
    }
    ~TempHome() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

private:
    std::string path_;
};

}  // namespace q5bench
