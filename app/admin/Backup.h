#pragma once

#include "Volumes.h"
#include "shared/data/DatabaseBackup.h"

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

// The backup command without its window: into the folder the "backup"
// setting names (with or without a trailing "/"), else onto the first
// removable drive, under the name for now; a server database is dumped with
// the pg_dump found on PATH.
BackupResult BackupDatabase(const QSqlDatabase &db, const QString &backupSetting,
                            const QList<Volume> &volumes, const QDateTime &now);

// What the user is told about a backup.
QString BackupMessage(const BackupResult &result);
