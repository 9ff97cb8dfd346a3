#include "shell/local_paths.h"

#include <QDir>
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
        if (!QDir(path).exists() && !QDir().mkdir(path)) all = false;
    }
    return all;
}

}  // namespace q5::shell
