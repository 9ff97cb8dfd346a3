#include "shell/instance_lock.h"

#include <unistd.h>

#include <QDir>

namespace q5::shell {

QString InstanceLock::LockPath() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists()) {
        dir = QDir::tempPath() + QStringLiteral("/q5client-") + QString::number(getuid());
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return dir + QStringLiteral("/q5client.lock");
}

InstanceLock::InstanceLock() : file_(std::make_unique<QLockFile>(LockPath())) {
    // Never age a lock by time: a program may run for weeks. A lock is
    // stale only when the process it names is gone.
    file_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryLock() {
    if (file_->isLocked()) return true;
    return file_->tryLock(0);
}

bool InstanceLock::held() const {
    return file_->isLocked();
}

void InstanceLock::Unlock() {
    file_->unlock();
}

}  // namespace q5::shell
