// A proxy on 127.0.0.1 in front of a server, for the main session of the
// call control tests: it passes every byte through, except the server's
// answer to a GETFILE command, which it either trickles (one byte every
// `pace`) or passes with another file size announced in its first line (and
// then ends the connection once the server has said all it had).
//
// Thread rule: construct, read and destroy on the test thread; it serves on
// threads of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace q5test {

class TrickleProxy {
public:
    struct Mode {
        std::chrono::milliseconds pace{0};  // > 0: trickle GETFILE answers
        long announce = 0;                  // > 0: the size GETFILE answers announce
    };
    TrickleProxy(int target_port, Mode mode);
    ~TrickleProxy();
    TrickleProxy(const TrickleProxy&) = delete;
    TrickleProxy& operator=(const TrickleProxy&) = delete;

    int port() const { return port_; }
    int connections() const { return connections_.load(); }
    // Ends every connection now, as a server that went away.
    void DropConnections();

private:
    void Accept();
    void Serve(int client);

    int target_port_;
    Mode mode_;
    int listen_fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> drops_{0};
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

}  // namespace q5test
