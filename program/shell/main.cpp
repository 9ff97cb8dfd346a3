// q5client: the desktop program's entry.

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QCoreApplication>

#include "shell/app_identity.h"
#include "shell/command_line.h"
#include "shell/log_categories.h"
#include "shell/program.h"
#include "shell/translations.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Qt aborts the process when it cannot reach a display; say why instead.
// A platform named in QT_QPA_PLATFORM (offscreen, minimal, vnc, ...) is
// Qt's to judge.
bool HaveDisplay() {
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const q5::shell::CommandLine options = q5::shell::ParseCommandLine(arguments);
    if (options.exit_now || !HaveDisplay()) {
        // What the terminal is told, in the user's language: an application
        // object without a display carries the translators. Its only
        // argument names the program in the help as "q5client".
        int terminal_argc = 1;
        char name[] = "q5client";
        char* terminal_argv[] = {name, nullptr};
        QCoreApplication terminal(terminal_argc, terminal_argv);
        q5::shell::InstallTranslators(q5::shell::TranslationFolders(QCoreApplication::applicationDirPath()));
        if (options.exit_now) {
            const q5::shell::CommandLine told = q5::shell::ParseCommandLine(arguments);
            std::fputs(told.output.toLocal8Bit().constData(), told.exit_code == 0 ? stdout : stderr);
            return told.exit_code;
        }
        std::fputs(QCoreApplication::translate("main",
                                               "q5client: no display: neither DISPLAY nor WAYLAND_DISPLAY is "
                                               "set; start it in a desktop session, or without one under "
                                               "xvfb-run (xvfb-run q5client)\n")
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 1;
    }

    q5::shell::SetUpLogging(options.verbose);
    QApplication app(argc, argv);
    q5::shell::InstallTranslators(q5::shell::TranslationFolders(QCoreApplication::applicationDirPath()));
    QApplication::setApplicationName(QStringLiteral("Q5Client"));
    QApplication::setApplicationVersion(QStringLiteral(Q5CLIENT_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends by its own rules
    q5::shell::ApplyDesktopIdentity();

    int code;
    {
        q5::Program program;
        q5::Program::Options start;
        start.host = options.host;
        start.user = options.user;
        start.program_dir = QCoreApplication::applicationDirPath();
        if (!program.Start(start)) return program.exit_code();
        code = QApplication::exec();
        if (program.windows().ProgramEnding()) code = program.windows().ProgramExitCode();
    }
    return code;
}
