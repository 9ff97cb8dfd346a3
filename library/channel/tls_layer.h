// TlsLayer: the client side of TLS (1.2 or later, OpenSSL) over a connected
// non-blocking socket that the caller owns and polls. Every operation is one
// non-blocking step: it either completes or says which readiness the caller
// must wait for before repeating it with the same arguments, so the socket
// layer keeps its own poll steps, timeouts and stop requests.
//
// The socket is written with MSG_NOSIGNAL, like the plain socket: a peer
// that has gone never raises SIGPIPE in the caller's process.
//
// Certificate checking: the handshake always completes so that the server's
// certificate can be shown; Verify then accepts it only when it chains to
// the system's trust store (plus the CA file that Q5CLIENT_TLS_CA names, if
// any) and matches the host name or address, or, when the endpoint pins a
// fingerprint, when it is exactly the pinned certificate. No byte of the
// protocol is sent before Verify has accepted the certificate.
//
// Thread rule: one thread uses a TlsLayer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "channel/endpoint.h"

struct ssl_ctx_st;
struct ssl_st;

namespace q5::channel {

enum class TlsStep {
    done,        // the operation completed (see its count)
    want_read,   // wait until the socket is readable, then repeat
    want_write,  // wait until the socket is writable, then repeat
    closed,      // the peer ended the connection (close_notify or end of stream)
    failed       // a TLS alert, a bad record or a socket error
};

class TlsLayer {
public:
    TlsLayer();
    TlsLayer(const TlsLayer&) = delete;
    TlsLayer& operator=(const TlsLayer&) = delete;
    ~TlsLayer();

    // Prepares the client for `endpoint` on socket `fd`. False, with the
    // reason in problem(), when the context or the extra CA file fails.
    bool Begin(int fd, const Endpoint& endpoint);
    TlsStep Handshake();
    // After the handshake: whether the server's certificate is accepted.
    // When not, problem() says why, followed by the certificate's
    // fingerprint, subject and validity, one per line (see CertificateText).
    bool Verify();

    // Up to `size` bytes; `got` receives the count on done.
    TlsStep Read(char* out, std::size_t size, std::size_t& got);
    // Part of data; `put` receives the count on done. The records are
    // gathered in a buffer of the layer's: Flush sends them.
    TlsStep Write(const char* data, std::size_t size, std::size_t& put);
    // Sends the gathered records: done, want_write or failed.
    TlsStep Flush();
    // True when decrypted or undecrypted bytes wait inside the layer, so a
    // read may succeed without the socket becoming readable.
    bool HasPending() const noexcept;
    // Sends close_notify once, without waiting for the answer.
    void Shutdown() noexcept;

    // Why the last step failed, for the caller's error message.
    const std::string& problem() const noexcept { return problem_; }
    // Notes the handshake's failure in problem() (from the error queue).
    void NoteHandshakeFailure(TlsStep step);

    // The socket as the layer's BIO sees it (tls_layer.cpp).
    struct Socket;

private:
    // What a failed call means; StepOf also remembers a fatal failure.
    TlsStep StepOf(int rc);
    TlsStep ClassifyError(int rc);

    ssl_ctx_st* ctx_ = nullptr;
    ssl_st* ssl_ = nullptr;
    std::unique_ptr<Socket> socket_;  // the BIO's; the destructor frees ssl_ first
    Endpoint endpoint_;
    std::string problem_;
    bool failed_ = false;
};

}  // namespace q5::channel
