// The window tests share one application object (offscreen platform, set
// by the test's environment).
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/translations.h"

namespace {

// The offscreen platform warns about every window feature it lacks; those
// lines say nothing about the program.
QtMessageHandler g_default_handler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (g_default_handler) g_default_handler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display either.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_default_handler = qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The runs that check the forms in the user's language install the
    // translators the program's start-up installs.
#ifdef Q5_PROGRAM_DIR
    if (qEnvironmentVariableIsSet("Q5_TEST_TRANSLATORS")) {
        q5::shell::InstallTranslators(q5::shell::TranslationFolders(QStringLiteral(Q5_PROGRAM_DIR)));
    }
#endif
    return RUN_ALL_TESTS();
}
