// Autostart: the XDG autostart entry that starts the desktop program with
// the user's desktop session, $XDG_CONFIG_HOME/autostart/<application
// id>.desktop (the config folder defaults to ~/.config).
//
// Thread rule: any thread (plain file operations).
#pragma once

#include <QString>

namespace q5::shell {

// Where the entry lives.
QString AutostartEntryPath();
// The entry's text, starting `program` (an absolute path).
QByteArray AutostartEntryText(const QString& program);
// Writes the entry for `program`; empty on success, else why it failed.
QString WriteAutostartEntry(const QString& program);
// Removes the entry; empty on success (also when there was none).
QString RemoveAutostartEntry();

}  // namespace q5::shell
