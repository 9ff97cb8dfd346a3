#include "shell/library_registration.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "q5client/q5client.h"

namespace q5::shell {

namespace {

QString ClassKey() {
    OLECHAR text[40];
    StringFromGUID2(CLSID_CoQ5Client, text, 40);
    return QStringLiteral("CLSID\\") + QString::fromUtf16(text) + QStringLiteral("\\InprocServer32");
}

QStringList Candidates(const QString& program_dir) {
    QStringList list;
    const QString own = qEnvironmentVariable("Q5CLIENT_LIBRARY");
    if (!own.isEmpty()) list << own;
    if (!program_dir.isEmpty()) {
        const QDir dir(program_dir);
        list << dir.filePath(QStringLiteral("libq5client.so"))
             << QDir::cleanPath(dir.filePath(QStringLiteral(Q5CLIENT_INSTALLED_LIBRARY)));
#ifdef Q5CLIENT_BUILD_LIBRARY
        list << dir.filePath(QStringLiteral("../library/component/libq5client.so"));
#endif
    }
#ifdef Q5CLIENT_BUILD_LIBRARY
    list << QStringLiteral(Q5CLIENT_BUILD_LIBRARY);
#endif
    return list;
}

QString HexCode(HRESULT hr) {
    return QStringLiteral("0x") +
           QString::number(static_cast<quint32>(hr), 16).toUpper().rightJustified(8, u'0');
}

}  // namespace

bool IsClientClassRegistered() {
    char path[4096];
    const QByteArray key = ClassKey().toUtf8();
    if (Q5RegGetValue(key.constData(), "", path, sizeof path) != S_OK) return false;
    return QFileInfo::exists(QString::fromUtf8(path));
}

RegistrationResult EnsureClientClassRegistered(const QString& program_dir) {
    RegistrationResult result;
    if (IsClientClassRegistered()) {
        result.ok = true;
        return result;
    }
    for (const QString& candidate : Candidates(program_dir)) {
        if (QFileInfo(candidate).isFile()) {
            result.library = QFileInfo(candidate).canonicalFilePath();
            break;
        }
    }
    if (result.library.isEmpty()) {
        result.problem = QCoreApplication::translate(
            "Registration",
            "The Q5Client library (libq5client.so) is not registered for this user and "
            "was not found next to the program.");
        return result;
    }
    const QByteArray file = result.library.toUtf8();
    void* handle = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        result.problem =
            QCoreApplication::translate("Registration", "The Q5Client library %1 could not be loaded: %2")
                .arg(result.library, QString::fromLocal8Bit(dlerror()));
        return result;
    }
    auto entry = reinterpret_cast<PFN_DllRegisterServer>(dlsym(handle, "DllRegisterServer"));
    const HRESULT hr = entry ? entry() : E_FAIL;
    dlclose(handle);
    if (FAILED(hr)) {
        result.problem = QCoreApplication::translate("Registration",
                                                     "The Q5Client library %1 could not be registered (%2).")
                             .arg(result.library, HexCode(hr));
        return result;
    }
    result.registered_now = true;
    result.ok = IsClientClassRegistered();
    if (!result.ok)
        result.problem =
            QCoreApplication::translate("Registration", "The registration of %1 did not take effect.")
                .arg(result.library);
    return result;
}

}  // namespace q5::shell
