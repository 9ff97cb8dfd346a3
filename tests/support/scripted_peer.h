// ScriptedPeer: a TCP server on 127.0.0.1 (ephemeral port) for tests. It
// plays a script: accept a connection, expect exact bytes from the client,
// send exact bytes, pause, close. The script runs on its own thread once
// Start() is called; Finish() waits for it and reports every deviation.
//
// Thread rule: build the script and call Start/Finish from one thread;
// set_step_timeout only before Start. Received() may be called any time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace q5test {

// A 127.0.0.1 port on which nothing listens: bound once, then closed again.
int ClosedPort();

// A non-blocking socket listening on 127.0.0.1 at an ephemeral port (stored
// in `port`); -1 (errno set) when none could be had.
int ListenOnLoopback(int& port);

class ScriptedPeer {
public:
    ScriptedPeer();   // binds and listens on 127.0.0.1:0
    ~ScriptedPeer();  // stops the script, closes every socket, joins
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    int port() const { return port_; }

    // Script steps, run in order.
    ScriptedPeer& Accept();                   // wait for the next connection
    ScriptedPeer& Expect(std::string bytes);  // read exactly these bytes
    ScriptedPeer& Send(std::string bytes);    // write these bytes
    ScriptedPeer& Pause(std::chrono::milliseconds ms);
    ScriptedPeer& CloseConnection();  // close the current connection
    // Reads until the client closes its side (or the step times out).
    ScriptedPeer& ExpectClosed();

    void Start();
    // Waits for the script's end (at most `limit`); returns the deviations
    // (empty when the client behaved exactly as scripted).
    std::vector<std::string> Finish(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Every byte the peer received, in order, over all connections.
    std::string Received() const;
    // How long each step that waits (Accept, Expect, ExpectClosed) may wait.
    void set_step_timeout(std::chrono::milliseconds ms) { step_timeout_ = ms; }

private:
    struct Step {
        enum class Kind { accept, expect, send, pause, close, expect_closed };
        Kind kind;
        std::string bytes;
        std::chrono::milliseconds pause{0};
    };
    enum class Ready { yes, timeout, stopped };

    void Run();
    // Plays one step; false after a deviation (the script stops there).
    bool Play(std::size_t index, const Step& step);
    bool PlayAccept(const std::string& where);
    bool PlayExpect(const std::string& where, const std::string& expected);
    bool PlaySend(const std::string& where, const std::string& bytes);
    bool PlayExpectClosed(const std::string& where);
    Ready WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) const;
    void Deviation(std::string text);
    void Record(const char* data, std::size_t size);
    void CloseConn();

    std::vector<Step> steps_;
    int listen_fd_ = -1;
    int conn_fd_ = -1;  // the script thread's while it runs; Finish's after
    int port_ = 0;
    std::chrono::milliseconds step_timeout_{5000};
    std::thread thread_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;  // guards errors_, received_, done_
    std::condition_variable done_changed_;
    bool done_ = false;
    std::vector<std::string> errors_;
    std::string received_;
};

}  // namespace q5test
