#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/base/AppPaths.h"
#include "shared/data/Database.h"
#include "schema/Schema.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A valid SQLite file holding only the tables named.
void makeSqliteFile(const QString &path, const QStringList &tables)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &t : tables)
            QSqlQuery(db).exec(QStringLiteral("create table %1 (id integer)").arg(t));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
}

// A file with every table of a new database, the article table without its
// price column.
void makeFileWithoutPrice(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &sql : Schema::createStatements())
            QVERIFY(QSqlQuery(db).exec(sql));
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("alter table artno drop column price")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
}

// Whether ConnectDatabaseAt(path) throws DbError for an ordinary user. Root
// may write any file, so as root the attempt runs in a child that has dropped
// to user nobody.
bool refusedToOrdinaryUser(const QString &path)
{
    if (geteuid() != 0) {
        try {
            ConnectDatabaseAt(path);
        } catch (const DbError &) {
            return true;
        }
        CloseDatabase();
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        int code = 2;
        if (setgid(65534) == 0 && setuid(65534) == 0) {
            try {
                ConnectDatabaseAt(path);
                code = 1;
            } catch (const DbError &e) {
                // Refused for being read-only, not for being out of reach.
                code = e.text().contains(QStringLiteral("只读")) ? 0 : 3;
            }
        }
        _exit(code);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return false;
    return WEXITSTATUS(status) == 0;
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newDatabaseHasEverything();
    void unusableFileIsRefusedAndLeftAlone_data();
    void unusableFileIsRefusedAndLeftAlone();
    void lockedFileIsRefusedAndLeftAlone();
    void existingDatabaseKeepsItsData();
    void listOrderSurvivesOtherWriters();
    void settingsFolderAndReadSetting();
    void dataFolderChoice();
};

void TestDatabase::newDatabaseHasEverything()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ovBill.db"));
    ConnectDatabaseAt(path);
    auto closer = qScopeGuard([] { CloseDatabase(); });

    QSqlQuery tables = ExecSql(QStringLiteral("select count(*) from sqlite_master where type='table' and name in "
                                              "('bill','billsub','client','artno','serv','tblinfo','tblspell')"));
    QVERIFY(tables.next());
    QCOMPARE(tables.value(0).toInt(), 7);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("tblinfo")).toInt(), 1);
    const QVariant password = LookupValue(QStringLiteral("password"), QStringLiteral("tblinfo"));
    QVERIFY(!password.isNull());
    QCOMPARE(password.toString(), QString());
    QVERIFY(LookupValue(QStringLiteral("count(*)"), QStringLiteral("tblspell")).toInt() > 40000);
    QCOMPARE(LookupValue(QStringLiteral("spell"), QStringLiteral("tblspell"),
                         {QStringLiteral("word=?"), {QStringLiteral("红")}}).toString(),
             QStringLiteral("h"));

    QSqlQuery pragma = ExecSql(QStringLiteral("pragma foreign_keys"));
    QVERIFY(pragma.next());
    QCOMPARE(pragma.value(0).toInt(), 1);
    pragma = ExecSql(QStringLiteral("pragma journal_mode"));
    QVERIFY(pragma.next());
    QCOMPARE(pragma.value(0).toString(), QStringLiteral("wal"));
    pragma = ExecSql(QStringLiteral("pragma user_version"));
    QVERIFY(pragma.next());
    QCOMPARE(pragma.value(0).toInt(), 1);
    // The lines of a bill are found by index, not by scanning.
    pragma = ExecSql(QStringLiteral("explain query plan select sum(pi) from billsub where pid=1"));
    QVERIFY(pragma.next());
    QVERIFY2(pragma.value(3).toString().contains(QLatin1String("billsub_pid")), qPrintable(pragma.value(3).toString()));
}

void TestDatabase::unusableFileIsRefusedAndLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("truncated database") << "truncated";
    QTest::newRow("missing tables") << "tables";
    QTest::newRow("missing column") << "column";
    QTest::newRow("zero-byte file") << "empty";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("read-only") << "readonly";
}

void TestDatabase::unusableFileIsRefusedAndLeftAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ovBill.db"));
    if (kind == QLatin1String("garbage")) {
        writeFile(path, QByteArray("this is not a database, it is a letter to a client\n").repeated(200));
    } else if (kind == QLatin1String("truncated")) {
        ConnectDatabaseAt(path);
        CloseDatabase();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(100 + 512);
        f.close();
        writeFile(path, head);
    } else if (kind == QLatin1String("tables")) {
        makeSqliteFile(path, {QStringLiteral("bill"), QStringLiteral("billsub")});
    } else if (kind == QLatin1String("column")) {
        makeFileWithoutPrice(path);
    } else if (kind == QLatin1String("empty")) {
        // SQLite takes a zero-byte file for an empty database.
        writeFile(path, QByteArray());
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ovBill.db")));
    } else if (kind == QLatin1String("readonly")) {
        ConnectDatabaseAt(path);
        CloseDatabase();
        // Readable by all, writable by none; the folder open to the user
        // the check may run as.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
    }
    const QByteArray before = fileDigest(path);
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

    if (kind == QLatin1String("readonly"))
        QVERIFY(refusedToOrdinaryUser(path));
    else
        QVERIFY_THROWS_EXCEPTION(DbError, ConnectDatabaseAt(path));

    QCOMPARE(fileDigest(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), filesBefore);
    QVERIFY(!DbConnection().isOpen());
}

void TestDatabase::lockedFileIsRefusedAndLeftAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ovBill.db"));
    makeSqliteFile(path, {QStringLiteral("bill")});
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("begin exclusive")));
        const QByteArray before = fileDigest(path);

        bool thrown = false;
        try {
            ConnectDatabaseAt(path);
        } catch (const DbError &e) {
            thrown = true;
            QVERIFY2(e.text().contains(QLatin1String("locked")), qPrintable(e.text()));
        }
        QVERIFY(thrown);
        QCOMPARE(fileDigest(path), before);
        QSqlQuery(other).exec(QStringLiteral("rollback"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

void TestDatabase::existingDatabaseKeepsItsData()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ovBill.db"));
    ConnectDatabaseAt(path);
    ExecSql(QStringLiteral("update tblinfo set password='x'"));
    ExecSql(QStringLiteral("insert into client (client) values ('甲')"));
    CloseDatabase();
    ConnectDatabaseAt(path);
    QCOMPARE(LookupValue(QStringLiteral("password"), QStringLiteral("tblinfo")).toString(), QStringLiteral("x"));
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("tblinfo")).toInt(), 1);
    QCOMPARE(LookupValue(QStringLiteral("client"), QStringLiteral("client")).toString(), QStringLiteral("甲"));
    CloseDatabase();
}

// The sort keys the lists are read by: rows the sqlite3 shell writes (it
// can, since the file names none of our functions) and keys another ICU
// made are keyed again at the next open; texts compare column by column.
void TestDatabase::listOrderSurvivesOtherWriters()
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        QSKIP("the sqlite3 shell is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ovBill.db"));
    ConnectDatabaseAt(path);
    for (const char *row : {"'AB', 'A'", "'A', 'Z'", "'a', 'B'"})
        ExecSql(QStringLiteral("insert into artno (artno, product) values (%1)").arg(QLatin1String(row)));
    ExecSql(QStringLiteral("insert into client (client) values ('乙')"));
    CloseDatabase();

    QProcess sqlite;
    sqlite.start(shell, {path, QStringLiteral("insert into artno (artno, product) values ('b', ''); "
                                              "update client set listkey = x'00000000'; "
                                              "insert into client (client) values ('甲'); pragma integrity_check;")});
    QVERIFY(sqlite.waitForFinished());
    QCOMPARE(sqlite.readAllStandardOutput().trimmed(), QByteArray("ok"));

    ConnectDatabaseAt(path);
    const auto listed = [](const QString &sql) {
        QStringList rows;
        for (QSqlQuery q = ExecSql(sql); q.next();)
            rows << q.value(0).toString();
        return rows;
    };
    QCOMPARE(listed(QStringLiteral("select artno || '/' || product from artno order by listkey")),
             (QStringList{QStringLiteral("a/B"), QStringLiteral("A/Z"), QStringLiteral("AB/A"), QStringLiteral("b/")}));
    QCOMPARE(listed(QStringLiteral("select client from client order by listkey")),
             (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
    CloseDatabase();
}

void TestDatabase::settingsFolderAndReadSetting()
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());

    InitSettingsFolder();
    QCOMPARE(SettingsFolder(), ProgramFolder());
    QCOMPARE(ReadSetting(QStringLiteral("backup"), QStringLiteral("默认")), QStringLiteral("默认"));

    // The folder alone does not count: ov.ini must be in it.
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("Orvane")));
    InitSettingsFolder();
    QCOMPARE(SettingsFolder(), ProgramFolder());
    writeFile(config.filePath(QStringLiteral("Orvane/ov.ini")),
              QStringLiteral("[ov]\nbackup=/media/备份,每天\nprinter=pdf:/tmp/x.pdf\n").toUtf8());
    InitSettingsFolder();
    QCOMPARE(SettingsFolder(), config.filePath(QStringLiteral("Orvane")));
    QCOMPARE(ReadSetting(QStringLiteral("backup")), QStringLiteral("/media/备份,每天"));
    QCOMPARE(ReadSetting(QStringLiteral("printer")), QStringLiteral("pdf:/tmp/x.pdf"));
    QCOMPARE(ReadSetting(QStringLiteral("missing"), QStringLiteral("d")), QStringLiteral("d"));
    // A file that cannot be read may name a server: no local file instead.
    writeFile(config.filePath(QStringLiteral("Orvane/ov.ini")), "[ov\ndatabase=postgresql://clerk@books/tovik\n");
    try {
        DatabaseLocation();
        QFAIL("an unreadable ov.ini gave a database");
    } catch (const DbError &e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("设置文件格式错误")), qPrintable(e.text()));
    }
    // The database is not looked for in the settings folder.
    qputenv("TOVIK_DATA_DIR", QByteArray());
    qunsetenv("TOVIK_DATA_DIR");
    QVERIFY(!DatabasePath().startsWith(config.path()));
    qunsetenv("XDG_CONFIG_HOME");
    InitSettingsFolder();
}

void TestDatabase::dataFolderChoice()
{
    QTemporaryDir data;
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    auto restore = qScopeGuard([] {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("TOVIK_DATA_DIR");
    });

    qputenv("TOVIK_DATA_DIR", data.path().toUtf8());
    QCOMPARE(DataFolder(), data.path());

    qunsetenv("TOVIK_DATA_DIR");
    QVERIFY(DataFolder().startsWith(home.path()));
    QVERIFY(QDir(DataFolder()).exists());

    // A database beside the program makes a portable install.
    const QString portable = ProgramFolder() + QStringLiteral("/ovBill.db");
    QVERIFY(!QFile::exists(portable));
    writeFile(portable, QByteArray());
    auto removePortable = qScopeGuard([portable] { QFile::remove(portable); });
    QCOMPARE(DataFolder(), ProgramFolder());
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
