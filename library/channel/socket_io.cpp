#include "channel/socket_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "channel/in_buffer.h"
#include "channel/tls_layer.h"

namespace q5::channel {

namespace {

// One receive takes at most this many bytes; readers take what they need from
// the InBuffer and the rest waits there.
constexpr std::size_t kReceiveChunk = 16384;

// The system's name lookup: the first IPv4 address of `host`.
bool SystemResolve(const std::string& host, std::uint32_t& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    bool ok = false;
    for (const addrinfo* it = found; it != nullptr; it = it->ai_next) {
        if (it->ai_family == AF_INET && it->ai_addrlen >= sizeof(sockaddr_in)) {
            address = reinterpret_cast<const sockaddr_in*>(it->ai_addr)->sin_addr.s_addr;
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
}

// One name lookup, shared by the waiting caller and the helper thread that
// runs it; whichever of the two lets go last frees it. A caller that stopped
// waiting has let go, so the helper's late answer lands here unread.
struct Lookup {
    std::mutex mutex;  // guards the rest
    std::condition_variable finished;
    bool done = false;
    bool ok = false;
    std::uint32_t address = 0;
};

std::int64_t NowNs() noexcept {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

int SocketIo::DefaultPollStepMs() noexcept {
    static const int step = [] {
        const char* text = std::getenv("Q5CLIENT_POLL_STEP_MS");
        if (text == nullptr || *text == '\0') return 1000;
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (*end != '\0' || value < 1 || value > 1000) return 1000;
        return static_cast<int>(value);
    }();
    return step;
}

SocketIo::SocketIo() = default;

SocketIo::~SocketIo() {
    CloseSocket();
}

void SocketIo::SetTimeouts(int connect_ms, int read_ms) noexcept {
    connect_timeout_ = connect_ms / 1000;
    read_timeout_ = read_ms / 1000;
}

void SocketIo::RequestStopAfter(std::chrono::milliseconds delay) noexcept {
    if (delay.count() <= 0) {
        RequestStop();
        return;
    }
    // About 63 years: far enough, and clear of overflow.
    constexpr std::int64_t kLongestMs = 2'000'000'000'000;
    const std::int64_t at = NowNs() + std::min<std::int64_t>(delay.count(), kLongestMs) * 1'000'000;
    std::int64_t current = stop_at_.load(std::memory_order_relaxed);
    while (at < current && !stop_at_.compare_exchange_weak(current, at, std::memory_order_relaxed)) {
    }
}

bool SocketIo::stop_requested() const noexcept {
    const std::int64_t at = stop_at_.load(std::memory_order_relaxed);
    if (at == kNoStop) return false;
    return at == kStopNow || NowNs() >= at;
}

int SocketIo::StepMs() const noexcept {
    const std::int64_t at = stop_at_.load(std::memory_order_relaxed);
    if (at == kNoStop || at == kStopNow) return poll_step_ms_;
    const std::int64_t left_ns = at - NowNs();
    if (left_ns <= 0) return 0;
    const std::int64_t left_ms = (left_ns + 999'999) / 1'000'000;
    return left_ms < poll_step_ms_ ? static_cast<int>(left_ms) : poll_step_ms_;
}

bool SocketIo::Create(int local_port) {
    CloseSocket();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (local_port != 0) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        local.sin_port = htons(static_cast<std::uint16_t>(local_port));
        if (local_port < 0 || local_port > 65535 ||
            ::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            CloseSocket();
            return false;
        }
    }
    return true;
}

SocketIo::Wait SocketIo::WaitFor(short events, int limit_polls, short* revents) {
    int empty_polls = 0;
    for (;;) {
        if (stop_requested()) return Wait::stopped;
        pollfd entry{fd_, events, 0};
        const int rc = ::poll(&entry, 1, StepMs());
        if (stop_requested()) return Wait::stopped;
        if (rc > 0) {
            if (revents != nullptr) *revents = entry.revents;
            // Errors and hang-ups count as ready: the following system call
            // reports what happened.
            return Wait::ready;
        }
        if (rc < 0 && errno != EINTR) return Wait::error;
        if (rc == 0 && limit_polls > 0 && ++empty_polls >= limit_polls) return Wait::timeout;
    }
}

bool SocketIo::Resolve(const char* host, int port, sockaddr_in& address) {
    if (host == nullptr || port < 0 || port > 65535) return false;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host, &address.sin_addr) == 1) return true;

    // The system's lookup cannot be interrupted, so it runs on a helper
    // thread and this one waits in poll steps. The helper holds only the
    // shared Lookup, its own copies of the name and the resolver, and code
    // of this library (which the component runtime never unloads). A lookup
    // that ends is joined here, so no helper is still ending when the
    // process exits; only one given up on a stop is left to end on its own.
    auto lookup = std::make_shared<Lookup>();
    Resolver resolve = resolver_ ? resolver_ : Resolver(&SystemResolve);
    std::thread helper;
    try {
        helper = std::thread([lookup, resolve = std::move(resolve), name = std::string(host)] {
            std::uint32_t found = 0;
            bool ok = false;
            try {
                ok = resolve(name, found);
            } catch (...) {
                ok = false;
            }
            std::lock_guard<std::mutex> guard(lookup->mutex);
            lookup->ok = ok;
            lookup->address = found;
            lookup->done = true;
            lookup->finished.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    {
        std::unique_lock<std::mutex> guard(lookup->mutex);
        while (!lookup->done) {
            if (stop_requested()) {
                guard.unlock();
                helper.detach();
                return false;
            }
            lookup->finished.wait_for(guard, std::chrono::milliseconds(StepMs()));
        }
    }
    helper.join();
    if (!lookup->ok) return false;
    address.sin_addr.s_addr = lookup->address;
    return true;
}

bool SocketIo::Connect(const char* host, int port) {
    if (fd_ < 0) return false;
    sockaddr_in address{};
    if (!Resolve(host, port, address) || stop_requested()) return false;

    // Always non-blocking, so that a stop ends the wait for the peer.
    if (!SetNonBlocking(fd_)) return false;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
    if (errno != EINPROGRESS && errno != EINTR) return false;

    // A timeout of T seconds allows T + 1 poll steps; without a timeout the
    // system's own limit ends a connect that is never answered.
    const int limit = connect_timeout_ > 0 ? connect_timeout_ + 1 : 0;
    short revents = 0;
    if (WaitFor(POLLOUT, limit, &revents) != Wait::ready) return false;
    if ((revents & POLLOUT) == 0) return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

long SocketIo::ReceiveSome(InBuffer& in) {
    if (fd_ < 0) return -1;
    if (tls_) return ReceiveSomeTls(in);
    const int limit = read_timeout_ > 0 ? read_timeout_ + 1 : 0;
    char chunk[kReceiveChunk];
    for (;;) {
        if (WaitFor(POLLIN, limit) != Wait::ready) return -1;
        const ssize_t rc = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (rc > 0) {
            try {
                in.Append(chunk, static_cast<std::size_t>(rc));
            } catch (const std::bad_alloc&) {
                return -1;
            }
            return static_cast<long>(rc);
        }
        if (rc == 0) return 0;
        if (!WouldBlock(errno)) return -1;
        // Readiness without data: wait again (a fresh wait, as nothing failed).
    }
}

long SocketIo::ReceiveNow(char* out, std::size_t size) {
    if (fd_ < 0 || stop_requested()) return -1;
    if (tls_) return ReceiveNowTls(out, size);
    for (;;) {
        const ssize_t rc = ::recv(fd_, out, size, MSG_DONTWAIT);
        if (rc > 0) return static_cast<long>(rc);
        if (rc == 0) return -1;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

bool SocketIo::SendAll(const char* data, std::size_t size) {
    if (fd_ < 0) return false;
    if (tls_) return SendAllTls(data, size);
    const int limit = read_timeout_ > 0 ? read_timeout_ + 1 : 0;
    std::size_t sent = 0;
    // The socket is nearly always writable: try first and wait only when the
    // send buffer is full (one system call per part instead of two).
    while (sent < size) {
        if (stop_requested()) return false;
        const ssize_t rc = ::send(fd_, data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (rc > 0) {
            sent += static_cast<std::size_t>(rc);
            continue;
        }
        if (rc < 0 && !WouldBlock(errno)) return false;
        if (WaitFor(POLLOUT, limit) != Wait::ready) return false;
    }
    return true;
}

void SocketIo::CloseSocket(bool shutdown_first) noexcept {
    if (fd_ < 0) return;
    if (tls_) {
        if (shutdown_first) tls_->Shutdown();
        tls_.reset();
    }
    if (shutdown_first) ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace q5::channel
