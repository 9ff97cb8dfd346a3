// FaultPeer: a TCP server on 127.0.0.1 (ephemeral port) that plays one known
// exchange per connection (expect the client's bytes, send the server's
// bytes) and injects one fault into what it sends, at an absolute offset of
// the server's bytes of the exchange:
//   cut      send bytes [0, k), then close the sending side;
//   stall    send bytes [0, k), then keep the connection open, silent;
//   corrupt  send every byte, byte k replaced by another value.
// After the exchange (or the fault) the peer reads and keeps whatever the
// client still sends until the client closes its side, so a test learns
// exactly what the client sent after a fault and whether it let the
// connection go.
//
// With UseTls the peer speaks TLS: every play begins with the handshake, the
// offsets count the bytes inside TLS, a cut closes the TCP connection
// without TLS's own close (as a connection lost on the way does), and
// ThenClose sends TLS's close first.
//
// Thread rule: Start, WaitClientClosed and Finish from one thread; one
// connection is played at a time, all on one thread of the peer's own that
// lives as long as the peer (a thread that waits already answers a new
// connection sooner than one started for it).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct ssl_ctx_st;
struct ssl_st;

namespace q5test {

enum class FaultKind { none, cut, stall, corrupt };

struct Fault {
    FaultKind kind = FaultKind::none;
    std::size_t offset = 0;  // in the server's bytes of the exchange
    char value = 0;          // corrupt: the byte sent in place of byte `offset`

    bool hits(std::size_t begin, std::size_t end) const {
        return kind != FaultKind::none && offset >= begin && offset < end;
    }
};

// "cut at 12", "corrupt at 3 with 0x2D" and so on, for failure messages.
std::string Describe(const Fault& fault);

// The bytes of one exchange, in order. Offsets given to a Fault count only
// the server's bytes.
class Exchange {
public:
    struct Step {
        bool from_client = false;
        std::string bytes;
    };

    Exchange& Expect(std::string bytes);
    Exchange& Send(std::string bytes);
    // After the last step the server closes its sending side (as an event
    // stream ends when the server goes away).
    Exchange& ThenClose();

    const std::vector<Step>& steps() const { return steps_; }
    bool closes() const { return closes_; }
    // Server bytes so far: the offset at which the next Send starts.
    std::size_t server_size() const { return server_size_; }
    // Every server byte, in order.
    std::string ServerBytes() const;
    // The server's bytes with `fault` applied (corrupt only; the others are
    // the whole stream).
    std::string CorruptedBytes(const Fault& fault) const;
    // What a client that follows the exchange has sent when the server's
    // byte `offset` is due: every expected step before the Send holding it.
    std::string ClientBytesBefore(std::size_t offset) const;

private:
    std::vector<Step> steps_;
    std::size_t server_size_ = 0;
    bool closes_ = false;
};

struct PeerReport {
    bool accepted = false;
    // The first difference from the exchange before the fault was injected
    // (after it the client may rightly go its own way); empty when none.
    std::string deviation;
    bool client_closed = false;  // the client closed the connection
    std::string received;        // every byte the client sent
};

class FaultPeer {
public:
    FaultPeer();   // binds and listens on 127.0.0.1:0
    ~FaultPeer();  // stops a running play, closes every socket
    FaultPeer(const FaultPeer&) = delete;
    FaultPeer& operator=(const FaultPeer&) = delete;

    int port() const { return port_; }
    bool listening() const { return listen_fd_ >= 0; }
    // Serves TLS with this PEM certificate and key from the next play on;
    // false when they cannot be used. Call before the first Start.
    bool UseTls(const std::string& cert_file, const std::string& key_file);

    // Plays `exchange` with `fault` on the next connection, on a thread.
    void Start(const Exchange& exchange, Fault fault);
    // Waits until the client has closed the connection (at most `limit`).
    bool WaitClientClosed(std::chrono::milliseconds limit);
    // Waits for the play's end (at most `limit`, then stops it).
    PeerReport Finish(std::chrono::milliseconds limit = std::chrono::seconds(10));

private:
    struct Job {
        Exchange exchange;
        Fault fault;
    };
    void Serve();
    void Play(const Exchange& exchange, const Fault& fault);
    bool Accept(int& fd);
    // Reads exactly `size` bytes into `out`; false when the client closed or
    // the play was stopped first.
    bool ReadExactly(int fd, std::size_t size, std::string& out);
    bool SendBytes(int fd, const char* data, std::size_t size);
    // Keeps what the client sends until it closes or the play is stopped.
    void Drain(int fd);
    // One receive or send without waiting, through TLS when it is on: the
    // count moved (> 0), 0 when the connection ended or failed, -1 when
    // `events` must be waited for first.
    long ReceiveSome(int fd, char* out, std::size_t size, short& events);
    long SendSome(int fd, const char* data, std::size_t size, short& events);
    bool Handshake(int fd);
    void Keep(const char* data, std::size_t size);

    int listen_fd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;  // guards report_, ended_, job_ and quit_
    std::condition_variable changed_;
    PeerReport report_;
    bool ended_ = true;       // no play is running
    std::optional<Job> job_;  // the next play, until the thread takes it
    bool quit_ = false;
    ssl_ctx_st* tls_ = nullptr;  // null: plain TCP
    ssl_st* ssl_ = nullptr;      // the running play's, with TLS on (its thread only)
};

}  // namespace q5test
