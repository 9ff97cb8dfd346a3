// The program's command line: --host and --user pre-fill the login dialog;
// --verbose turns on the support log's debug messages; --help and --version
// print and end.
//
// Thread rule: UI thread, before any window.
#pragma once

#include <QString>
#include <QStringList>

namespace q5::shell {

struct CommandLine {
    QString host;  // empty: not given
    QString user;
    bool host_given = false;
    bool user_given = false;
    bool verbose = false;   // --verbose: debug messages of q5client.* (see log_categories.h)
    bool exit_now = false;  // --help, --version or a usage error: print `output` and end
    int exit_code = 0;
    QString output;  // for standard output (help, version) or, with exit_code 2, standard error
};

CommandLine ParseCommandLine(const QStringList& arguments);

// "q5client 2.0 (build 1.0.0.1)": the version the About window shows and
// the build number of the project.
QString VersionLine();

}  // namespace q5::shell
