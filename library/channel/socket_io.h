// SocketIo: one TCP socket with time-limited connect, receive and send.
// Every wait (the host-name lookup and the TCP connect included) polls in
// steps of one second and gives up at the next step once a stop has been
// requested; a stop requested for a later time ends the wait at that time.
// The step can be shortened for a whole process with Q5CLIENT_POLL_STEP_MS
// (1..1000, read once), so that fault-injection and soak runs see stalls
// time out in milliseconds instead of half a minute; tests of one session
// may also set it with set_poll_step_ms.
//
// Thread rule: one thread uses a SocketIo; only RequestStop and
// RequestStopAfter may be called from another thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct sockaddr_in;

namespace q5::channel {

class InBuffer;

class SocketIo {
public:
    SocketIo() = default;
    SocketIo(const SocketIo&) = delete;
    SocketIo& operator=(const SocketIo&) = delete;
    ~SocketIo();

    // Both in milliseconds; stored as whole seconds (integer division).
    void SetTimeouts(int connect_ms, int read_ms) noexcept;
    int connect_timeout() const noexcept { return connect_timeout_; }
    int read_timeout() const noexcept { return read_timeout_; }
    void set_read_timeout(int seconds) noexcept { read_timeout_ = seconds; }

    // Creates a TCP socket, bound to local_port when it is non-zero. False
    // when no socket could be had. A stop request stays as it is.
    bool Create(int local_port);

    // Resolves host (dotted IPv4 address without lookup, else the first
    // IPv4 address of a name lookup) and connects within the connect
    // timeout (0 = no limit but the system's own). The socket stays
    // non-blocking. The lookup runs on a helper thread of its own while this
    // thread waits for it in poll steps, so a stop ends the lookup's wait
    // too; the helper's late answer is then dropped.
    bool Connect(const char* host, int port);

    // The name lookup, replaceable for tests: resolves `host` to an IPv4
    // address in network byte order. It runs on a helper thread that may
    // outlive this object, so it must not refer to the object.
    using Resolver = std::function<bool(const std::string& host, std::uint32_t& address)>;
    void set_resolver(Resolver resolver) { resolver_ = std::move(resolver); }

    // Waits until the socket is readable and appends what one receive
    // delivers to `in`. Returns the number of bytes appended; 0 when the peer
    // closed; -1 on an error, on a stop request, or once read timeout + 1
    // polls passed without a byte (a read timeout of 0 waits without limit).
    long ReceiveSome(InBuffer& in);

    // One receive of at most `size` bytes straight into `out`, without
    // waiting and without the InBuffer (for a reader that is owed at least
    // `size` bytes, see in_buffer.h). Returns the count; 0 when no data is
    // there yet; -1 when the peer closed, the socket failed or a stop was
    // requested.
    long ReceiveNow(char* out, std::size_t size);

    // Sends all of data, waiting for writability before each part. Returns
    // true when every byte was taken; false on an error, a stop request, or
    // once read timeout + 1 polls passed without progress.
    bool SendAll(const char* data, std::size_t size);

    // Makes the current wait and every later one give up within a poll
    // step, until ClearStop.
    void RequestStop() noexcept { stop_at_.store(kStopNow, std::memory_order_relaxed); }
    // The same from `delay` on; an earlier stop request stays in force.
    void RequestStopAfter(std::chrono::milliseconds delay) noexcept;
    void ClearStop() noexcept { stop_at_.store(kNoStop, std::memory_order_relaxed); }
    // Whether a stop is in force (requested, and its time has come).
    bool stop_requested() const noexcept;

    int socket() const noexcept { return fd_; }
    // Closes the socket, if any (shut down in both directions first when
    // `shutdown_first`).
    void CloseSocket(bool shutdown_first = false) noexcept;

    // Length of one wait step in milliseconds; 1000 unless
    // Q5CLIENT_POLL_STEP_MS says otherwise (see DefaultPollStepMs).
    void set_poll_step_ms(int ms) noexcept { poll_step_ms_ = ms; }
    // 1000, or Q5CLIENT_POLL_STEP_MS when it holds a whole number 1..1000.
    static int DefaultPollStepMs() noexcept;

private:
    enum class Wait { ready, timeout, stopped, error };
    // Polls for `events` in poll steps until the socket is ready, a stop is
    // requested, or `limit_polls` steps in a row saw nothing (0 = no limit).
    // On ready, `revents` (when given) receives what the poll reported.
    Wait WaitFor(short events, int limit_polls, short* revents = nullptr);
    // One poll step, cut short when a stop is due before it ends.
    int StepMs() const noexcept;
    // Resolves host as Connect describes; false on failure or stop.
    bool Resolve(const char* host, int port, sockaddr_in& address);

    // Steady-clock nanoseconds from which a stop is in force, or one of:
    static constexpr std::int64_t kNoStop = INT64_MAX;
    static constexpr std::int64_t kStopNow = INT64_MIN;

    int read_timeout_ = 0;
    int connect_timeout_ = 0;
    std::atomic<std::int64_t> stop_at_{kNoStop};
    Resolver resolver_;
    int fd_ = -1;
    int poll_step_ms_ = DefaultPollStepMs();
};

}  // namespace q5::channel
