// The program in the user's language: the translators the start-up installs
// (chosen by LANGUAGE, which CTest sets per run of this test: es, de, en:es,
// and C with the other window tests) turn the main window's menus and a message box, Qt's standard
// buttons included, into that language; C and an English first choice keep
// the program's own English.
#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <map>
#include <ostream>

#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/message_service.h"
#include "shell/translations.h"
#include "ui_frm_main.h"

// Failures show the texts, not their bytes.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using q5::frmMain;

struct Texts {
    QStringList menus;    // Call Control, Administration, Help
    QStringList actions;  // Start Call Control, Mailbox Settings, About
    QString question;     // the ask-to-save box
    QStringList buttons;  // Yes, No, Cancel
};

// Compared without the mnemonics' '&'.
const std::map<QString, Texts> kExpected = {
    {QString(),
     {{"Call Control", "Administration", "Help"},
      {"Start Call Control", "Mailbox Settings", "About "},
      "Fields have been changed. Do you want to save?",
      {"Yes", "No", "Cancel"}}},
    {QStringLiteral("es"),
     {{"Control de llamadas", "Administración", "Ayuda"},
      {"Iniciar el control de llamadas", "Configuración del buzón", "Acerca de "},
      "Se han modificado campos. ¿Desea guardar los cambios?",
      {"Sí", "No", "Cancelar"}}},
    {QStringLiteral("de"),
     {{"Anrufsteuerung", "Verwaltung", "Hilfe"},
      {"Anrufsteuerung starten", "Postfacheinstellungen", "Über "},
      "Felder wurden geändert. Möchten Sie speichern?",
      {"Ja", "Nein", "Abbrechen"}}},
};

// The language LANGUAGE asks for: its first entry that is English, C or one
// the program has.
QString WantedLanguage() {
    for (const QString& entry : qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'))) {
        if (entry.startsWith(QLatin1String("en")) || entry == QLatin1String("C")) return {};
        for (const char* language : {"es", "de"}) {
            if (entry.startsWith(QLatin1String(language))) return QString::fromLatin1(language);
        }
    }
    return {};
}

QString Plain(QString text) {
    return text.remove(QLatin1Char('&'));
}

class TranslationTest : public q5test::ProgramTest {
protected:
    void TearDown() override {
        // The other tests of this binary stay English.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        ProgramTest::TearDown();
    }
};

TEST_F(TranslationTest, MainWindowAndMessageBoxSpeakTheUserLanguage) {
    const QString wanted = WantedLanguage();
    ASSERT_EQ(q5::shell::InstallTranslators(q5::shell::TranslationFolders(QStringLiteral(Q5_PROGRAM_DIR))),
              wanted)
        << "LANGUAGE=" << qEnvironmentVariable("LANGUAGE").toStdString();
    const Texts& expected = kExpected.at(wanted);

    q5test::FakeQ5Server server;
    LogIn(windows().Load<q5::frmLogin>(), QString::fromStdString(server.user()),
          QString::fromStdString(server.password()), HostOf(server), false);
    ASSERT_TRUE(session().loggedIn());
    frmMain& main = windows().Load<frmMain>();
    main.show();
    Pump();
    const QList<QMenu*> menus{main.ui()->mnuCallControl, main.ui()->mnuAdministration, main.ui()->mnuHelp};
    for (int i = 0; i < menus.size(); ++i) EXPECT_EQ(Plain(menus[i]->title()), expected.menus[i]);
    const QList<QAction*> actions{main.ui()->mnuStartCallControl, main.ui()->mnuMailbox,
                                  main.ui()->mnuHelpAbout};
    for (int i = 0; i < actions.size(); ++i) EXPECT_EQ(Plain(actions[i]->text()), expected.actions[i]);

    // The real box, as the user sees it: read it, then close it with Escape.
    q5::shell::MessageService::SetResponder({});
    QString text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
            buttons << (box->button(button) ? Plain(box->button(button)->text()) : QString());
        }
        box->reject();
    });
    EXPECT_EQ(q5::AskSave(), 2) << "closing the box is Cancel";
    EXPECT_EQ(text, expected.question);
    EXPECT_EQ(buttons, expected.buttons);
}

}  // namespace
