#include "connection.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>

#include <algorithm>
#include <cstring>

#include "protocol.h"

namespace q5sim {

namespace {
constexpr int kPollStepMs = 200;
constexpr std::size_t kChunk = 64 * 1024;
}  // namespace

Connection::Connection(asio::ip::tcp::socket socket, const std::atomic<bool>& stop)
    : socket_(std::move(socket)), stop_(stop) {
    asio::error_code ignored;
    socket_.non_blocking(true, ignored);
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    const auto endpoint = socket_.remote_endpoint(ignored);
    if (!ignored) peer_ = endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

Connection::~Connection() {
    // No close_notify after a fatal error, nor to a peer that has gone.
    if (ssl_ && !tls_broken_ && SSL_is_init_finished(ssl_.get())) SSL_shutdown(ssl_.get());
}

void Connection::SslFree::operator()(ssl_st* ssl) const {
    SSL_free(ssl);
}

namespace {

// What a failed TLS call wants: the poll events to wait for, or 0 when the
// connection is over.
short WantOf(SSL* ssl, int rc) {
    switch (SSL_get_error(ssl, rc)) {
        case SSL_ERROR_WANT_READ:
            return POLLIN;
        case SSL_ERROR_WANT_WRITE:
            return POLLOUT;
        default:
            return 0;
    }
}

std::string TlsErrorText() {
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error != 0 ? ERR_reason_error_string(error) : nullptr;
    return reason != nullptr ? reason : "connection closed";
}

}  // namespace

bool Connection::StartTls(ssl_ctx_st* context, Seconds idle, std::string& problem) {
    ssl_.reset(SSL_new(context));
    if (!ssl_ || SSL_set_fd(ssl_.get(), socket_.native_handle()) != 1) {
        problem = "TLS is not available";
        return false;
    }
    SSL_set_accept_state(ssl_.get());
    while (true) {
        ERR_clear_error();
        const int rc = SSL_do_handshake(ssl_.get());
        if (rc == 1) return true;
        const short want = WantOf(ssl_.get(), rc);
        if (want == 0) {
            problem = TlsErrorText();
            ssl_.reset();
            return false;
        }
        const Io waited = Wait(want, idle);
        if (waited != Io::ok) {
            problem = waited == Io::timeout ? "no handshake in time" : "stopped";
            ssl_.reset();
            return false;
        }
    }
}

Io Connection::TlsRead(char* out, std::size_t size, std::size_t& got, Seconds idle) {
    got = 0;
    while (true) {
        ERR_clear_error();
        const int rc = SSL_read(ssl_.get(), out, static_cast<int>(std::min<std::size_t>(size, 1 << 30)));
        if (rc > 0) {
            got = static_cast<std::size_t>(rc);
            return Io::ok;
        }
        const short want = WantOf(ssl_.get(), rc);
        if (want == 0) {
            tls_broken_ = true;
            return Io::closed;
        }
        const Io waited = Wait(want, idle);
        if (waited != Io::ok) return waited;
    }
}

Io Connection::TlsWrite(std::string_view data, std::size_t& put, Seconds idle) {
    put = 0;
    while (true) {
        ERR_clear_error();
        const int rc =
            SSL_write(ssl_.get(), data.data(), static_cast<int>(std::min<std::size_t>(data.size(), 1 << 30)));
        if (rc > 0) {
            put = static_cast<std::size_t>(rc);
            return Io::ok;
        }
        const short want = WantOf(ssl_.get(), rc);
        if (want == 0) {
            tls_broken_ = true;
            return Io::closed;
        }
        const Io waited = Wait(want, idle);
        if (waited != Io::ok) return waited;
    }
}

Io Connection::Wait(short events, Seconds idle) {
    auto deadline = std::chrono::steady_clock::now() + idle;
    if (deadline_ && *deadline_ < deadline) deadline = *deadline_;
    while (true) {
        if (stop_.load(std::memory_order_relaxed)) return Io::stopped;
        // A busy peer never waits, so the connection's deadline is checked first.
        if (deadline_ && std::chrono::steady_clock::now() >= *deadline_) return Io::timeout;
        pollfd fd{socket_.native_handle(), events, 0};
        const int n = ::poll(&fd, 1, kPollStepMs);
        if (n > 0) {
            if (fd.revents & (events | POLLHUP | POLLERR | POLLNVAL)) return Io::ok;
        } else if (n < 0 && errno != EINTR) {
            return Io::closed;
        }
        if (std::chrono::steady_clock::now() >= deadline) return Io::timeout;
    }
}

Io Connection::Fill(Seconds idle) {
    if (position_ > 0 && position_ == buffer_.size()) {
        buffer_.clear();
        position_ = 0;
    }
    if (ssl_) {
        char chunk[kChunk];
        std::size_t got = 0;
        // A deadline or stop ends the read like a plain one.
        if (stop_.load(std::memory_order_relaxed)) return Io::stopped;
        if (deadline_ && std::chrono::steady_clock::now() >= *deadline_) return Io::timeout;
        const Io read = TlsRead(chunk, sizeof chunk, got, idle);
        if (read != Io::ok) return read;
        buffer_.append(chunk, got);
        return Io::ok;
    }
    while (true) {
        const Io waited = Wait(POLLIN, idle);
        if (waited != Io::ok) return waited;
        char chunk[kChunk];
        asio::error_code error;
        const std::size_t n = socket_.read_some(asio::buffer(chunk), error);
        if (error == asio::error::would_block || error == asio::error::try_again ||
            error == asio::error::interrupted) {
            continue;
        }
        if (error || n == 0) return Io::closed;
        buffer_.append(chunk, n);
        return Io::ok;
    }
}

Io Connection::ReadLine(std::string& line, std::size_t max, Seconds idle) {
    line.clear();
    LineAssembler assembler(max);
    while (true) {
        position_ += assembler.Feed(std::string_view(buffer_).substr(position_));
        if (assembler.complete()) break;
        const Io filled = Fill(idle);
        if (filled != Io::ok) return filled;
    }
    if (assembler.too_long()) return Io::too_long;
    line = assembler.Take();
    return Io::ok;
}

Io Connection::ReadSome(char* out, std::size_t size, std::size_t& got, Seconds idle) {
    got = 0;
    if (size == 0) return Io::ok;
    if (position_ == buffer_.size()) {
        const Io filled = Fill(idle);
        if (filled != Io::ok) return filled;
    }
    got = std::min(size, buffer_.size() - position_);
    std::memcpy(out, buffer_.data() + position_, got);
    position_ += got;
    return Io::ok;
}

Io Connection::ReadExact(char* out, std::size_t size, Seconds idle) {
    std::size_t done = 0;
    while (done < size) {
        std::size_t got = 0;
        const Io read = ReadSome(out + done, size - done, got, idle);
        if (read != Io::ok) return read;
        done += got;
    }
    return Io::ok;
}

Io Connection::ReadUntilDot(std::string& record, std::size_t max, Seconds idle) {
    record.clear();
    while (true) {
        while (position_ < buffer_.size()) {
            const char c = buffer_[position_++];
            record += c;
            if (c == '.' || record.size() >= max) return Io::ok;
        }
        const Io filled = Fill(idle);
        if (filled != Io::ok) return filled;
    }
}

Io Connection::Write(std::string_view data, Seconds idle) {
    while (ssl_ && !data.empty()) {
        if (stop_.load(std::memory_order_relaxed)) return Io::stopped;
        if (deadline_ && std::chrono::steady_clock::now() >= *deadline_) return Io::timeout;
        std::size_t put = 0;
        const Io written = TlsWrite(data, put, idle);
        if (written != Io::ok) return written;
        data.remove_prefix(put);
    }
    while (!data.empty()) {
        asio::error_code error;
        const std::size_t n = socket_.write_some(asio::buffer(data.data(), data.size()), error);
        if (error == asio::error::would_block || error == asio::error::try_again ||
            error == asio::error::interrupted) {
            const Io waited = Wait(POLLOUT, idle);
            if (waited != Io::ok) return waited;
            continue;
        }
        if (error) return Io::closed;
        data.remove_prefix(n);
    }
    return Io::ok;
}

bool Connection::WaitStillOpen(int wake, std::chrono::milliseconds wait) {
    pollfd fds[2] = {{socket_.native_handle(), POLLIN, 0}, {wake, POLLIN, 0}};
    const int n = ::poll(fds, wake >= 0 ? 2 : 1, static_cast<int>(wait.count()));
    if (n < 0 && errno != EINTR) return false;
    return StillOpen();
}

bool Connection::StillOpen() {
    pollfd fd{socket_.native_handle(), POLLIN, 0};
    if (::poll(&fd, 1, 0) <= 0) return true;
    if (fd.revents & (POLLERR | POLLNVAL)) return false;
    char chunk[4096];
    if (ssl_) {
        ERR_clear_error();
        const int rc = SSL_read(ssl_.get(), chunk, sizeof chunk);
        if (rc <= 0) {
            tls_broken_ = WantOf(ssl_.get(), rc) == 0;
            return !tls_broken_;
        }
        if (buffer_.size() - position_ < 64 * 1024) buffer_.append(chunk, static_cast<std::size_t>(rc));
        return true;
    }
    asio::error_code error;
    const std::size_t n = socket_.read_some(asio::buffer(chunk), error);
    if (error == asio::error::would_block || error == asio::error::try_again) return true;
    if (error || n == 0) return false;
    if (buffer_.size() - position_ < 64 * 1024) buffer_.append(chunk, n);
    return true;
}

}  // namespace q5sim
