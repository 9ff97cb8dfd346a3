// Server: the q5sim listener. Accepts connections on one TCP endpoint and
// runs each in a session thread of its own, so a slow or stalled peer never
// holds up another; shares the call center, the configuration and the
// shutdown flag with every session.
//
// Thread rule: Start, Run and Stop from the owning thread; RequestStop from
// any thread (a signal handler thread included).
#pragma once

#include <asio.hpp>
#include <asio/ssl.hpp>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "calls.h"

namespace q5sim {

struct ServerConfig {
    std::string host = "127.0.0.1";
    unsigned short port = 1008;
    std::filesystem::path data_dir;
    // Both set: every connection speaks TLS (PEM certificate chain and key).
    std::filesystem::path tls_cert;
    std::filesystem::path tls_key;
    std::map<std::string, std::string> superusers;  // name -> password
    CallTiming timing;
    int channels = 8;
    int demo_call_seconds = 0;                // 0: no demo calls
    std::chrono::seconds idle_limit{600};     // waiting for the next command
    std::chrono::seconds transfer_limit{30};  // silence inside a record, file or event record
    std::chrono::seconds login_limit{30};     // from the connect to a successful login, in all
    std::size_t max_connections = 200;
    // Open connections from one peer address. The program holds two or three
    // (commands and event logs), so this leaves room for many programs and
    // tests behind one address while no single address can take every slot.
    std::size_t max_per_address = 32;
};

// What every session shares.
struct ServerContext {
    explicit ServerContext(ServerConfig c)
        : config(std::move(c)),
          calls(config.channels, config.timing),
          started(std::chrono::steady_clock::now()) {}
    const ServerConfig config;
    CallCenter calls;
    std::atomic<bool> stop{false};
    const std::chrono::steady_clock::time_point started;
};

class Server {
public:
    explicit Server(ServerConfig config);
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    ~Server();  // Stop()

    // Prepares the database and binds the listener; throws on failure.
    // Returns the port bound (the chosen one when the port was 0).
    unsigned short Start();
    // Serves until RequestStop (or a signal handled by the caller).
    void Run();
    void RequestStop();
    // Stops accepting, ends every session and joins every thread.
    void Stop();

    ServerContext& context() { return *context_; }

private:
    struct Worker {
        std::thread thread;
        std::string address;  // the peer's, without the port
        std::atomic<bool> done{false};
    };

    void Accept();
    void ReapFinished();
    void DemoCallLoop();

    std::unique_ptr<ServerContext> context_;
    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    std::unique_ptr<asio::ssl::context> tls_;  // null: plain TCP
    std::mutex workers_mutex_;
    std::list<std::unique_ptr<Worker>> workers_;
    int next_id_ = 1;
    std::thread demo_thread_;
    std::mutex demo_mutex_;
    std::condition_variable demo_wake_;
    bool stopped_ = false;
};

}  // namespace q5sim
