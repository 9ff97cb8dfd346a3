// LineClient: a plain blocking TCP client of the q5sim line protocol for
// tests that speak it directly (emulator-only commands, broken transfers).
// Every read gives up after a time limit, so a test never hangs.
//
// Thread rule: one thread per client.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace q5test {

class LineClient {
public:
    LineClient() = default;
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;
    ~LineClient();

    // Connects to 127.0.0.1:port and reads the greeting; false on failure.
    bool Connect(int port, std::string* greeting = nullptr);
    void Close();
    bool Send(const std::string& bytes);
    // One line without CR LF; empty with ok=false on timeout or close.
    std::string ReadLine(bool* ok = nullptr);
    // Exactly `size` bytes, or fewer on timeout or close.
    std::string ReadBytes(std::size_t size);
    // Sends "line\r\n" and returns the reply line.
    std::string Command(const std::string& line);
    // USER/PASS or SU/PASS; true when PASS was accepted.
    bool Login(const std::string& user, const std::string& password, bool superuser = false);
    // True when the server closed the connection within the limit.
    bool WaitClosed(std::chrono::milliseconds limit);

    void set_timeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

private:
    bool Fill();

    int fd_ = -1;
    std::string buffer_;
    std::chrono::milliseconds timeout_{10000};
};

}  // namespace q5test
