#include "channel/socket_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "channel/in_buffer.h"
#include "channel/tls_layer.h"

namespace q5::channel {

namespace {

// One receive takes at most this many bytes; readers take what they need from
// the InBuffer and the rest waits there.
constexpr std::size_t kReceiveChunk = 16384;

bool Resolve(const char* host, int port, sockaddr_in& address) {
    if (host == nullptr || port < 0 || port > 65535) return false;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host, &address.sin_addr) == 1) return true;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return false;
    bool ok = false;
    for (const addrinfo* it = found; it != nullptr; it = it->ai_next) {
        if (it->ai_family == AF_INET && it->ai_addrlen >= sizeof(sockaddr_in)) {
            address.sin_addr = reinterpret_cast<const sockaddr_in*>(it->ai_addr)->sin_addr;
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
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

bool SocketIo::Create(int local_port) {
    ClearStop();
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
        const int rc = ::poll(&entry, 1, poll_step_ms_);
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

bool SocketIo::Connect(const char* host, int port) {
    if (fd_ < 0) return false;
    sockaddr_in address{};
    if (!Resolve(host, port, address)) return false;
    const auto* peer = reinterpret_cast<const sockaddr*>(&address);

    if (connect_timeout_ <= 0) {
        // Plain blocking connect; the socket becomes non-blocking afterwards.
        int rc = ::connect(fd_, peer, sizeof address);
        if (rc != 0 && errno == EINTR) {
            // The connect goes on in the background; wait for its end.
            short revents = 0;
            if (WaitFor(POLLOUT, 0, &revents) != Wait::ready) return false;
            int error = 0;
            socklen_t length = sizeof error;
            if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return false;
            rc = 0;
        }
        return rc == 0 && SetNonBlocking(fd_);
    }

    if (!SetNonBlocking(fd_)) return false;
    if (::connect(fd_, peer, sizeof address) == 0) return true;
    if (errno != EINPROGRESS && errno != EINTR) return false;

    // A timeout of T seconds allows T + 1 poll steps.
    short revents = 0;
    if (WaitFor(POLLOUT, connect_timeout_ + 1, &revents) != Wait::ready) return false;
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
