// The emulator for the call control tests: q5sim with its demo data and a
// superuser account, on 127.0.0.1, that can be killed and started again on
// the same port and data folder; and the emulator-only commands that start
// and end calls, sent over a connection of their own.
//
// Thread rule: test thread only.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace q5test {

class CallSim {
public:
    // Starts q5sim (data in a fresh folder under `root`); port() is 0 when it
    // could not be started.
    CallSim(const std::string& tool, const std::string& root, std::vector<std::string> extra = {});
    ~CallSim();
    CallSim(const CallSim&) = delete;
    CallSim& operator=(const CallSim&) = delete;

    int port() const { return port_; }
    const std::string& data_dir() const { return data_dir_; }
    bool running() const { return pid_ > 0; }
    // Kills the emulator at once, as a crash would.
    void Kill();
    // Starts it again on the same port and data; false when that failed.
    bool Restart();

    // Sends one command line as the superuser and returns the reply line.
    std::string Command(const std::string& line) const;
    // SIM_CALL: the new call's key, or empty.
    std::string StartCall(const std::string& mailbox, const std::string& number,
                          const std::string& name = {}) const;

private:
    bool Launch(bool seed);

    std::string tool_;
    std::string data_dir_;
    std::vector<std::string> extra_;
    pid_t pid_ = -1;
    int port_ = 0;
    int output_ = -1;
};

}  // namespace q5test
