#include "shell/local_paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace q5::shell {

namespace {

QString Base() {
    const QString own = qEnvironmentVariable("Q5CLIENT_HOME");
    if (!own.isEmpty()) return QDir::cleanPath(own);
    // Honours $XDG_DATA_HOME, else ~/.local/share.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/q5client");
}

constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Sets 0600 on the plain files directly inside `folder` (not on links).
void MakeFilesOwnerOnly(const QString& folder) {
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    while (it.hasNext()) MakeOwnerOnly(it.next());
}

}  // namespace

QString LocalPath(LocalFolder folder, const QString& file) {
    QString path = Base();
    switch (folder) {
        case LocalFolder::base:
            break;
        case LocalFolder::vox:
            path += QStringLiteral("/vox");
            break;
        case LocalFolder::temp:
            path += QStringLiteral("/temp");
            break;
        case LocalFolder::call_log:
            return path + QStringLiteral("/q5clientLog.txt");
    }
    return file.isEmpty() ? path : path + QLatin1Char('/') + file;
}

bool EnsureWorkingFolders() {
    bool all = true;
    for (LocalFolder folder : {LocalFolder::base, LocalFolder::vox, LocalFolder::temp}) {
        const QString path = LocalPath(folder);
        if (!MakePrivateFolder(path)) {
            all = false;
        } else if (folder != LocalFolder::base) {
            MakeFilesOwnerOnly(path);
        }
    }
    const QFileInfo log(LocalPath(LocalFolder::call_log));
    if (log.isFile() && !log.isSymLink()) MakeOwnerOnly(log.filePath());
    const QFileInfo contacts(LocalPath(LocalFolder::base, QStringLiteral("contacts")));
    if (contacts.isDir() && !contacts.isSymLink()) {
        MakePrivateFolder(contacts.filePath());
        MakeFilesOwnerOnly(contacts.filePath());
    }
    return all;
}

bool MakePrivateFolder(const QString& path) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // The missing levels, outermost first.
    QStringList missing;
    for (QString level = clean; !level.isEmpty() && !QFileInfo::exists(level);) {
        missing.prepend(level);
        const QString parent = QFileInfo(level).absolutePath();
        if (parent == level) break;
        level = parent;
    }
    for (const QString& level : missing) {
        // The umask applies to mkdir, so the mode is set again. Another
        // process may make the folder meanwhile: only the end result counts.
        if (QDir().mkdir(level, kOwnerFolder)) QFile::setPermissions(level, kOwnerFolder);
    }
    const QFileInfo made(clean);
    if (!made.isDir()) return false;
    if (!made.isSymLink()) QFile::setPermissions(clean, kOwnerFolder);
    return true;
}

bool MakeOwnerOnly(const QString& file) {
    return QFile::setPermissions(file, kOwnerFile);
}

bool OpenOwnerOnly(QFile& file, QIODevice::OpenMode mode) {
    if (!file.open(mode, kOwnerFile)) return false;
    // An existing file keeps its mode on opening, and the umask applies to
    // a new one.
    file.setPermissions(kOwnerFile);
    return true;
}

}  // namespace q5::shell
