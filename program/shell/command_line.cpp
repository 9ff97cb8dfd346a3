#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace q5::shell {

QString VersionLine() {
    return QStringLiteral("q5client 2.0 (build " Q5CLIENT_VERSION ")");
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine",
                                    "Q5Client desktop program: log in to a mailbox of a Q5Server, watch and "
                                    "steer its calls\nand edit its settings."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("CommandLine", "Show this help and exit."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine", "Show the program's version and exit."));
    const QCommandLineOption host(
        QStringLiteral("host"),
        QCoreApplication::translate("CommandLine",
                                    "Server for the login dialog: HOST (port 1008) or HOST:PORT."),
        QCoreApplication::translate("CommandLine", "host"));
    const QCommandLineOption user(
        QStringLiteral("user"),
        QCoreApplication::translate("CommandLine", "User name (mailbox number) for the login dialog."),
        QCoreApplication::translate("CommandLine", "name"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QCoreApplication::translate(
            "CommandLine",
            "Write the support log's debug messages (categories q5client.*) to standard error."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(host);
    parser.addOption(user);
    parser.addOption(verbose);
    if (!parser.parse(arguments)) {
        result.exit_now = true;
        result.exit_code = 2;
        result.output =
            parser.errorText() + QCoreApplication::translate("CommandLine", "\nTry 'q5client --help'.\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.exit_now = true;
        result.exit_code = 2;
        result.output =
            QCoreApplication::translate("CommandLine", "Unexpected argument: %1\nTry 'q5client --help'.\n")
                .arg(parser.positionalArguments().first());
        return result;
    }
    if (parser.isSet(help)) {
        result.exit_now = true;
        // Without an application object Qt cannot name the program itself.
        result.output =
            parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("q5client"));
        return result;
    }
    if (parser.isSet(version)) {
        result.exit_now = true;
        result.output = VersionLine() + QLatin1Char('\n');
        return result;
    }
    result.host_given = parser.isSet(host);
    result.host = parser.value(host);
    result.user_given = parser.isSet(user);
    result.user = parser.value(user);
    result.verbose = parser.isSet(verbose);
    return result;
}

}  // namespace q5::shell
