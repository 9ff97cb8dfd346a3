// Connection: one accepted TCP connection with the reads and writes a q5sim
// session needs. Every wait polls in short steps, so it gives up once the
// server stops, the peer goes away, or the peer stays silent (or stops
// reading) for longer than the given idle limit, or a deadline set for the
// whole connection passes. The socket is non-blocking; a peer that never
// reads cannot hold a session thread for ever.
//
// With StartTls the connection speaks TLS (OpenSSL through the context that
// Asio's SSL layer set up): the handshake and every later read and write
// wait in the same steps and give up for the same reasons as plain TCP.
//
// Bytes that arrive ahead of the reader (a record behind its command line)
// stay in the connection's own buffer for the next read.
//
// Thread rule: one thread uses a Connection (its session's).
#pragma once

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct ssl_ctx_st;
struct ssl_st;

namespace q5sim {

enum class Io {
    ok,
    closed,   // the peer closed its side, or the connection failed
    timeout,  // the idle limit passed without progress, or the deadline passed
    stopped,  // the server is shutting down
    too_long  // ReadLine: the line was longer than allowed (it was skipped)
};

class Connection {
public:
    using Seconds = std::chrono::seconds;

    // `stop` is the server's shutdown flag; it outlives the connection.
    Connection(asio::ip::tcp::socket socket, const std::atomic<bool>& stop);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();  // sends close_notify when TLS is on

    // The server side of the TLS handshake with `context`; false, with the
    // reason in `problem`, when it fails or the peer stays silent for `idle`.
    bool StartTls(ssl_ctx_st* context, Seconds idle, std::string& problem);

    // One line up to LF, without CR LF. A line longer than `max` bytes (line
    // end included) is read to its end and dropped: too_long.
    Io ReadLine(std::string& line, std::size_t max, Seconds idle);
    // Exactly `size` bytes.
    Io ReadExact(char* out, std::size_t size, Seconds idle);
    // Up to `size` bytes (at least one) into `out`; `got` receives the count.
    Io ReadSome(char* out, std::size_t size, std::size_t& got, Seconds idle);
    // Up to and including the next '.', at most `max` characters.
    Io ReadUntilDot(std::string& record, std::size_t max, Seconds idle);
    Io Write(std::string_view data, Seconds idle);

    // Without waiting: false once the peer has closed or the connection has
    // failed. Bytes that arrived are kept for later reads (an event stream
    // peer sends none; whatever it sends is dropped beyond a small limit).
    bool StillOpen();
    // Waits up to `wait` until the peer sends or closes, or `wake` becomes
    // readable; then as StillOpen. Lets an event stream notice at once that
    // its peer has gone.
    bool WaitStillOpen(int wake, std::chrono::milliseconds wait);

    // A time after which every read and write gives up (timeout) however
    // busy the peer is; nullopt removes it.
    void SetDeadline(std::optional<std::chrono::steady_clock::time_point> deadline) { deadline_ = deadline; }

    std::string peer() const { return peer_; }

private:
    // Waits until a poll reports `events`; ok, timeout, stopped or closed.
    Io Wait(short events, Seconds idle);
    // Appends what one receive brings to the buffer.
    Io Fill(Seconds idle);
    // One TLS read or write, waiting as the layer wants (what TLS adds to
    // Fill and Write).
    Io TlsRead(char* out, std::size_t size, std::size_t& got, Seconds idle);
    Io TlsWrite(std::string_view data, std::size_t& put, Seconds idle);

    struct SslFree {
        void operator()(ssl_st* ssl) const;
    };

    asio::ip::tcp::socket socket_;
    const std::atomic<bool>& stop_;
    std::string buffer_;
    std::size_t position_ = 0;
    std::string peer_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::unique_ptr<ssl_st, SslFree> ssl_;
    bool tls_broken_ = false;  // the TLS connection failed or the peer closed it
};

}  // namespace q5sim
