// The TLS side of SocketIo: the handshake and the three transfers through
// the TLS layer, waiting in the same poll steps as the plain socket.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <new>

#include "channel/in_buffer.h"
#include "channel/socket_io.h"
#include "channel/tls_layer.h"

namespace q5::channel {

namespace {
// One TLS record carries at most this much.
constexpr std::size_t kTlsChunk = 16384;
}  // namespace

SocketIo::Wait SocketIo::WaitForTls(TlsStep step, int limit_polls) {
    switch (step) {
        case TlsStep::want_read:
            return WaitFor(POLLIN, limit_polls);
        case TlsStep::want_write:
            return WaitFor(POLLOUT, limit_polls);
        default:
            return Wait::error;
    }
}

bool SocketIo::StartTls(const Endpoint& endpoint, std::string& problem) {
    problem.clear();
    if (fd_ < 0) return false;
    // Every send of the TLS layer is a whole message (a handshake flight, a
    // command, the gathered records): nothing is gained by holding its tail
    // back for the peer's acknowledgement.
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    tls_ = std::make_unique<TlsLayer>();
    if (!tls_->Begin(fd_, endpoint)) {
        problem = tls_->problem();
        tls_.reset();
        return false;
    }
    const int limit = read_timeout_ > 0 ? read_timeout_ + 1 : 0;
    for (;;) {
        const TlsStep step = tls_->Handshake();
        if (step == TlsStep::done) break;
        const Wait waited = WaitForTls(step, limit);
        if (waited == Wait::ready) continue;
        if (waited == Wait::error) {
            tls_->NoteHandshakeFailure(step);
            problem = tls_->problem();
        } else {
            problem = waited == Wait::timeout ? "no TLS handshake within the time limit" : "stopped";
        }
        tls_.reset();
        return false;
    }
    // A TLS 1.3 server follows the handshake with its session tickets and
    // then the greeting, each in a send of its own. A server that delays
    // small sends until the last one is acknowledged (Nagle) would hold the
    // greeting back until this side's delayed acknowledgement, some 40 ms
    // later: acknowledge at once what arrives next.
    ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    if (!tls_->Verify()) {
        problem = tls_->problem();
        tls_.reset();
        return false;
    }
    return true;
}

long SocketIo::ReceiveSomeTls(InBuffer& in) {
    const int limit = read_timeout_ > 0 ? read_timeout_ + 1 : 0;
    char chunk[kTlsChunk];
    // Bytes already inside the layer are read without waiting for the socket.
    TlsStep want = tls_->HasPending() ? TlsStep::done : TlsStep::want_read;
    for (;;) {
        if (want != TlsStep::done && WaitForTls(want, limit) != Wait::ready) return -1;
        if (stop_requested()) return -1;
        std::size_t got = 0;
        want = tls_->Read(chunk, sizeof chunk, got);
        if (want == TlsStep::done) {
            try {
                in.Append(chunk, got);
            } catch (const std::bad_alloc&) {
                return -1;
            }
            return static_cast<long>(got);
        }
        if (want == TlsStep::closed) return 0;
        if (want == TlsStep::failed) return -1;
        // A partial record, or the layer wants to write: wait again.
    }
}

long SocketIo::ReceiveNowTls(char* out, std::size_t size) {
    // One read yields one record at most: go on while records come without
    // waiting, so a large rest is filled from every record the read-ahead
    // took in. A failure after some bytes waits for the next call.
    std::size_t total = 0;
    while (total < size) {
        std::size_t got = 0;
        switch (tls_->Read(out + total, size - total, got)) {
            case TlsStep::done:
                total += got;
                continue;
            case TlsStep::want_read:
            case TlsStep::want_write:
                return static_cast<long>(total);
            default:
                return total > 0 ? static_cast<long>(total) : -1;
        }
    }
    return static_cast<long>(total);
}

bool SocketIo::SendAllTls(const char* data, std::size_t size) {
    const int limit = read_timeout_ > 0 ? read_timeout_ + 1 : 0;
    std::size_t sent = 0;
    while (sent < size) {
        if (stop_requested()) return false;
        std::size_t put = 0;
        const TlsStep step = tls_->Write(data + sent, size - sent, put);
        if (step == TlsStep::done) {
            sent += put;
            continue;
        }
        if (WaitForTls(step, limit) != Wait::ready) return false;
    }
    for (;;) {
        if (stop_requested()) return false;
        const TlsStep step = tls_->Flush();
        if (step == TlsStep::done) return true;
        if (WaitForTls(step, limit) != Wait::ready) return false;
    }
}

}  // namespace q5::channel
