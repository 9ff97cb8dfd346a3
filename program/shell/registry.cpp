#include "shell/registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace q5::shell {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString ConfigDirectory() {
    // Honours $XDG_CONFIG_HOME, else ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/q5client");
}

// An application name becomes a file name; keep it to one path component.
QString FileNameOf(const QString& app) {
    QString name = app.isEmpty() ? QStringLiteral("default") : app;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name == QLatin1String(".") || name == QLatin1String("..")) name = QStringLiteral("_");
    return name + QStringLiteral(".ini");
}

// The folder and the file exist and only their owner can reach them before
// QSettings writes a value into the file.
void PrepareFile(const QString& path) {
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir(dir).exists()) {
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) file.close();
    if (file.exists() && file.permissions() != kOwnerOnly) QFile::setPermissions(path, kOwnerOnly);
}

QString Address(const QString& section, const QString& key) {
    return section.isEmpty() ? key : section + QLatin1Char('/') + key;
}

// The system configuration folders, most important first: the absolute
// entries of $XDG_CONFIG_DIRS, or /etc/xdg when it names none.
QStringList SystemConfigDirectories() {
    QStringList dirs;
    const QStringList entries =
        qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        if (QDir::isAbsolutePath(entry)) dirs << QDir::cleanPath(entry);
    }
    if (dirs.isEmpty()) dirs << QStringLiteral("/etc/xdg");
    return dirs;
}

}  // namespace

QString Registry::FilePath(const QString& app) {
    return ConfigDirectory() + QLatin1Char('/') + FileNameOf(app);
}

QString Registry::DefaultsFilePath(const QString& app) {
    for (const QString& dir : SystemConfigDirectories()) {
        const QString path = dir + QStringLiteral("/q5client/") + FileNameOf(app);
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

QString Registry::ReadDefault(const QString& app, const QString& section, const QString& key,
                              const QString& fallback) {
    const QString path = DefaultsFilePath(app);
    if (path.isEmpty()) return fallback;
    // Read only: QSettings writes a file back only after a change.
    const QSettings defaults(path, QSettings::IniFormat);
    return defaults.value(Address(section, key), fallback).toString();
}

QString Registry::Read(const QString& app, const QString& section, const QString& key,
                       const QString& fallback) {
    const QString path = FilePath(app);
    if (QFile::exists(path)) {
        const QSettings store(path, QSettings::IniFormat);
        const QVariant value = store.value(Address(section, key));
        if (value.isValid()) return value.toString();
    }
    return ReadDefault(app, section, key, fallback);
}

void Registry::Write(const QString& app, const QString& section, const QString& key, const QString& value) {
    const QString path = FilePath(app);
    PrepareFile(path);
    {
        QSettings store(path, QSettings::IniFormat);
        store.setValue(Address(section, key), value);
        store.sync();
    }
    // The file was replaced by the write; it stays the owner's alone.
    if (QFile(path).permissions() != kOwnerOnly) QFile::setPermissions(path, kOwnerOnly);
}

void Registry::Remove(const QString& app, const QString& section, const QString& key) {
    const QString path = FilePath(app);
    if (!QFile::exists(path)) return;
    {
        QSettings store(path, QSettings::IniFormat);
        store.remove(Address(section, key));
        store.sync();
    }
    if (QFile(path).permissions() != kOwnerOnly) QFile::setPermissions(path, kOwnerOnly);
}

void Registry::RegGet() {
    setting_ = Read(appname_, section_, key_);
}

void Registry::RegSave() {
    Write(appname_, section_, key_, setting_);
}

void Registry::RegDel() {
    Remove(appname_, section_, key_);
}

}  // namespace q5::shell
