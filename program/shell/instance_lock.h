// InstanceLock: at most one running desktop program per user. A lock file in
// the user's runtime directory ($XDG_RUNTIME_DIR, else the temp folder with
// the user id in its name) holds the owner's process id; a lock left behind
// by a crashed program names a dead process and is taken over.
//
// Thread rule: one thread per object.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace q5::shell {

class InstanceLock {
public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object now holds the lock (or held it already).
    bool TryLock();
    bool held() const;
    void Unlock();

    static QString LockPath();

private:
    std::unique_ptr<QLockFile> file_;
};

}  // namespace q5::shell
