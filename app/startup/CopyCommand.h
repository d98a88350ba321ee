#pragma once

#include <QByteArray>
#include <QStringList>

// "tovik --copy-database <from> <to>": moves the books between an SQLite
// file and a server, or from the Windows program's Access file, without
// opening a window; codePage names an old Access file's text encoding. Returns the exit code; what
// was copied goes to standard output, a refusal or an error to standard error.
int RunCopyDatabase(const QStringList &arguments, const QByteArray &codePage = QByteArray());
