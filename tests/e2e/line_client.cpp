#include "line_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace q5test {

LineClient::~LineClient() {
    Close();
}

bool LineClient::Connect(int port, std::string* greeting) {
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<unsigned short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        Close();
        return false;
    }
    bool ok = false;
    const std::string line = ReadLine(&ok);
    if (greeting) *greeting = line;
    return ok;
}

void LineClient::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    buffer_.clear();
}

bool LineClient::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool LineClient::Fill() {
    pollfd fd{fd_, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(timeout_.count())) <= 0) return false;
    char chunk[65536];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

std::string LineClient::ReadLine(bool* ok) {
    if (ok) *ok = false;
    std::size_t lf;
    while ((lf = buffer_.find('\n')) == std::string::npos) {
        if (fd_ < 0 || !Fill()) return {};
    }
    std::string line = buffer_.substr(0, lf);
    buffer_.erase(0, lf + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (ok) *ok = true;
    return line;
}

std::string LineClient::ReadBytes(std::size_t size) {
    while (buffer_.size() < size) {
        if (fd_ < 0 || !Fill()) break;
    }
    const std::size_t n = std::min(size, buffer_.size());
    std::string out = buffer_.substr(0, n);
    buffer_.erase(0, n);
    return out;
}

std::string LineClient::Command(const std::string& line) {
    if (!Send(line + "\r\n")) return {};
    return ReadLine();
}

bool LineClient::Login(const std::string& user, const std::string& password, bool superuser) {
    Command((superuser ? "SU " : "USER ") + user);
    return Command("PASS " + password).rfind("+", 0) == 0;
}

bool LineClient::WaitClosed(std::chrono::milliseconds limit) {
    const auto saved = timeout_;
    timeout_ = limit;
    bool closed = false;
    while (true) {
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(limit.count())) <= 0) break;
        char chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) {
            closed = true;
            break;
        }
    }
    timeout_ = saved;
    return closed;
}

}  // namespace q5test
