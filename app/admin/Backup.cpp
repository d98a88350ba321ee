#include "Backup.h"

#include "shared/data/Database.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

QString BackupFileName(const QDateTime &localTime, bool server)
{
    return localTime.toString(QStringLiteral("yyMMddHH")) + (server ? QStringLiteral(".dump") : QStringLiteral(".db"));
}

QString FindRemovableDrive(const QList<Volume> &volumes)
{
    for (const Volume &volume : volumes) {
        if (volume.removable && volume.rootPath != QLatin1String("/"))
            return volume.rootPath;
    }
    return QString();
}

BackupResult BackupDatabase(const QSqlDatabase &db, const QString &backupSetting,
                            const QList<Volume> &volumes, const QDateTime &now)
{
    const QString setting = backupSetting.trimmed();
    const QString folder = setting.isEmpty() ? FindRemovableDrive(volumes) : setting;
    if (folder.isEmpty())
        return {BackupResult::NoDestination, QString(), QString()};
    const bool server = IsServerDatabase(db);
    const QString target = QDir(folder).filePath(BackupFileName(now, server));
    if (server)
        return DumpServerDatabase(db, target, QStandardPaths::findExecutable(QStringLiteral("pg_dump")));
    return CopyDatabase(db, target);
}

QString BackupMessage(const BackupResult &result)
{
    switch (result.status) {
    case BackupResult::Copied:
        return QStringLiteral("OK");
    case BackupResult::NoDestination:
        return QStringLiteral("指定路径 或 插入U盘！");
    case BackupResult::Busy:
        return QStringLiteral("先关掉其它相关软件！");
    case BackupResult::Failed:
        break;
    }
    return result.errorText;
}
