#pragma once

#include "Volumes.h"

#include <QList>
#include <QString>

class QDateTime;
class QSqlDatabase;

// Backups of the open database, kept apart from windows and clocks so that
// each step can be checked on its own.

// "yymmddhh.db" for a local time ("yymmddhh.dump" for a server's dump): a
// second backup within the same hour replaces the first.
QString BackupFileName(const QDateTime &localTime, bool server = false);

// The mount point of the first removable volume in mount order, or "" when
// there is none. The volume mounted at "/" is never taken, even when it is
// removable: a system started from a USB stick must not back up onto itself.
QString FindRemovableDrive(const QList<Volume> &volumes);

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

// The backup command without its window: into the folder the "backup"
// setting names (with or without a trailing "/"), else onto the first
// removable drive, under the name for now; a server database is dumped with
// the pg_dump found on PATH.
BackupResult BackupDatabase(const QSqlDatabase &db, const QString &backupSetting,
                            const QList<Volume> &volumes, const QDateTime &now);

// What the user is told about a backup.
QString BackupMessage(const BackupResult &result);
