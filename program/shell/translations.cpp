#include "shell/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace q5::shell {

namespace {

// Qt's own texts the program's translations put right: Qt's German system
// menu of an inner window gives Minimize and Close the same mnemonic. The
// program's translator is asked before Qt's.
[[maybe_unused]] constexpr const char* kQtTextsOverridden[] = {
    QT_TRANSLATE_NOOP("QMdiSubWindow", "Mi&nimize"),
};

}  // namespace

QStringList TranslationFolders(const QString& program_dir) {
    const QDir dir(program_dir);
    return {dir.filePath(QStringLiteral("translations")),
            QDir::cleanPath(dir.filePath(QStringLiteral(Q5CLIENT_INSTALLED_TRANSLATIONS)))};
}

QString InstallTranslators(const QStringList& folders, const QLocale& locale) {
    auto* app = QCoreApplication::instance();
    for (const QString& name : locale.uiLanguages()) {
        const QLocale language(name);
        // English is the program's own; "C" (LANGUAGE=C) asks for it too.
        if (language.language() == QLocale::English || language.language() == QLocale::C) return {};
        auto* own = new QTranslator(app);
        bool found = false;
        for (const QString& folder : folders) {
            if (own->load(language, QStringLiteral("q5client"), QStringLiteral("_"), folder)) {
                found = true;
                break;
            }
        }
        if (!found) {
            delete own;
            continue;
        }
        // Qt's buttons and dialogs in the same language; a missing Qt
        // translation leaves them English and the program's texts still
        // translated.
        auto* qt = new QTranslator(app);
        if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt);
        } else {
            delete qt;
        }
        QCoreApplication::installTranslator(own);
        return QLocale::languageToCode(language.language());
    }
    return {};
}

}  // namespace q5::shell
