#include "DatabaseBackup.h"

#include "Database.h"
#include "ServerAddress.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

BackupResult failed(const QString &text)
{
    return {BackupResult::Failed, QString(), text};
}

struct CloseSqlite
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using SqlitePtr = std::unique_ptr<sqlite3, CloseSqlite>;

// The system's text for a failed write where there is one (no such folder,
// read-only file system, …), else the engine's.
QString writeFailureText(sqlite3 *dest, int rc)
{
    if (const int error = sqlite3_system_errno(dest))
        return systemText(error);
    // SQLite reports a full disk without keeping errno.
    if ((rc & 0xff) == SQLITE_FULL)
        return systemText(ENOSPC);
    return QString::fromUtf8(sqlite3_errmsg(dest));
}

bool isBusy(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Copies every page of source's main database into the file at path in one
// read transaction of source.
BackupResult copyPages(sqlite3 *source, const QString &path)
{
    sqlite3 *raw = nullptr;
    const int openRc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                       SQLITE_OPEN_READWRITE, nullptr);
    const SqlitePtr dest(raw);
    if (openRc != SQLITE_OK)
        return failed(dest ? writeFailureText(dest.get(), openRc) : systemText(ENOMEM));

    sqlite3_backup *backup = sqlite3_backup_init(dest.get(), "main", source, "main");
    if (!backup)
        return failed(QString::fromUtf8(sqlite3_errmsg(dest.get())));
    // One step for all pages: the copy is a single snapshot of the source.
    const int stepRc = sqlite3_backup_step(backup, -1);
    const int finishRc = sqlite3_backup_finish(backup);
    if (stepRc == SQLITE_DONE && finishRc == SQLITE_OK)
        return {BackupResult::Copied, path, QString()};
    if (isBusy(stepRc))
        return {BackupResult::Busy, QString(), QString()};
    return failed(writeFailureText(dest.get(), stepRc != SQLITE_DONE ? stepRc : finishRc));
}


// Writes through write() into a temporary name beside target, then renames
// it into place, so target is either the whole copy or what it was before.
BackupResult writeAndRename(const QString &target, const std::function<BackupResult(const QString &)> &write)
{
    // Reserving the temporary name is the first write into the folder, so a
    // missing folder or a read-only drive reports here, in the system's words.
    const QFileInfo info(target);
    QTemporaryFile part(info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!part.open())
        return failed(part.errorString());
    part.close();

    BackupResult result = write(part.fileName());
    if (result.status != BackupResult::Copied)
        return result;
    // rename() replaces an older backup of the same hour in one step.
    if (std::rename(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return failed(systemText(errno));
    part.setAutoRemove(false);
    result.path = target;
    return result;
}

} // namespace

BackupResult CopyDatabase(const QSqlDatabase &db, const QString &target)
{
    sqlite3 *source = SqliteHandle(db);
    if (!source)
        return failed(db.isOpen() ? QStringLiteral("共享数据库请在服务器上备份。")
                                  : QStringLiteral("数据库没有打开。"));
    return writeAndRename(target, [source](const QString &part) { return copyPages(source, part); });
}

BackupResult DumpServerDatabase(const QSqlDatabase &db, const QString &target, const QString &pgDump)
{
    if (pgDump.isEmpty())
        return failed(QStringLiteral("本机没有 pg_dump（postgresql-client），共享数据库由服务器管理员备份。"));
    const QString uri = ServerAddress::of(db).toUri();
    return writeAndRename(target, [&](const QString &part) {
        QProcess dump;
        dump.setStandardOutputFile(QProcess::nullDevice());
        // The password comes from the same place the program's came from.
        dump.start(pgDump, {QStringLiteral("--format=custom"), QStringLiteral("--file=") + part,
                            QStringLiteral("--dbname=") + uri});
        if (!dump.waitForStarted())
            return failed(dump.errorString());
        // A large database takes minutes; the user waits as for any backup.
        if (!dump.waitForFinished(-1) || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
            const QString text = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
            return failed(text.isEmpty() ? dump.errorString() : text);
        }
        return BackupResult{BackupResult::Copied, QString(), QString()};
    });
}
