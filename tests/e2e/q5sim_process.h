// Q5SimProcess: runs the q5sim program for a test on an ephemeral port of
// 127.0.0.1 with a data folder of the test's, and makes sure it is gone when
// the test ends.
//
// Thread rule: one thread (the test's).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace q5test {

class Q5SimProcess {
public:
    // `extra` are further options (--seed-demo, --su ..., --call-linger 1).
    Q5SimProcess(std::string data_dir, std::vector<std::string> extra);
    Q5SimProcess(const Q5SimProcess&) = delete;
    Q5SimProcess& operator=(const Q5SimProcess&) = delete;
    ~Q5SimProcess();  // Stop()

    // Starts the program and waits for its "port N" line; false (with the
    // reason in error()) when it did not come up within 15 seconds.
    bool Start();
    // SIGTERM, then SIGKILL if it has not ended within 10 seconds. Returns
    // the exit status (-1 when killed or not running).
    int Stop();
    // SIGKILL at once, as a crash would end it.
    void Kill();

    int port() const { return port_; }
    const std::string& error() const { return error_; }
    // The program's log (its standard error), for failure messages.
    std::string Log() const;

private:
    std::string data_dir_;
    std::vector<std::string> extra_;
    pid_t pid_ = -1;
    int port_ = 0;
    std::string error_;
    std::string log_path_;
};

}  // namespace q5test
