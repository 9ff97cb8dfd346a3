#include "scripted_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace q5test {

namespace {

using Clock = std::chrono::steady_clock;

// Every wait is cut into slices this long so a stop is seen promptly and the
// destructor never waits on a blocked call.
constexpr int kSliceMs = 10;
constexpr std::size_t kShownBytes = 160;

// Bytes as a C string literal, cut after kShownBytes.
std::string Escaped(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size() && i < kShownBytes; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            default:
                if (c >= 0x20 && c < 0x7F) {
                    out.push_back(static_cast<char>(c));
                } else {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                }
        }
    }
    out += "\"";
    if (bytes.size() > kShownBytes) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

std::string Millis(std::chrono::milliseconds ms) {
    return std::to_string(ms.count()) + " ms";
}

}  // namespace

ScriptedPeer::ScriptedPeer() {
    listen_fd_ = ListenOnLoopback(port_);
    if (listen_fd_ < 0) errors_.push_back(std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno));
}

ScriptedPeer::~ScriptedPeer() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    CloseConn();
    if (listen_fd_ >= 0) ::close(listen_fd_);
}

ScriptedPeer& ScriptedPeer::Accept() {
    steps_.push_back({Step::Kind::accept, {}, {}});
    return *this;
}
ScriptedPeer& ScriptedPeer::Expect(std::string bytes) {
    steps_.push_back({Step::Kind::expect, std::move(bytes), {}});
    return *this;
}
ScriptedPeer& ScriptedPeer::Send(std::string bytes) {
    steps_.push_back({Step::Kind::send, std::move(bytes), {}});
    return *this;
}
ScriptedPeer& ScriptedPeer::Pause(std::chrono::milliseconds ms) {
    steps_.push_back({Step::Kind::pause, {}, ms});
    return *this;
}
ScriptedPeer& ScriptedPeer::CloseConnection() {
    steps_.push_back({Step::Kind::close, {}, {}});
    return *this;
}
ScriptedPeer& ScriptedPeer::ExpectClosed() {
    steps_.push_back({Step::Kind::expect_closed, {}, {}});
    return *this;
}

void ScriptedPeer::Start() {
    if (thread_.joinable() || listen_fd_ < 0) return;
    thread_ = std::thread([this] { Run(); });
}

std::vector<std::string> ScriptedPeer::Finish(std::chrono::milliseconds limit) {
    if (!thread_.joinable()) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!done_ && !steps_.empty() && listen_fd_ >= 0) errors_.push_back("the script was never started");
        return errors_;
    }
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished = done_changed_.wait_for(lock, limit, [this] { return done_; });
    }
    if (!finished) {
        stop_.store(true);
        Deviation("the script did not end within " + Millis(limit));
    }
    thread_.join();

    // Bytes the client sent after the script's last step are a deviation too.
    if (conn_fd_ >= 0) {
        char buffer[4096];
        const ssize_t rc = ::recv(conn_fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (rc > 0) {
            Record(buffer, static_cast<std::size_t>(rc));
            Deviation("unexpected bytes after the script's end: " +
                      Escaped(std::string_view(buffer, static_cast<std::size_t>(rc))));
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return errors_;
}

std::string ScriptedPeer::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void ScriptedPeer::Deviation(std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    errors_.push_back(std::move(text));
}

void ScriptedPeer::Record(const char* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(data, size);
}

void ScriptedPeer::CloseConn() {
    if (conn_fd_ < 0) return;
    ::close(conn_fd_);
    conn_fd_ = -1;
}

void ScriptedPeer::Run() {
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        if (!Play(i, steps_[i])) {
            // Closing makes a client that waits for a reply fail at once
            // instead of at its time-out.
            CloseConn();
            break;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    done_changed_.notify_all();
}

ScriptedPeer::Ready ScriptedPeer::WaitFor(int fd, short events, Clock::time_point deadline) const {
    for (;;) {
        if (stop_.load()) return Ready::stopped;
        pollfd entry{fd, events, 0};
        const int rc = ::poll(&entry, 1, kSliceMs);
        if (rc > 0) return Ready::yes;
        if (Clock::now() >= deadline) return Ready::timeout;
    }
}

bool ScriptedPeer::Play(std::size_t index, const Step& step) {
    static constexpr const char* kNames[] = {"Accept", "Expect",          "Send",
                                             "Pause",  "CloseConnection", "ExpectClosed"};
    const std::string where =
        "step " + std::to_string(index + 1) + " (" + kNames[static_cast<int>(step.kind)] + "): ";
    if (step.kind != Step::Kind::accept && step.kind != Step::Kind::pause && conn_fd_ < 0) {
        Deviation(where + "no connection");
        return false;
    }
    switch (step.kind) {
        case Step::Kind::accept:
            return PlayAccept(where);
        case Step::Kind::expect:
            return PlayExpect(where, step.bytes);
        case Step::Kind::send:
            return PlaySend(where, step.bytes);
        case Step::Kind::pause: {
            const auto deadline = Clock::now() + step.pause;
            while (Clock::now() < deadline) {
                if (stop_.load()) return false;
                std::this_thread::sleep_for(
                    std::min<Clock::duration>(std::chrono::milliseconds(kSliceMs), deadline - Clock::now()));
            }
            return true;
        }
        case Step::Kind::close:
            CloseConn();
            return true;
        case Step::Kind::expect_closed:
            return PlayExpectClosed(where);
    }
    return false;
}

bool ScriptedPeer::PlayAccept(const std::string& where) {
    const Ready ready = WaitFor(listen_fd_, POLLIN, Clock::now() + step_timeout_);
    if (ready == Ready::stopped) return false;
    if (ready == Ready::timeout) {
        Deviation(where + "no connection within " + Millis(step_timeout_));
        return false;
    }
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        Deviation(where + "accept failed: " + std::strerror(errno));
        return false;
    }
    CloseConn();
    conn_fd_ = fd;
    return true;
}

bool ScriptedPeer::PlayExpect(const std::string& where, const std::string& expected) {
    const auto deadline = Clock::now() + step_timeout_;
    std::string got;
    char buffer[4096];
    while (got.size() < expected.size()) {
        const Ready ready = WaitFor(conn_fd_, POLLIN, deadline);
        if (ready == Ready::stopped) return false;
        if (ready == Ready::timeout) {
            Deviation(where + "expected " + Escaped(expected) + ", timed out after " + Millis(step_timeout_) +
                      " having received " + Escaped(got));
            return false;
        }
        // Never read past the expected bytes: the rest belongs to later steps.
        const std::size_t want = std::min(sizeof buffer, expected.size() - got.size());
        const ssize_t rc = ::recv(conn_fd_, buffer, want, MSG_DONTWAIT);
        if (rc < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (rc <= 0) {
            Deviation(where + "expected " + Escaped(expected) + ", the client closed the connection (" +
                      (rc == 0 ? std::string("end of stream") : std::string(std::strerror(errno))) +
                      ") having sent " + Escaped(got));
            return false;
        }
        Record(buffer, static_cast<std::size_t>(rc));
        got.append(buffer, static_cast<std::size_t>(rc));
        // Report a difference as soon as it shows, not at the time-out.
        const auto diff = std::mismatch(got.begin(), got.end(), expected.begin());
        if (diff.first != got.end()) {
            Deviation(where + "expected " + Escaped(expected) + ", received " + Escaped(got) +
                      " (first difference at byte " + std::to_string(diff.first - got.begin()) + ")");
            return false;
        }
    }
    return true;
}

bool ScriptedPeer::PlaySend(const std::string& where, const std::string& bytes) {
    const auto deadline = Clock::now() + step_timeout_;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const Ready ready = WaitFor(conn_fd_, POLLOUT, deadline);
        if (ready == Ready::stopped) return false;
        if (ready == Ready::timeout) {
            Deviation(where + "the client took no data for " + Millis(step_timeout_));
            return false;
        }
        const ssize_t rc =
            ::send(conn_fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (rc < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (rc < 0) {
            Deviation(where + "send failed: " + std::strerror(errno));
            return false;
        }
        sent += static_cast<std::size_t>(rc);
    }
    return true;
}

bool ScriptedPeer::PlayExpectClosed(const std::string& where) {
    const auto deadline = Clock::now() + step_timeout_;
    char buffer[4096];
    for (;;) {
        const Ready ready = WaitFor(conn_fd_, POLLIN, deadline);
        if (ready == Ready::stopped) return false;
        if (ready == Ready::timeout) {
            Deviation(where + "the client kept the connection open for " + Millis(step_timeout_));
            return false;
        }
        const ssize_t rc = ::recv(conn_fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (rc < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (rc == 0 || (rc < 0 && errno == ECONNRESET)) {
            CloseConn();
            return true;
        }
        if (rc < 0) {
            Deviation(where + "receive failed: " + std::strerror(errno));
            return false;
        }
        Record(buffer, static_cast<std::size_t>(rc));
        Deviation(where + "expected the client to close, received " +
                  Escaped(std::string_view(buffer, static_cast<std::size_t>(rc))));
        return false;
    }
}

int ListenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace q5test
