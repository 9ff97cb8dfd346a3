#include "shell/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "shell/app_identity.h"

namespace q5::shell {

namespace {

// The program as one argument of an Exec key: quoted when it holds a
// character the desktop entry's command line reserves; inside quotes `"`,
// `` ` ``, `$` and `\` are escaped, and every backslash is doubled again
// as a string value.
QString ExecArgument(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    bool quote = false;
    for (const QChar c : program) quote = quote || reserved.contains(c);
    if (!quote) return program;
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        if (c == u'%') {
            quoted += u'%';  // a literal percent is written twice
        }
        quoted += c;
    }
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

}  // namespace

QString AutostartEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/") + QLatin1String(kApplicationId) + QStringLiteral(".desktop");
}

QByteArray AutostartEntryText(const QString& program) {
    // notr: the entry is read by the desktop, in its own keys; its comment
    // stays English like the installed desktop entry's.
    QByteArray text;
    text += "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=Q5Client\n";
    text += "Comment=Watch and steer the calls of a voice mail server mailbox\n";
    text += "Exec=" + ExecArgument(program).toUtf8() + "\n";
    text += "Icon=" + QByteArray(kApplicationId) + "\n";
    text += "Terminal=false\n";
    text += "X-GNOME-Autostart-enabled=true\n";
    return text;
}

QString WriteAutostartEntry(const QString& program) {
    const QString path = AutostartEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QCoreApplication::translate("q5::shell::Autostart", "The folder %1 could not be made.")
            .arg(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(AutostartEntryText(program)) < 0 || !file.commit())
        return file.errorString();
    return {};
}

QString RemoveAutostartEntry() {
    QFile file(AutostartEntryPath());
    if (!file.exists() || file.remove()) return {};
    return file.errorString();
}

}  // namespace q5::shell
