#include "q5sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace q5test {

Q5SimProcess::Q5SimProcess(std::string data_dir, std::vector<std::string> extra)
    : data_dir_(std::move(data_dir)), extra_(std::move(extra)), log_path_(data_dir_ + ".log") {}

Q5SimProcess::~Q5SimProcess() {
    Stop();
}

bool Q5SimProcess::Start() {
    int out[2];
    if (::pipe(out) != 0) {
        error_ = "pipe failed";
        return false;
    }
    std::vector<std::string> args = {Q5SIM_TOOL, "--listen", "127.0.0.1:0", "--data", data_dir_};
    args.insert(args.end(), extra_.begin(), extra_.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int log = ::open(log_path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        if (log >= 0) ::dup2(log, STDERR_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (log >= 0) ::close(log);
    if (pid_ < 0) {
        ::close(out[0]);
        error_ = "fork failed";
        return false;
    }
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{out[0], POLLIN, 0};
        if (::poll(&fd, 1, 200) <= 0) continue;
        char chunk[256];
        const ssize_t n = ::read(out[0], chunk, sizeof chunk);
        if (n <= 0) break;
        line.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    if (line.rfind("port ", 0) != 0) {
        error_ = "q5sim did not report its port: '" + line + "'\n" + Log();
        Kill();
        return false;
    }
    port_ = std::stoi(line.substr(5));
    return true;
}

int Q5SimProcess::Stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Q5SimProcess::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string Q5SimProcess::Log() const {
    std::ifstream in(log_path_);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    return all.size() > 4000 ? all.substr(all.size() - 4000) : all;
}

}  // namespace q5test
