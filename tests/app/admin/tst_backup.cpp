#include "MessageCapture.h"
#include "TestDatabase.h"
#include "TestSettings.h"
#include "admin/Backup.h"
#include "admin/BackupCommand.h"
#include "admin/Volumes.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

// A connection of its own on a database file, as another program would have.
class OtherConnection
{
public:
    explicit OtherConnection(const QString &path, const QString &name)
        : m_name(name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        db.open();
    }
    ~OtherConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    QVariant value(const QString &sql) const
    {
        QSqlQuery query(db());
        if (!query.exec(sql) || !query.next())
            return QVariant();
        return query.value(0);
    }

    bool exec(const QString &sql) const
    {
        QSqlQuery query(db());
        return query.exec(sql);
    }

private:
    QString m_name;
};

// Stores bills of three lines each, one transaction per bill, until told to
// stop; lastCommitted is the id of the last bill whose commit returned.
class BillWriter : public QThread
{
public:
    explicit BillWriter(const QString &path)
        : m_path(path)
    {
    }

    QAtomicInt lastCommitted;
    QAtomicInt stop;
    QString error;

protected:
    void run() override
    {
        const OtherConnection writer(m_path, QStringLiteral("writer"));
        QSqlDatabase db = writer.db();
        while (!stop.loadRelaxed()) {
            db.transaction();
            QSqlQuery bill(db);
            bool ok = bill.exec(QStringLiteral("insert into bill (client) values ('w')"));
            const qint64 id = bill.lastInsertId().toLongLong();
            for (int line = 0; ok && line < 3; ++line) {
                QSqlQuery sub(db);
                sub.prepare(QStringLiteral("insert into billsub (pid, quantity) values (?, 1)"));
                sub.addBindValue(id);
                ok = sub.exec();
            }
            if (!ok || !db.commit()) {
                error = db.lastError().text();
                db.rollback();
                return;
            }
            lastCommitted.storeRelease(int(id));
        }
    }

private:
    QString m_path;
};

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2026, 12, 6), QTime(hour, minute));
}

// The client of bill id in a backup file that passes the integrity check.
QString billClient(const QString &file, qint32 id)
{
    const OtherConnection copy(file, QStringLiteral("copy"));
    if (copy.value(QStringLiteral("pragma integrity_check")).toString() != QLatin1String("ok"))
        return QStringLiteral("<damaged>");
    return copy.value(QStringLiteral("select client from bill where id=%1").arg(id)).toString();
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

qint32 storeBill(const QString &client)
{
    return StoreRecord(QStringLiteral("bill"), 0, {{QStringLiteral("client"), client}});
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void removableDevice();
    void backupsOfTheDayAndConnectionStays();
    void copyIsOneSnapshotWhileAnotherWrites();
    void destinations_data();
    void destinations();
    void busyDatabase();
    void menuCommand();

private:
    std::unique_ptr<TestDatabase> m_db;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
};

void TestBackup::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_messages.clear();
}

void TestBackup::cleanup()
{
    m_db.reset();
}

void TestBackup::removableDevice()
{
    // The kernel's layout: class/block/<name> links into devices/, and a
    // partition's folder sits inside its disk's.
    QTemporaryDir sys;
    const QDir root(sys.path());
    root.mkpath(QStringLiteral("class/block"));
    const auto add = [&](const QString &path, const QString &file, const QByteArray &text) {
        root.mkpath(path);
        QFile f(root.filePath(path + QLatin1Char('/') + file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        QFile::link(root.filePath(path), root.filePath(QStringLiteral("class/block/") + QFileInfo(path).fileName()));
    };
    add(QStringLiteral("devices/block/sda"), QStringLiteral("removable"), "0\n");
    add(QStringLiteral("devices/block/sda/sda2"), QStringLiteral("partition"), "2\n");
    add(QStringLiteral("devices/block/sdb"), QStringLiteral("removable"), "1\n");
    add(QStringLiteral("devices/block/sdb/sdb1"), QStringLiteral("partition"), "1\n");
    add(QStringLiteral("devices/block/sr0"), QStringLiteral("removable"), "1\n");

    QVERIFY(IsRemovableBlockDevice(QStringLiteral("/dev/sdb1"), sys.path()));
    QVERIFY(IsRemovableBlockDevice(QStringLiteral("/dev/sdb"), sys.path()));
    QVERIFY(!IsRemovableBlockDevice(QStringLiteral("/dev/sda2"), sys.path()));
    QVERIFY(!IsRemovableBlockDevice(QStringLiteral("/dev/sr0"), sys.path()));
    QVERIFY(!IsRemovableBlockDevice(QStringLiteral("/dev/sdz9"), sys.path()));
    QVERIFY(!IsRemovableBlockDevice(QStringLiteral("tmpfs"), sys.path()));
}

void TestBackup::backupsOfTheDayAndConnectionStays()
{
    QTemporaryDir dest;
    const QString setting = dest.path() + QLatin1Char('/');
    const qint32 first = storeBill(QStringLiteral("红色客户"));
    const BackupResult morning = BackupDatabase(DbConnection(), setting, {}, at(14, 5));
    QCOMPARE(morning.status, BackupResult::Copied);
    QCOMPARE(morning.path, dest.filePath(QStringLiteral("26120614.db")));
    QCOMPARE(billClient(morning.path, first), QStringLiteral("红色客户"));

    // The same connection goes on working; a later backup of the same hour
    // replaces the first, the next hour's is a file of its own.
    const qint32 second = storeBill(QStringLiteral("second"));
    QCOMPARE(BackupDatabase(DbConnection(), setting, {}, at(14, 59)).path, morning.path);
    QCOMPARE(billClient(morning.path, second), QStringLiteral("second"));
    QCOMPARE(BackupDatabase(DbConnection(), dest.path(), {}, at(15, 0)).status, BackupResult::Copied);
    QCOMPARE(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("26120614.db"), QStringLiteral("26120615.db")}));
}

void TestBackup::copyIsOneSnapshotWhileAnotherWrites()
{
    BillWriter writer(m_db->file());
    writer.start();
    QTRY_VERIFY_WITH_TIMEOUT(writer.lastCommitted.loadAcquire() >= 20, 30000);
    const int committedBefore = writer.lastCommitted.loadAcquire();
    QTemporaryDir dest;
    const QString target = dest.filePath(QStringLiteral("copy.db"));
    const BackupResult result = CopyDatabase(DbConnection(), target);
    writer.stop.storeRelease(1);
    writer.wait();
    QVERIFY2(writer.error.isEmpty(), qPrintable(writer.error));
    QCOMPARE(result.status, BackupResult::Copied);

    // Every bill committed before the copy began, none missing in between,
    // and each with all of its lines.
    const OtherConnection copy(target, QStringLiteral("copy"));
    QCOMPARE(copy.value(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
    const int lastId = copy.value(QStringLiteral("select max(id) from bill")).toInt();
    QVERIFY(lastId >= committedBefore);
    QCOMPARE(copy.value(QStringLiteral("select count(*) from bill")).toInt(), lastId);
    QCOMPARE(copy.value(QStringLiteral("select count(*) from bill b where"
                                       " (select count(*) from billsub s where s.pid=b.id)<>3")).toInt(), 0);
}

void TestBackup::destinations_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("stickPresent");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no setting, no stick") << "  " << false << QStringList{"指定路径 或 插入U盘！"};
    QTest::newRow("no setting, a stick") << "" << true << QStringList{"OK"};
    QTest::newRow("folder missing") << "<tmp>/missing/" << true << QStringList{systemText(ENOENT)};
    // Even root cannot create files in sysfs.
    QTest::newRow("unwritable") << "/sys/kernel" << true << QStringList{systemText(EACCES), systemText(EROFS)};
}

void TestBackup::destinations()
{
    QFETCH(QString, setting);
    QFETCH(bool, stickPresent);
    QFETCH(QStringList, messages);
    QTemporaryDir stick;
    QTemporaryDir tmp;
    setting.replace(QStringLiteral("<tmp>"), tmp.path());
    QList<Volume> volumes{{QStringLiteral("/"), false}};
    if (stickPresent)
        volumes.append({stick.path(), true});

    const BackupResult result = BackupDatabase(DbConnection(), setting, volumes, at(9, 0));
    QVERIFY2(messages.contains(BackupMessage(result)), qPrintable(BackupMessage(result)));
    QCOMPARE(QFileInfo::exists(stick.filePath(QStringLiteral("26120609.db"))), messages.first() == QLatin1String("OK"));
    QVERIFY(QDir(tmp.path()).isEmpty());
}

void TestBackup::busyDatabase()
{
    // A rollback-journal database that another program holds locked: unlike
    // the program's own WAL database, even readers wait there.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.db"));
    const OtherConnection locker(path, QStringLiteral("locker"));
    const OtherConnection program(path, QStringLiteral("program"));
    QVERIFY(locker.exec(QStringLiteral("create table t (x)")));
    QVERIFY(program.exec(QStringLiteral("pragma busy_timeout=100")));
    QVERIFY(locker.exec(QStringLiteral("begin exclusive")));
    QVERIFY(locker.exec(QStringLiteral("insert into t values (1)")));

    const QString target = dir.filePath(QStringLiteral("copy.db"));
    QCOMPARE(BackupMessage(CopyDatabase(program.db(), target)), QStringLiteral("先关掉其它相关软件！"));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(locker.exec(QStringLiteral("commit")));
    QCOMPARE(CopyDatabase(program.db(), target).status, BackupResult::Copied);
}

void TestBackup::menuCommand()
{
    const TestSettings settings;
    QTemporaryDir dest;
    settings.write({{QStringLiteral("backup"), dest.path()}});
    const qint32 id = storeBill(QStringLiteral("before the backup"));
    const QString nameBefore = BackupFileName(QDateTime::currentDateTime());
    RunBackupCommand();
    const QString nameAfter = BackupFileName(QDateTime::currentDateTime());
    QCOMPARE(m_messages, QStringList{QStringLiteral("OK")});
    QVERIFY(!QGuiApplication::overrideCursor());
    const QStringList files = QDir(dest.path()).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY(files.first() == nameBefore || files.first() == nameAfter);
    QCOMPARE(billClient(dest.filePath(files.first()), id), QStringLiteral("before the backup"));
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
