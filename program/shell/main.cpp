// q5client: the desktop program's entry.

#include <cstdio>

#include <QApplication>
#include <QStyle>

#include "shell/command_line.h"
#include "shell/program.h"
#include "shell/session_state.h"
#include "shell/windows.h"

int main(int argc, char** argv) {
    // --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const q5::shell::CommandLine options = q5::shell::ParseCommandLine(arguments);
    if (options.exit_now) {
        std::fputs(options.output.toLocal8Bit().constData(), options.exit_code == 0 ? stdout : stderr);
        return options.exit_code;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Q5Client"));
    QApplication::setApplicationVersion(QStringLiteral(Q5CLIENT_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends by its own rules
    QApplication::setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));

    int code;
    {
        q5::Program program;
        q5::Program::Options start;
        start.host = options.host;
        start.user = options.user;
        start.program_dir = QCoreApplication::applicationDirPath();
        if (!program.Start(start)) return program.exit_code();
        code = QApplication::exec();
        if (q5::windows::ProgramEnding()) code = q5::windows::ProgramExitCode();
        q5::windows::DestroyAllWindows();
        q5::ReleaseSession();
    }
    return code;
}
