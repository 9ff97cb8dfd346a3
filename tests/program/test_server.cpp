#include "test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace q5test {

FakeQ5Server::FakeQ5Server() {
    listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listen_fd_, 8);
    socklen_t length = sizeof address;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    if (pipe(wake_) != 0) wake_[0] = wake_[1] = -1;
    thread_ = std::thread([this] { Run(); });
}

FakeQ5Server::~FakeQ5Server() {
    Stop();
}

void FakeQ5Server::Stop() {
    if (stop_.exchange(true)) return;
    if (wake_[1] >= 0) {
        char c = 0;
        [[maybe_unused]] ssize_t ignored = write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    for (int& fd : {std::ref(listen_fd_), std::ref(wake_[0]), std::ref(wake_[1])}) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

std::vector<std::string> FakeQ5Server::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void FakeQ5Server::Run() {
    std::map<int, std::string> clients;  // fd -> bytes not yet a whole line
    while (!stop_) {
        std::vector<pollfd> fds{{listen_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        for (auto& [fd, pending] : clients) fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), 1000) <= 0) continue;
        if (fds[0].revents & POLLIN) {
            int fd = accept(listen_fd_, nullptr, nullptr);
            if (fd >= 0) {
                ++connections_;
                clients[fd];
                const char greeting[] = "+OK 5 Q5Server test double ready\r\n";
                [[maybe_unused]] ssize_t sent = send(fd, greeting, sizeof greeting - 1, MSG_NOSIGNAL);
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char chunk[1024];
            const ssize_t n = recv(fds[i].fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                close(fds[i].fd);
                clients.erase(fds[i].fd);
                continue;
            }
            std::string& pending = clients[fds[i].fd];
            pending.append(chunk, static_cast<std::size_t>(n));
            Serve(fds[i].fd, pending);
        }
    }
    for (auto& [fd, pending] : clients) close(fd);
}

void FakeQ5Server::Serve(int fd, std::string& pending) {
    static thread_local std::map<int, std::string> user_of;
    for (std::size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 2);
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        }
        const std::string word = line.substr(0, line.find(' '));
        const std::string argument = line.size() > word.size() ? line.substr(word.size() + 1) : std::string();
        std::string reply = "-ERR unknown command";
        if (word == "USER") {
            user_of[fd] = argument;
            reply = "+OK send password";
        } else if (word == "PASS") {
            reply = user_of[fd] == user() && argument == password() ? "+OK mailbox logged in"
                                                                    : "-ERR login failed";
        } else if (word == "NOOP" || word == "QUIT") {
            reply = "+OK";
        }
        reply += "\r\n";
        [[maybe_unused]] ssize_t sent = send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
    }
}

Q5Sim::Q5Sim(const std::string& tool, const std::vector<std::string>& extra) {
    char dir_template[] = "/tmp/q5sim-data-XXXXXX";
    if (!mkdtemp(dir_template)) return;
    data_dir_ = dir_template;
    int out[2];
    if (pipe(out) != 0) return;
    // Its log (one line per command) goes to a file that Log() reads.
    const int log_fd =
        open((data_dir_ + "/q5sim.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
    pid_ = fork();
    if (pid_ == 0) {
        if (log_fd >= 0) dup2(log_fd, STDERR_FILENO);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<std::string> args = {tool, "--listen", "127.0.0.1:0", "--data", data_dir_, "--seed-demo"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    if (log_fd >= 0) close(log_fd);
    // The first line is "port N".
    std::string first;
    char c;
    pollfd waiting{out[0], POLLIN, 0};
    while (first.size() < 64 && poll(&waiting, 1, 20000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        first += c;
    output_ = out[0];
    if (first.rfind("port ", 0) == 0) port_ = atoi(first.c_str() + 5);
}

std::string Q5Sim::Log() const {
    std::ifstream file(data_dir_ + "/q5sim.log", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

Q5Sim::~Q5Sim() {
    Stop();
    std::error_code ignored;
    if (!data_dir_.empty()) std::filesystem::remove_all(data_dir_, ignored);
}

void Q5Sim::Pause() const {
    if (pid_ > 0) kill(pid_, SIGSTOP);
}

void Q5Sim::Resume() const {
    if (pid_ > 0) kill(pid_, SIGCONT);
}

void Q5Sim::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    // A paused one takes the signal once it runs again.
    kill(pid_, SIGCONT);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    if (output_ >= 0) close(output_);
    output_ = -1;
}

std::unique_ptr<TestServer> StartDemoServer() {
    const std::string tool = Q5SIM_TOOL;
    if (!tool.empty() && std::filesystem::exists(tool)) {
        auto sim = std::make_unique<Q5Sim>(tool);
        if (sim->port() > 0) return sim;
    }
    return std::make_unique<FakeQ5Server>();
}

}  // namespace q5test
