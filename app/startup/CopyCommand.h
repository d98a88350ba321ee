#pragma once

#include <QStringList>

// "tovik --copy-database <from> <to>": moves the books between an SQLite
// file and a server without opening a window. Returns the exit code; what
// was copied goes to standard output, a refusal or an error to standard error.
int RunCopyDatabase(const QStringList &arguments);
