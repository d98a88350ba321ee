#include "TestDatabase.h"
#include "TestSettings.h"
#include "admin/Backup.h"
#include "admin/BackupCommand.h"
#include "admin/Volumes.h"
#include "shared/base/MessageBox.h"
#include "shared/data/DataAccess.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <cstring>

Q_DECLARE_METATYPE(Volume)

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
    void initTestCase();
    void init();
    void cleanup();

    void fileName_data();
    void fileName();
    void removableDrive_data();
    void removableDrive();
    void removableDevice_data();
    void removableDevice();

    void copyIsWholeAndConnectionStays();
    void copyIsOneSnapshotWhileAnotherWrites();
    void sameHourReplacesOtherHourAdds();
    void destinations_data();
    void destinations();
    void busyDatabase();
    void menuCommand();

private:
    std::unique_ptr<TestDatabase> m_db;
    QStringList m_messages;
};

void TestBackup::initTestCase()
{
    SetMsgHandler([this](const QString &text, MsgButtons, MsgIcon) {
        m_messages << text;
        return MsgAnswer::Ok;
    });
}

void TestBackup::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_messages.clear();
}

void TestBackup::cleanup()
{
    m_db.reset();
}

void TestBackup::fileName_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("name");
    QTest::newRow("afternoon") << at(14, 59) << "26120614.db";
    QTest::newRow("midnight") << QDateTime(QDate(2031, 1, 2), QTime(0, 0)) << "31010200.db";
    QTest::newRow("last hour") << QDateTime(QDate(2030, 12, 31), QTime(23, 30)) << "30123123.db";
}

void TestBackup::fileName()
{
    QFETCH(QDateTime, time);
    QFETCH(QString, name);
    QCOMPARE(BackupFileName(time), name);
}

void TestBackup::removableDrive_data()
{
    QTest::addColumn<QList<Volume>>("volumes");
    QTest::addColumn<QString>("drive");
    const Volume root{QStringLiteral("/"), false};
    const Volume home{QStringLiteral("/home"), false};
    const Volume stick{QStringLiteral("/media/u/STICK"), true};
    const Volume card{QStringLiteral("/media/u/CARD"), true};
    QTest::newRow("none") << QList<Volume>{} << "";
    QTest::newRow("fixed disks only") << QList<Volume>{root, home} << "";
    QTest::newRow("stick") << QList<Volume>{root, home, stick} << "/media/u/STICK";
    QTest::newRow("first in mount order") << QList<Volume>{root, card, stick} << "/media/u/CARD";
    QTest::newRow("system on a stick is not taken") << QList<Volume>{{QStringLiteral("/"), true}, home} << "";
}

void TestBackup::removableDrive()
{
    QFETCH(QList<Volume>, volumes);
    QFETCH(QString, drive);
    QCOMPARE(FindRemovableDrive(volumes), drive);
}

void TestBackup::removableDevice_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("removable");
    QTest::newRow("stick's partition") << "/dev/sdb1" << true;
    QTest::newRow("stick itself") << "/dev/sdb" << true;
    QTest::newRow("fixed disk's partition") << "/dev/sda2" << false;
    QTest::newRow("optical drive") << "/dev/sr0" << false;
    QTest::newRow("unknown device") << "/dev/sdz9" << false;
    QTest::newRow("not a device") << "tmpfs" << false;
}

void TestBackup::removableDevice()
{
    QFETCH(QString, device);
    QFETCH(bool, removable);

    // The kernel's layout: class/block/<name> links into devices/, and a
    // partition's folder sits inside its disk's.
    QTemporaryDir sys;
    const QDir root(sys.path());
    const auto disk = [&](const QString &name, const char *flag, const QStringList &partitions) {
        const QString path = QStringLiteral("devices/pci0/block/") + name;
        root.mkpath(path);
        QFile f(root.filePath(path + QStringLiteral("/removable")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(flag);
        f.close();
        root.mkpath(QStringLiteral("class/block"));
        QFile::link(root.filePath(path), root.filePath(QStringLiteral("class/block/") + name));
        for (const QString &part : partitions) {
            root.mkpath(path + QLatin1Char('/') + part);
            QFile p(root.filePath(path + QLatin1Char('/') + part + QStringLiteral("/partition")));
            QVERIFY(p.open(QIODevice::WriteOnly));
            p.close();
            QFile::link(root.filePath(path + QLatin1Char('/') + part),
                        root.filePath(QStringLiteral("class/block/") + part));
        }
    };
    disk(QStringLiteral("sda"), "0\n", {QStringLiteral("sda1"), QStringLiteral("sda2")});
    disk(QStringLiteral("sdb"), "1\n", {QStringLiteral("sdb1")});
    disk(QStringLiteral("sr0"), "1\n", {});

    QCOMPARE(IsRemovableBlockDevice(device, sys.path()), removable);
}

void TestBackup::copyIsWholeAndConnectionStays()
{
    storeBill(QStringLiteral("红色客户"));
    const qint32 last = storeBill(QStringLiteral("saved just before"));
    QTemporaryDir dest;
    const QString target = dest.filePath(QStringLiteral("copy.db"));

    const BackupResult result = CopyDatabase(DbConnection(), target);
    QCOMPARE(result.status, BackupResult::Copied);
    QCOMPARE(result.path, target);
    {
        const OtherConnection copy(target, QStringLiteral("copy"));
        QCOMPARE(copy.value(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
        QCOMPARE(copy.value(QStringLiteral("select client from bill where id=%1").arg(last)).toString(),
                 QStringLiteral("saved just before"));
        QCOMPARE(copy.value(QStringLiteral("select count(*) from tblspell")),
                 LookupValue(QStringLiteral("count(*)"), QStringLiteral("tblspell")));
    }
    // Work goes on on the same connection.
    QVERIFY(DbConnection().isOpen());
    const qint32 next = storeBill(QStringLiteral("after"));
    QVERIFY(IdExists(QStringLiteral("bill"), next));
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

    const OtherConnection copy(target, QStringLiteral("copy"));
    QCOMPARE(copy.value(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
    const int bills = copy.value(QStringLiteral("select count(*) from bill")).toInt();
    const int lastId = copy.value(QStringLiteral("select max(id) from bill")).toInt();
    // Every bill committed before the copy began, none missing in between,
    // and each with all of its lines.
    QVERIFY(lastId >= committedBefore);
    QCOMPARE(bills, lastId);
    QCOMPARE(copy.value(QStringLiteral("select count(*) from bill b where"
                                       " (select count(*) from billsub s where s.pid=b.id)<>3")).toInt(), 0);
}

void TestBackup::sameHourReplacesOtherHourAdds()
{
    QTemporaryDir dest;
    const QString setting = dest.path() + QLatin1Char('/');
    storeBill(QStringLiteral("first"));
    QCOMPARE(BackupDatabase(DbConnection(), setting, {}, at(14, 5)).status, BackupResult::Copied);
    const qint32 second = storeBill(QStringLiteral("second"));
    const BackupResult again = BackupDatabase(DbConnection(), setting, {}, at(14, 50));
    QCOMPARE(again.status, BackupResult::Copied);
    QCOMPARE(again.path, dest.filePath(QStringLiteral("26120614.db")));
    {
        const OtherConnection copy(again.path, QStringLiteral("copy"));
        QCOMPARE(copy.value(QStringLiteral("select client from bill where id=%1").arg(second)).toString(),
                 QStringLiteral("second"));
    }
    QCOMPARE(BackupDatabase(DbConnection(), dest.path(), {}, at(15, 0)).status, BackupResult::Copied);
    // No temporary file is left behind.
    QCOMPARE(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("26120614.db"), QStringLiteral("26120615.db")}));
}

void TestBackup::destinations_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("stickPresent");
    QTest::addColumn<QString>("message");
    const QString unwritable = QStringLiteral("/sys/kernel");
    QTest::newRow("no setting, no stick") << "" << false << "指定路径 或 插入U盘！";
    QTest::newRow("setting of spaces, no stick") << "  " << false << "指定路径 或 插入U盘！";
    QTest::newRow("no setting, a stick") << "" << true << "OK";
    QTest::newRow("folder missing") << "<tmp>/missing/" << true << systemText(ENOENT);
    // Even root cannot create files in sysfs.
    QTest::newRow("unwritable") << unwritable << true << "<unwritable>";
}

void TestBackup::destinations()
{
    QFETCH(QString, setting);
    QFETCH(bool, stickPresent);
    QFETCH(QString, message);
    QTemporaryDir stick;
    QTemporaryDir tmp;
    setting.replace(QStringLiteral("<tmp>"), tmp.path());
    QList<Volume> volumes{{QStringLiteral("/"), false}};
    if (stickPresent)
        volumes.append({stick.path(), true});

    const BackupResult result = BackupDatabase(DbConnection(), setting, volumes, at(9, 0));
    if (message == QLatin1String("<unwritable>")) {
        QCOMPARE(result.status, BackupResult::Failed);
        QVERIFY2(BackupMessage(result) == systemText(EACCES) || BackupMessage(result) == systemText(EROFS),
                 qPrintable(BackupMessage(result)));
    } else {
        QCOMPARE(BackupMessage(result), message);
    }
    QCOMPARE(QFileInfo::exists(stick.filePath(QStringLiteral("26120609.db"))), message == QLatin1String("OK"));
    QVERIFY(QDir(tmp.path()).isEmpty());
    QVERIFY(DbConnection().isOpen());
}

void TestBackup::busyDatabase()
{
    // A rollback-journal database that another program holds locked: unlike
    // the program's own WAL database, even readers wait there.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.db"));
    const OtherConnection locker(path, QStringLiteral("locker"));
    QVERIFY(locker.exec(QStringLiteral("create table t (x)")));
    const OtherConnection program(path, QStringLiteral("program"));
    QVERIFY(program.exec(QStringLiteral("pragma busy_timeout=100")));
    QVERIFY(locker.exec(QStringLiteral("begin exclusive")));
    QVERIFY(locker.exec(QStringLiteral("insert into t values (1)")));

    const QString target = dir.filePath(QStringLiteral("copy.db"));
    const BackupResult busy = CopyDatabase(program.db(), target);
    QCOMPARE(BackupMessage(busy), QStringLiteral("先关掉其它相关软件！"));
    QVERIFY(!QFileInfo::exists(target));

    QVERIFY(locker.exec(QStringLiteral("commit")));
    QCOMPARE(CopyDatabase(program.db(), target).status, BackupResult::Copied);
    const OtherConnection copy(target, QStringLiteral("copy"));
    QCOMPARE(copy.value(QStringLiteral("select x from t")).toInt(), 1);
}

void TestBackup::menuCommand()
{
    const TestSettings settings;
    QTemporaryDir dest;
    settings.write({{QStringLiteral("backup"), dest.path() + QLatin1Char('/')}});
    const qint32 id = storeBill(QStringLiteral("before the backup"));

    RunBackupCommand();
    QCOMPARE(m_messages, QStringList{QStringLiteral("OK")});
    QVERIFY(!QGuiApplication::overrideCursor());
    const QStringList files = QDir(dest.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{8}\\.db$")).match(files.first()).hasMatch());
    {
        const OtherConnection copy(dest.filePath(files.first()), QStringLiteral("copy"));
        QCOMPARE(copy.value(QStringLiteral("select client from bill where id=%1").arg(id)).toString(),
                 QStringLiteral("before the backup"));
    }

    m_messages.clear();
    settings.write({{QStringLiteral("backup"), dest.filePath(QStringLiteral("gone"))}});
    RunBackupCommand();
    QCOMPARE(m_messages, QStringList{systemText(ENOENT)});
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
