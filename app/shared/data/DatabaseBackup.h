#pragma once

#include <QString>

class QSqlDatabase;

// Backups made by the database engines themselves: SQLite's online backup of
// the open file, and pg_dump for a server.

struct BackupResult
{
    enum Status { Copied, NoDestination, Busy, Failed };

    Status status = Failed;
    QString path;      // the backup file, when copied
    QString errorText; // the system's or the engine's text, when failed
};

// Copies the open SQLite database db into the file target as one consistent
// snapshot, while db stays open and other connections go on writing. The
// copy is made under a temporary name beside target and renamed into place,
// so target is either the whole copy or what it was before; an existing
// target is replaced.
BackupResult CopyDatabase(const QSqlDatabase &db, const QString &target);

// Dumps the server database that db is connected to into the file target
// with pg_dump (custom format, for pg_restore), written as CopyDatabase
// writes. pgDump is the program's path; empty when there is none, and then
// the user is told that the server's administrator keeps the backups.
BackupResult DumpServerDatabase(const QSqlDatabase &db, const QString &target, const QString &pgDump);
