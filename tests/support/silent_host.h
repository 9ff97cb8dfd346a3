// SilentHost: a loopback listener that takes connections (the system's
// backlog does) and never says a word, for waits that only a cancel ends.
// A test may take the first connection to see when its client ends it.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace q5test {

class SilentHost {
public:
    SilentHost() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, 4);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
    ~SilentHost() {
        if (peer_ >= 0) close(peer_);
        close(fd_);
    }
    SilentHost(const SilentHost&) = delete;
    SilentHost& operator=(const SilentHost&) = delete;
    int port() const { return port_; }
    // Whether a client has connected (its connection taken, without waiting).
    bool Connected() {
        if (peer_ < 0) peer_ = accept(fd_, nullptr, nullptr);
        return peer_ >= 0;
    }
    // Whether that client closed the connection, having sent nothing
    // (waits up to five seconds for it).
    bool ClosedByClient() const {
        pollfd entry{peer_, POLLIN, 0};
        char byte = 0;
        return poll(&entry, 1, 5000) == 1 && recv(peer_, &byte, 1, 0) == 0;
    }

private:
    int fd_ = -1;
    int peer_ = -1;
    int port_ = 0;
};

}  // namespace q5test
