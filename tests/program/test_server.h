// Servers for the desktop program's tests, on 127.0.0.1 only.
//
// FakeQ5Server: a small line server that speaks enough of the protocol for
// the shell (greeting, USER/PASS, NOOP, QUIT; every other command is
// refused) and records what it received, so tests can see each connect and
// each command. Stop() closes everything, as a server that went away.
//
// Q5Sim: the server emulator q5sim with its demo data, started on a free
// port (mailbox 101, password 1234).
//
// Thread rule: construct, Stop and read from the test thread; the fake
// serves on its own thread.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace q5test {

class TestServer {
public:
    virtual ~TestServer() = default;
    virtual int port() const = 0;
    virtual void Stop() = 0;
    // The demo mailbox and its password.
    virtual std::string user() const { return "101"; }
    virtual std::string password() const { return "1234"; }
};

class FakeQ5Server : public TestServer {
public:
    FakeQ5Server();
    ~FakeQ5Server() override;
    int port() const override { return port_; }
    void Stop() override;

    int connections() const { return connections_.load(); }
    // Every command line received, without its line end.
    std::vector<std::string> Lines() const;

private:
    void Run();
    void Serve(int fd, std::string& pending);

    int listen_fd_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<int> connections_{0};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::thread thread_;
};

class Q5Sim : public TestServer {
public:
    // Starts q5sim with `extra` options (--tls-cert ...); port() is 0 when
    // it could not be started.
    explicit Q5Sim(const std::string& tool, const std::vector<std::string>& extra = {});
    ~Q5Sim() override;
    int port() const override { return port_; }
    void Stop() override;
    // Its data folder (the database q5sim.db and the mailboxes' files).
    const std::string& data_dir() const { return data_dir_; }
    // What it logged so far: a line per command, "#connection user: command -> reply".
    std::string Log() const;
    // Stops and resumes the process (SIGSTOP, SIGCONT): a server that
    // stalls with its connections open.
    void Pause() const;
    void Resume() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    int output_ = -1;  // its standard output, open until it stops
    std::string data_dir_;
};

// q5sim when the build has it, else the fake.
std::unique_ptr<TestServer> StartDemoServer();

}  // namespace q5test
