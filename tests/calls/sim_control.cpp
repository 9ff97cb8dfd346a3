#include "sim_control.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace q5test {
namespace {

constexpr const char* kSu = "admin";
constexpr const char* kSuPassword = "secret";

// Reads one line (without its end) from fd within `ms`.
bool ReadLine(int fd, std::string& line, int ms) {
    line.clear();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    char c;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        if (read(fd, &c, 1) != 1) return false;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        line.push_back(c);
    }
}

bool SendAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

CallSim::CallSim(const std::string& tool, const std::string& root, std::vector<std::string> extra)
    : tool_(tool), data_dir_(root + "/q5sim-data"), extra_(std::move(extra)) {
    std::filesystem::create_directories(data_dir_);
    Launch(true);
}

CallSim::~CallSim() {
    Kill();
}

bool CallSim::Launch(bool seed) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return false;
    std::vector<std::string> args = {tool_,     "--listen", "127.0.0.1:" + std::to_string(port_), "--data",
                                     data_dir_, "--su",     std::string(kSu) + ":" + kSuPassword, "--quiet"};
    if (seed) args.push_back("--seed-demo");
    args.insert(args.end(), extra_.begin(), extra_.end());
    const pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        return false;
    }
    if (pid == 0) {
        dup2(out[1], 1);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(tool_.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    pid_ = pid;
    output_ = out[0];
    std::string first;
    if (!ReadLine(output_, first, 15000) || first.rfind("port ", 0) != 0) {
        Kill();
        return false;
    }
    port_ = std::atoi(first.c_str() + 5);
    return port_ > 0;
}

void CallSim::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
}

bool CallSim::Restart() {
    Kill();
    // The port may linger for a moment after the kill.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (Launch(false)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string CallSim::Command(const std::string& line) const {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ReadLine(fd, reply, 5000) && SendAll(fd, std::string("SU ") + kSu + "\r\n") &&
        ReadLine(fd, reply, 5000) && SendAll(fd, std::string("PASS ") + kSuPassword + "\r\n") &&
        ReadLine(fd, reply, 5000) && reply.rfind("+", 0) == 0 && SendAll(fd, line + "\r\n") &&
        ReadLine(fd, reply, 5000)) {
        SendAll(fd, "QUIT\r\n");
    } else {
        reply.clear();
    }
    close(fd);
    return reply;
}

std::string CallSim::StartCall(const std::string& mailbox, const std::string& number,
                               const std::string& name) const {
    std::string line = "SIM_CALL " + mailbox + " " + number;
    if (!name.empty()) line += " " + name;
    const std::string reply = Command(line);
    if (reply.rfind("+OK ", 0) != 0) return {};
    return reply.substr(4);
}

}  // namespace q5test
