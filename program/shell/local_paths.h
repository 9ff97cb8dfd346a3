// Where the program keeps its local files. The folders that the server's
// Windows clients keep under "c:\q5client" live under one per-user base:
// $Q5CLIENT_HOME, else $XDG_DATA_HOME/q5client (~/.local/share/q5client).
// Every local path of the program comes from LocalPath; nothing else builds
// paths.
//
// The folders and the files the program writes there (the call log, sound
// recordings, saved contacts) are the user's alone: folders 0700, files
// 0600, whatever the umask. The helpers below make them so.
//
// Thread rule: any thread (reads the environment; the helpers touch only
// the paths they are given).
#pragma once

#include <QFile>
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
// order, owner-only; returns false when one of them could not be made.
// Folders and files left by earlier versions are made owner-only too: the
// three folders, the call log, the files in vox and temp, and the default
// contacts folder (<base>/contacts) with its files. Symbolic links are
// left alone.
bool EnsureWorkingFolders();

// Creates `path` and its missing parents with mode 0700, and sets 0700 on
// `path` when it exists already; false when it is not a folder afterwards.
bool MakePrivateFolder(const QString& path);

// Sets mode 0600 on an existing file; false when that fails.
bool MakeOwnerOnly(const QString& file);

// QFile::open, except that a file it creates has mode 0600 from the start
// and an existing one is set to 0600.
bool OpenOwnerOnly(QFile& file, QIODevice::OpenMode mode);

}  // namespace q5::shell
