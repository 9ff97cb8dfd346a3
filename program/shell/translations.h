// The program's languages: Qt's own translations (the standard buttons and
// dialogs) and the program's, both in the user's interface language.
//
// The language is the first of QLocale::system().uiLanguages() (LANGUAGE,
// then LC_ALL, LC_MESSAGES, LANG) that is English or that the program has a
// translation for; English, "C" or no translation at all leave every text
// in the program's own English.
//
// Thread rule: UI thread, before the first window is made.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace q5::shell {

// Where the program's translations (q5client_<language>.qm) are looked for:
// the folder "translations" beside the program (the build tree), then the
// installed share/q5client/translations relative to the program's folder.
QStringList TranslationFolders(const QString& program_dir);

// Installs the translators on the application and returns the language
// chosen ("es", "de", ...), or an empty string for English. The translators
// are children of the application and live as long as it does.
QString InstallTranslators(const QStringList& folders, const QLocale& locale = QLocale::system());

}  // namespace q5::shell
