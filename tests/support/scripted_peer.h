// ScriptedPeer: a TCP server on 127.0.0.1 (ephemeral port) for tests. It
// plays a script: accept a connection, expect exact bytes from the client,
// send exact bytes, pause, close. The script runs on its own thread once
// Start() is called; Finish() waits for it and reports every deviation.
//
// Thread rule: build the script and call Start/Finish from one thread.
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace q5test {

class ScriptedPeer {
public:
    ScriptedPeer();   // binds and listens on 127.0.0.1:0
    ~ScriptedPeer();  // stops the script, closes every socket, joins
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    int port() const { return port_; }

    // Script steps, run in order.
    ScriptedPeer& Accept();                        // wait for the next connection
    ScriptedPeer& Expect(std::string bytes);       // read exactly these bytes
    ScriptedPeer& Send(std::string bytes);         // write these bytes
    ScriptedPeer& Pause(std::chrono::milliseconds ms);
    ScriptedPeer& CloseConnection();               // close the current connection
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
    struct Step;
    void Run();
    std::vector<Step*> steps_;
    int listen_fd_ = -1;
    int conn_fd_ = -1;
    int port_ = 0;
    std::chrono::milliseconds step_timeout_{5000};
    std::thread thread_;
    mutable std::vector<std::string> errors_;
    mutable std::string received_;
    struct Shared;
    Shared* shared_ = nullptr;
};

}  // namespace q5test
