#include "trickle_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace q5test {
namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int ConnectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TrickleProxy::TrickleProxy(int target_port, Mode mode) : target_port_(target_port), mode_(mode) {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listen_fd_, 8) != 0 ||
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    port_ = ntohs(address.sin_port);
    const std::lock_guard<std::mutex> lock(mutex_);
    threads_.emplace_back([this] { Accept(); });
}

TrickleProxy::~TrickleProxy() {
    stop_ = true;
    std::vector<std::thread> threads;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
    // Threads started while the first ones ended.
    for (std::thread& thread : threads_) thread.join();
    if (listen_fd_ >= 0) ::close(listen_fd_);
}

void TrickleProxy::DropConnections() {
    ++drops_;
}

void TrickleProxy::Accept() {
    while (!stop_) {
        pollfd wait{listen_fd_, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) continue;
        const int client = ::accept(listen_fd_, nullptr, nullptr);
        if (client < 0) continue;
        ++connections_;
        const std::lock_guard<std::mutex> lock(mutex_);
        threads_.emplace_back([this, client] { Serve(client); });
    }
}

void TrickleProxy::Serve(int client) {
    const int server = ConnectTo(target_port_);
    const int drops = drops_.load();
    std::string command;       // the client's line so far
    std::string held;          // server bytes still to trickle
    bool file_answer = false;  // the server answers a GETFILE
    bool first_line = false;   // its first line is still to be rewritten
    bool announced = false;    // a rewritten answer went out
    auto last_byte = std::chrono::steady_clock::now();
    char buffer[4096];
    while (server >= 0 && !stop_ && drops_.load() == drops) {
        pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        ::poll(fds, 2, 20);
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0 || !WriteAll(server, buffer, static_cast<size_t>(n))) break;
            command.append(buffer, static_cast<size_t>(n));
            if (const size_t end = command.rfind('\n'); end != std::string::npos) {
                const std::string line = command.substr(0, end);
                command.erase(0, end + 1);
                if (line.find("GETFILE ") != std::string::npos) {
                    file_answer = true;
                    first_line = mode_.announce > 0;
                }
            }
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            std::string bytes(buffer, static_cast<size_t>(n));
            if (file_answer && first_line) {
                // "+OK <size>…": the second word becomes the announced size.
                const size_t space = bytes.find(' ');
                const size_t end = bytes.find_first_of(" \r\n", space + 1);
                if (space != std::string::npos && end != std::string::npos) {
                    bytes.replace(space + 1, end - space - 1, std::to_string(mode_.announce));
                }
                first_line = false;
                announced = true;
            }
            if (file_answer && mode_.pace.count() > 0) {
                held += bytes;
            } else if (!WriteAll(client, bytes.data(), bytes.size())) {
                break;
            }
            last_byte = std::chrono::steady_clock::now();
        }
        const auto now = std::chrono::steady_clock::now();
        if (!held.empty() && now - last_byte >= mode_.pace) {
            if (!WriteAll(client, held.data(), 1)) break;
            held.erase(0, 1);
            last_byte = now;
        }
        // The server said all it had of a file announced larger: the
        // client would wait for the rest; the connection ends instead.
        if (announced && now - last_byte > std::chrono::milliseconds(500)) break;
    }
    if (server >= 0) ::close(server);
    ::shutdown(client, SHUT_RDWR);
    ::close(client);
}

}  // namespace q5test
