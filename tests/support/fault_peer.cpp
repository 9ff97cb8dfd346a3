#include "fault_peer.h"

#include "scripted_peer.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace q5test {

namespace {

using Clock = std::chrono::steady_clock;

// Every wait is cut into slices this long so a stop is seen promptly.
constexpr int kSliceMs = 5;

const char* KindName(FaultKind kind) {
    switch (kind) {
        case FaultKind::none:
            return "no fault";
        case FaultKind::cut:
            return "cut";
        case FaultKind::stall:
            return "stall";
        case FaultKind::corrupt:
            return "corrupt";
    }
    return "?";
}

// Waits for `events` on fd in slices; false once `stop` is set.
bool WaitFor(int fd, short events, const std::atomic<bool>& stop) {
    for (;;) {
        if (stop.load()) return false;
        pollfd entry{fd, events, 0};
        const int rc = ::poll(&entry, 1, kSliceMs);
        if (rc > 0) return true;
        if (rc < 0 && errno != EINTR) return false;
    }
}

}  // namespace

std::string Describe(const Fault& fault) {
    std::string text = KindName(fault.kind);
    if (fault.kind == FaultKind::none) return text;
    text += " at " + std::to_string(fault.offset);
    if (fault.kind == FaultKind::corrupt) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " with 0x%02X", static_cast<unsigned char>(fault.value));
        text += hex;
    }
    return text;
}

// ---- Exchange ---------------------------------------------------------------------

Exchange& Exchange::Expect(std::string bytes) {
    steps_.push_back({true, std::move(bytes)});
    return *this;
}

Exchange& Exchange::Send(std::string bytes) {
    server_size_ += bytes.size();
    steps_.push_back({false, std::move(bytes)});
    return *this;
}

Exchange& Exchange::ThenClose() {
    closes_ = true;
    return *this;
}

std::string Exchange::ServerBytes() const {
    std::string all;
    for (const Step& step : steps_) {
        if (!step.from_client) all += step.bytes;
    }
    return all;
}

std::string Exchange::CorruptedBytes(const Fault& fault) const {
    std::string all = ServerBytes();
    if (fault.kind == FaultKind::corrupt && fault.offset < all.size()) all[fault.offset] = fault.value;
    return all;
}

std::string Exchange::ClientBytesBefore(std::size_t offset) const {
    std::string sent;
    std::size_t position = 0;
    for (const Step& step : steps_) {
        if (step.from_client) {
            sent += step.bytes;
            continue;
        }
        if (offset < position + step.bytes.size()) break;
        position += step.bytes.size();
    }
    return sent;
}

// ---- FaultPeer ----------------------------------------------------------------------

FaultPeer::FaultPeer() {
    listen_fd_ = ListenOnLoopback(port_);
}

FaultPeer::~FaultPeer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    stop_ = true;
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) ::close(listen_fd_);
    if (tls_ != nullptr) SSL_CTX_free(tls_);
}

bool FaultPeer::UseTls(const std::string& cert_file, const std::string& key_file) {
    tls_ = SSL_CTX_new(TLS_server_method());
    if (tls_ == nullptr) return false;
    SSL_CTX_set_min_proto_version(tls_, TLS1_2_VERSION);
    // No session tickets: the server's bytes are only the exchange's.
    SSL_CTX_set_num_tickets(tls_, 0);
    return SSL_CTX_use_certificate_chain_file(tls_, cert_file.c_str()) == 1 &&
           SSL_CTX_use_PrivateKey_file(tls_, key_file.c_str(), SSL_FILETYPE_PEM) == 1;
}

long FaultPeer::ReceiveSome(int fd, char* out, std::size_t size, short& events) {
    events = POLLIN;
    if (ssl_ == nullptr) {
        const ssize_t n = ::recv(fd, out, size, MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? -1 : 0;
    }
    ERR_clear_error();
    const int n = SSL_read(ssl_, out, static_cast<int>(size));
    if (n > 0) return n;
    const int error = SSL_get_error(ssl_, n);
    if (error == SSL_ERROR_WANT_WRITE) events = POLLOUT;
    return error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ? -1 : 0;
}

long FaultPeer::SendSome(int fd, const char* data, std::size_t size, short& events) {
    events = POLLOUT;
    if (ssl_ == nullptr) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) return static_cast<long>(n);
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? -1 : 0;
    }
    ERR_clear_error();
    const int n = SSL_write(ssl_, data, static_cast<int>(size));
    if (n > 0) return n;
    const int error = SSL_get_error(ssl_, n);
    if (error == SSL_ERROR_WANT_READ) events = POLLIN;
    return error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ? -1 : 0;
}

bool FaultPeer::Handshake(int fd) {
    ssl_ = SSL_new(tls_);
    if (ssl_ == nullptr || SSL_set_fd(ssl_, fd) != 1) return false;
    SSL_set_accept_state(ssl_);
    for (;;) {
        ERR_clear_error();
        const int rc = SSL_do_handshake(ssl_);
        if (rc == 1) return true;
        const int error = SSL_get_error(ssl_, rc);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return false;
        if (!WaitFor(fd, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, stop_)) return false;
    }
}

void FaultPeer::Start(const Exchange& exchange, Fault fault) {
    if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // A play still running is stopped first.
        if (job_ || !ended_) {
            stop_ = true;
            changed_.wait(lock, [&] { return !job_ && ended_; });
        }
        stop_ = false;
        report_ = PeerReport{};
        ended_ = false;
        job_ = Job{exchange, fault};
    }
    changed_.notify_all();
}

void FaultPeer::Serve() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return quit_ || job_.has_value(); });
            if (quit_) return;
            job = std::move(*job_);
            job_.reset();
        }
        Play(job.exchange, job.fault);
    }
}

bool FaultPeer::WaitClientClosed(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return report_.client_closed || ended_; }) &&
           report_.client_closed;
}

PeerReport FaultPeer::Finish(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, limit, [&] { return !job_ && ended_; })) {
        stop_ = true;
        changed_.wait(lock, [&] { return !job_ && ended_; });
    }
    return report_;
}

void FaultPeer::Keep(const char* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    report_.received.append(data, size);
}

bool FaultPeer::Accept(int& fd) {
    for (;;) {
        if (!WaitFor(listen_fd_, POLLIN, stop_)) return false;
        fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            // Every step goes out at once: small sends in a row must not
            // wait for the client's delayed acknowledgement.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return true;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) return false;
    }
}

bool FaultPeer::ReadExactly(int fd, std::size_t size, std::string& out) {
    out.clear();
    char chunk[4096];
    while (out.size() < size) {
        const std::size_t want = std::min(sizeof chunk, size - out.size());
        short events = 0;
        const long n = ReceiveSome(fd, chunk, want, events);
        if (n > 0) {
            out.append(chunk, static_cast<std::size_t>(n));
            Keep(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0 || !WaitFor(fd, events, stop_)) return false;
    }
    return true;
}

bool FaultPeer::SendBytes(int fd, const char* data, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        short events = 0;
        const long n = SendSome(fd, data + sent, size - sent, events);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0 || !WaitFor(fd, events, stop_)) return false;
    }
    return true;
}

void FaultPeer::Drain(int fd) {
    char chunk[4096];
    for (;;) {
        short events = 0;
        const long n = ReceiveSome(fd, chunk, sizeof chunk, events);
        if (n > 0) {
            Keep(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0) {
            if (!WaitFor(fd, events, stop_)) return;
            continue;
        }
        // Closed by the client (0) or reset: either way it let go.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            report_.client_closed = true;
        }
        changed_.notify_all();
        return;
    }
}

void FaultPeer::Play(const Exchange& exchange, const Fault& fault) {
    int fd = -1;
    if (Accept(fd) && tls_ != nullptr && !Handshake(fd)) {
        // The client gave up during the handshake: nothing was played.
        SSL_free(ssl_);
        ssl_ = nullptr;
        ::close(fd);
        fd = -1;
    }
    if (fd >= 0) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            report_.accepted = true;
        }
        std::size_t position = 0;      // server bytes sent or skipped so far
        bool injected = false;         // the fault has taken effect
        bool stopped_sending = false;  // cut or stall: nothing more goes out
        std::string deviation;
        for (std::size_t i = 0; i < exchange.steps().size() && !stopped_sending; ++i) {
            const Exchange::Step& step = exchange.steps()[i];
            if (step.from_client) {
                std::string got;
                const bool complete = ReadExactly(fd, step.bytes.size(), got);
                if (complete && got == step.bytes) continue;
                if (!injected) {
                    deviation = "step " + std::to_string(i) + ": expected " +
                                std::to_string(step.bytes.size()) + " bytes \"" + step.bytes + "\", got \"" +
                                got + "\"" + (complete ? "" : " before the client closed");
                }
                break;
            }
            std::string bytes = step.bytes;
            const std::size_t begin = position;
            position += bytes.size();
            if (!fault.hits(begin, position)) {
                if (!SendBytes(fd, bytes.data(), bytes.size())) break;
                continue;
            }
            const std::size_t at = fault.offset - begin;
            injected = true;
            if (fault.kind == FaultKind::corrupt) {
                bytes[at] = fault.value;
                if (!SendBytes(fd, bytes.data(), bytes.size())) break;
                continue;
            }
            SendBytes(fd, bytes.data(), at);
            if (fault.kind == FaultKind::cut) ::shutdown(fd, SHUT_WR);
            stopped_sending = true;
        }
        if (exchange.closes() && !stopped_sending) {
            if (ssl_ != nullptr) SSL_shutdown(ssl_);
            ::shutdown(fd, SHUT_WR);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            report_.deviation = deviation;
        }
        Drain(fd);
        if (ssl_ != nullptr) SSL_free(ssl_);
        ssl_ = nullptr;
        ::close(fd);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}

}  // namespace q5test
