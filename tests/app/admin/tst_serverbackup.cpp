// "备份" on a server database: a pg_dump file in the backup folder, or word
// that the server's administrator keeps the backups.

#include "PgCluster.h"
#include "admin/Backup.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestServerBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (const QString why = PgCluster::instance().skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        ConnectDatabaseAt(PgCluster::instance().createDatabase());
        StoreRecord(QStringLiteral("client"), 0, {{QStringLiteral("client"), QStringLiteral("华丰")}});
    }
    void cleanupTestCase() { CloseDatabase(); }

    void dumpIntoTheBackupFolder();
    void withoutPgDump();
};

void TestServerBackup::dumpIntoTheBackupFolder()
{
    const QString pgDump = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (pgDump.isEmpty())
        QSKIP("pg_dump is not installed (postgresql-client)");
    QTemporaryDir folder;
    const QDateTime now(QDate(2026, 12, 7), QTime(20, 15));
    const BackupResult result = BackupDatabase(DbConnection(), folder.path() + QLatin1Char('/'), {}, now);
    QCOMPARE(BackupMessage(result), QStringLiteral("OK"));
    QCOMPARE(result.path, folder.filePath(QStringLiteral("26120720.dump")));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"26120720.dump"});

    // pg_restore reads it back, client row included.
    QProcess restore;
    restore.start(QStandardPaths::findExecutable(QStringLiteral("pg_restore")),
                  {QStringLiteral("--data-only"), QStringLiteral("--table=client"), QStringLiteral("--file=-"), result.path});
    QVERIFY(restore.waitForFinished(60000));
    QCOMPARE(restore.exitCode(), 0);
    QVERIFY(QString::fromUtf8(restore.readAllStandardOutput()).contains(QStringLiteral("华丰")));
}

void TestServerBackup::withoutPgDump()
{
    QTemporaryDir folder;
    const BackupResult result = DumpServerDatabase(DbConnection(), folder.filePath(QStringLiteral("x.dump")), QString());
    QCOMPARE(result.status, BackupResult::Failed);
    QVERIFY(BackupMessage(result).contains(QStringLiteral("服务器管理员")));
    QVERIFY(QDir(folder.path()).isEmpty());
}

QTEST_MAIN(TestServerBackup)
#include "tst_serverbackup.moc"
