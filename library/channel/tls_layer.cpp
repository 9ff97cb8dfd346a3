#include "channel/tls_layer.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

namespace q5::channel {

namespace {

// The read-ahead buffer: four full records of TLS 1.3 with AES-GCM (16 KiB
// of data, the content type, the tag and the header) per receive, plus the
// few bytes OpenSSL skips to align the data, so that a full buffer ends at a
// record's end and no extra receive is spent on a record's tail.
constexpr std::size_t kFullRecord = 16384 + 1 + 16 + 5;
constexpr std::size_t kReadBuffer = 4 * kFullRecord + 3;

// Cipher preference: AES-128-GCM first, the cheapest of the strong ciphers
// where the processor has AES instructions (most servers follow the
// client's order); the others stay acceptable.
constexpr const char* kTls13Suites =
    "TLS_AES_128_GCM_SHA256:TLS_AES_256_GCM_SHA384:TLS_CHACHA20_POLY1305_SHA256";
constexpr const char* kTls12Ciphers = "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:DEFAULT";

// ---- A socket BIO that never raises SIGPIPE and gathers records ----------------
//
// Records written go to a buffer first and leave in large sends when the
// buffer fills or the writer flushes: a megabyte of file is 64 records,
// which would otherwise cost 64 system calls where plain TCP needs one.

// The buffer is sent once it holds this much.
constexpr std::size_t kWriteBuffer = 256 * 1024;

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

struct TlsLayer::Socket {
    int fd = -1;
    std::string out;       // records not yet sent
    std::size_t sent = 0;  // of `out`, already sent
    // Sends what is buffered: done, want_write (the socket is full) or failed.
    TlsStep Flush() {
        while (sent < out.size()) {
            const ssize_t rc = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (rc > 0) {
                sent += static_cast<std::size_t>(rc);
                continue;
            }
            if (rc < 0 && WouldBlock(errno)) return TlsStep::want_write;
            return TlsStep::failed;
        }
        out.clear();
        sent = 0;
        return TlsStep::done;
    }
};

namespace {

TlsLayer::Socket& SocketOf(BIO* bio) {
    return *static_cast<TlsLayer::Socket*>(BIO_get_data(bio));
}

int BioWrite(BIO* bio, const char* data, int size) {
    BIO_clear_retry_flags(bio);
    TlsLayer::Socket& socket = SocketOf(bio);
    if (socket.out.size() >= kWriteBuffer) {
        const TlsStep step = socket.Flush();
        if (step == TlsStep::failed) return -1;
        if (step == TlsStep::want_write) {
            BIO_set_retry_write(bio);
            return -1;
        }
    }
    try {
        socket.out.append(data, static_cast<std::size_t>(size));
    } catch (...) {
        return -1;
    }
    return size;
}

int BioRead(BIO* bio, char* out, int size) {
    BIO_clear_retry_flags(bio);
    const ssize_t rc = ::recv(SocketOf(bio).fd, out, static_cast<std::size_t>(size), MSG_DONTWAIT);
    if (rc < 0 && WouldBlock(errno)) BIO_set_retry_read(bio);
    return static_cast<int>(rc);
}

long BioControl(BIO* bio, int command, long, void*) {
    switch (command) {
        case BIO_CTRL_FLUSH: {
            BIO_clear_retry_flags(bio);
            const TlsStep step = SocketOf(bio).Flush();
            if (step == TlsStep::done) return 1;
            if (step == TlsStep::want_write) BIO_set_retry_write(bio);
            return -1;
        }
        case BIO_CTRL_WPENDING:
            return static_cast<long>(SocketOf(bio).out.size() - SocketOf(bio).sent);
        default:
            return 0;
    }
}

int BioCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO_METHOD* SocketMethod() {
    // Made once, never freed: the method table lives as long as the library.
    static BIO_METHOD* const method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "q5 socket");
        if (m == nullptr) return m;
        BIO_meth_set_write(m, BioWrite);
        BIO_meth_set_read(m, BioRead);
        BIO_meth_set_ctrl(m, BioControl);
        BIO_meth_set_create(m, BioCreate);
        return m;
    }();
    return method;
}

// ---- Trust store ----------------------------------------------------------------

// The system's trust store plus the extra CA file, if any. Reading the
// system's bundle costs tens of milliseconds, so the store is read once per
// extra file name and shared by every connection (a store is reference
// counted and safe to share between threads). Null with `problem` set when
// the extra file cannot be read.
X509_STORE* SharedStore(const std::string& extra, std::string& problem) {
    static std::mutex mutex;
    static X509_STORE* cached = nullptr;
    static std::string cached_extra;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (cached != nullptr && cached_extra == extra && X509_STORE_up_ref(cached) == 1) return cached;
    }
    // Read without the lock; two threads may both read, the last one is kept.
    X509_STORE* store = X509_STORE_new();
    if (store == nullptr) {
        problem = "TLS is not available (no memory for the trust store)";
        return nullptr;
    }
    X509_STORE_set_default_paths(store);
    if (!extra.empty() && X509_STORE_load_file(store, extra.c_str()) != 1) {
        X509_STORE_free(store);
        problem = "cannot read the CA file " + extra + " (Q5CLIENT_TLS_CA)";
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (X509_STORE_up_ref(store) != 1) return store;
    if (cached != nullptr) X509_STORE_free(cached);
    cached = store;
    cached_extra = extra;
    return store;
}

// ---- Certificate description -------------------------------------------------

bool IsAddress(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    return inet_pton(AF_INET, host.c_str(), &v4) == 1 || inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

std::string TimeText(const ASN1_TIME* time) {
    std::tm when{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &when) != 1) return "?";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &when);
    return text;
}

std::string SubjectText(X509* cert) {
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
    if (!out) return "?";
    X509_NAME_print_ex(out.get(), X509_get_subject_name(cert), 0, XN_FLAG_RFC2253);
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string("(empty)");
}

Sha256 Fingerprint(X509* cert) {
    Sha256 digest{};
    unsigned int size = 0;
    X509_digest(cert, EVP_sha256(), digest.data(), &size);
    return digest;
}

// The lines that follow a refusal's reason: what the user needs to decide
// whether this is his server.
std::string CertificateText(X509* cert) {
    return "\nSHA-256 fingerprint: " + FormatFingerprint(Fingerprint(cert)) +
           "\nSubject: " + SubjectText(cert) + "\nValid: from " + TimeText(X509_get0_notBefore(cert)) +
           " until " + TimeText(X509_get0_notAfter(cert));
}

std::string LastErrorText() {
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error != 0 ? ERR_reason_error_string(error) : nullptr;
    return reason != nullptr ? reason : "unknown error";
}

}  // namespace

TlsLayer::TlsLayer() = default;

TlsLayer::~TlsLayer() {
    if (ssl_ != nullptr) SSL_free(ssl_);
    if (ctx_ != nullptr) SSL_CTX_free(ctx_);
}

bool TlsLayer::Begin(int fd, const Endpoint& endpoint) {
    endpoint_ = endpoint;
    problem_.clear();
    ERR_clear_error();
    ctx_ = SSL_CTX_new(TLS_client_method());
    if (ctx_ == nullptr || SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION) != 1) {
        problem_ = "TLS is not available: " + LastErrorText();
        return false;
    }
    // The chain is checked by the handshake; the result is judged by Verify.
    SSL_CTX_set_verify(ctx_, SSL_VERIFY_NONE, nullptr);
    if (!endpoint.pin) {
        // A pinned certificate is compared, not checked against the store.
        const char* extra = std::getenv("Q5CLIENT_TLS_CA");
        X509_STORE* store = SharedStore(extra != nullptr ? extra : "", problem_);
        if (store == nullptr) return false;
        SSL_CTX_set1_cert_store(ctx_, store);
        X509_STORE_free(store);
    }
    SSL_CTX_set_options(ctx_, SSL_OP_NO_RENEGOTIATION);
    SSL_CTX_set_ciphersuites(ctx_, kTls13Suites);
    SSL_CTX_set_cipher_list(ctx_, kTls12Ciphers);
    // Reads take whole records and more in one receive (HasPending tells
    // the socket layer when bytes wait inside).
    SSL_CTX_set_read_ahead(ctx_, 1);
    SSL_CTX_set_default_read_buffer_len(ctx_, kReadBuffer);
    SSL_CTX_set_mode(ctx_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    ssl_ = SSL_new(ctx_);
    BIO* bio = SocketMethod() != nullptr ? BIO_new(SocketMethod()) : nullptr;
    if (ssl_ == nullptr || bio == nullptr) {
        if (bio != nullptr) BIO_free(bio);
        problem_ = "TLS is not available: " + LastErrorText();
        return false;
    }
    socket_ = std::make_unique<Socket>();
    socket_->fd = fd;
    BIO_set_data(bio, socket_.get());
    SSL_set_bio(ssl_, bio, bio);
    if (IsAddress(endpoint.host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), endpoint.host.c_str());
    } else {
        SSL_set_tlsext_host_name(ssl_, endpoint.host.c_str());
        SSL_set1_host(ssl_, endpoint.host.c_str());
    }
    SSL_set_connect_state(ssl_);
    return true;
}

TlsStep TlsLayer::StepOf(int rc) {
    const TlsStep step = ClassifyError(rc);
    // After a fatal error the connection must not send close_notify.
    if (step == TlsStep::failed) failed_ = true;
    return step;
}

TlsStep TlsLayer::ClassifyError(int rc) {
    switch (SSL_get_error(ssl_, rc)) {
        case SSL_ERROR_WANT_READ:
            return TlsStep::want_read;
        case SSL_ERROR_WANT_WRITE:
            return TlsStep::want_write;
        case SSL_ERROR_ZERO_RETURN:
            return TlsStep::closed;
        case SSL_ERROR_SYSCALL:
            // End of stream without close_notify, or a socket error.
            return ERR_peek_error() == 0 && errno == 0 ? TlsStep::closed : TlsStep::failed;
        default:
            return TlsStep::failed;
    }
}

TlsStep TlsLayer::Handshake() {
    ERR_clear_error();
    errno = 0;
    const int rc = SSL_do_handshake(ssl_);
    return rc == 1 ? TlsStep::done : StepOf(rc);
}

void TlsLayer::NoteHandshakeFailure(TlsStep step) {
    if (step == TlsStep::closed) {
        problem_ = "the server closed the connection during the TLS handshake";
    } else {
        problem_ = "TLS handshake failed (" + LastErrorText() + ")";
    }
}

bool TlsLayer::Verify() {
    std::unique_ptr<X509, decltype(&X509_free)> cert(SSL_get1_peer_certificate(ssl_), X509_free);
    if (!cert) {
        problem_ = "the server sent no certificate";
        return false;
    }
    if (endpoint_.pin) {
        if (Fingerprint(cert.get()) == *endpoint_.pin) return true;
        problem_ = "the server's certificate has changed: its fingerprint is not the pinned one" +
                   CertificateText(cert.get());
        return false;
    }
    const long result = SSL_get_verify_result(ssl_);
    if (result == X509_V_OK) return true;
    switch (result) {
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            problem_ = "the server's certificate does not match the host name " + endpoint_.host;
            break;
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_CERT_NOT_YET_VALID:
            problem_ = std::string("the server's certificate is not valid now (") +
                       X509_verify_cert_error_string(result) + ")";
            break;
        default:
            problem_ = std::string("the server's certificate is not trusted (") +
                       X509_verify_cert_error_string(result) + ")";
            break;
    }
    problem_ += CertificateText(cert.get());
    return false;
}

TlsStep TlsLayer::Read(char* out, std::size_t size, std::size_t& got) {
    got = 0;
    ERR_clear_error();
    errno = 0;
    const int rc = SSL_read(ssl_, out, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
    if (rc > 0) {
        got = static_cast<std::size_t>(rc);
        return TlsStep::done;
    }
    return StepOf(rc);
}

TlsStep TlsLayer::Flush() {
    return socket_ ? socket_->Flush() : TlsStep::done;
}

TlsStep TlsLayer::Write(const char* data, std::size_t size, std::size_t& put) {
    put = 0;
    ERR_clear_error();
    errno = 0;
    const int rc = SSL_write(ssl_, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
    if (rc > 0) {
        put = static_cast<std::size_t>(rc);
        return TlsStep::done;
    }
    return StepOf(rc);
}

bool TlsLayer::HasPending() const noexcept {
    return ssl_ != nullptr && SSL_has_pending(ssl_) == 1;
}

void TlsLayer::Shutdown() noexcept {
    if (ssl_ == nullptr || failed_ || !SSL_is_init_finished(ssl_)) return;
    ERR_clear_error();
    SSL_shutdown(ssl_);
    Flush();
    ERR_clear_error();
}

}  // namespace q5::channel
