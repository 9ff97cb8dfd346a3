// Gate: a flag one thread raises and another waits for, e.g. to hold the
// session thread's work until a test lets it go on. The wait is bounded so
// a broken session fails the test instead of hanging it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace q5test {

class Gate {
public:
    void Open() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    // True once opened; false when the bound ran out first.
    bool Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

}  // namespace q5test
