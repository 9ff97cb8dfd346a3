// The library's module state: how many objects and class-factory locks are
// alive (DllCanUnloadNow answers from these counts).
//
// Thread rule: the counters are atomic; any thread may change them.
#pragma once

#include <atomic>

namespace q5::component {

class Module {
public:
    static void ObjectCreated() noexcept { objects_.fetch_add(1, std::memory_order_relaxed); }
    static void ObjectDestroyed() noexcept { objects_.fetch_sub(1, std::memory_order_relaxed); }
    static void Lock() noexcept { locks_.fetch_add(1, std::memory_order_relaxed); }
    static void Unlock() noexcept { locks_.fetch_sub(1, std::memory_order_relaxed); }
    static bool CanUnload() noexcept {
        return objects_.load(std::memory_order_relaxed) == 0 && locks_.load(std::memory_order_relaxed) == 0;
    }

private:
    static inline std::atomic<long> objects_{0};
    static inline std::atomic<long> locks_{0};
};

}  // namespace q5::component
