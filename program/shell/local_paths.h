// Where the program keeps its local files. The folders that the server's
// Windows clients keep under "c:\q5client" live under one per-user base:
// $Q5CLIENT_HOME, else $XDG_DATA_HOME/q5client (~/.local/share/q5client).
// Every local path of the program comes from LocalPath; nothing else builds
// paths.
//
// Thread rule: any thread (reads the environment only).
#pragma once

#include <QString>
#include <QStringList>

namespace q5::shell {

enum class LocalFolder {
    base,     // c:\q5client
    vox,      // c:\q5client\vox: sound files of calls and greetings
    temp,     // c:\q5client\temp
    call_log  // c:\program files\q5client\q5clientLog.txt (a file)
};

// The path of a folder (or the call log file); with `file`, that file inside
// the folder.
QString LocalPath(LocalFolder folder, const QString& file = QString());

// Creates the working folders base, vox and temp where missing, in this
// order; returns false when one of them could not be made.
bool EnsureWorkingFolders();

}  // namespace q5::shell
