// Moving the books with "--copy-database": every direction between an SQLite
// file and a server, read back table by table.

#include "PgCluster.h"
#include "TestDatabase.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/DatabaseCopy.h"
#include "shared/data/DbError.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

class TestDatabaseCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copy_data();
    void copy();
    void missingSourceIsRefused();

private:
    QString place(bool server, const QString &name) const
    {
        return server ? PgCluster::instance().createDatabase() : m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

namespace {

// Books with what tends to go wrong in a move: an id gap, a bill without a
// date, amounts with four decimals, a changed password and search code.
void fillBooks()
{
    for (int b = 1; b <= 3; ++b) {
        const qint32 id = StoreRecord(QStringLiteral("bill"), 0,
                                      {{QStringLiteral("client"), QStringLiteral("客户%1").arg(b)},
                                       {QStringLiteral("date"), b == 2 ? QVariant(QMetaType::fromType<QString>())
                                                                       : QVariant(QStringLiteral("2024-03-0%1").arg(b))},
                                       {QStringLiteral("comment"), QString()}});
        for (int l = 1; l <= b; ++l) {
            StoreRecord(QStringLiteral("billsub"), 0,
                        {{QStringLiteral("pid"), id}, {QStringLiteral("artno"), QStringLiteral("A-%1").arg(l)},
                         {QStringLiteral("col1"), 12.3456}, {QStringLiteral("quantity"), 12.3456},
                         {QStringLiteral("price"), 0.1 * l}, {QStringLiteral("pi"), 1}});
        }
        UpdateBillTotals(QStringLiteral("bill"), id);
    }
    DeleteById(QStringLiteral("bill"), 2);
    StoreRecord(QStringLiteral("client"), 0, {{QStringLiteral("client"), QStringLiteral("华丰")}});
    StoreRecord(QStringLiteral("artno"), 0, {{QStringLiteral("artno"), QStringLiteral("A-1")}, {QStringLiteral("price"), 3.25}});
    StoreRecord(QStringLiteral("serv"), 0, {{QStringLiteral("field"), QStringLiteral("man1")}, {QStringLiteral("value"), QStringLiteral("王")}});
    ExecSql(QStringLiteral("update tblinfo set password=?"), {QStringLiteral("hash")});
    ExecSql(QStringLiteral("update tblspell set spell=? where word=?"), {QStringLiteral("q"), QStringLiteral("红")});
}

// The open database as text, table by table (the search-code table by its
// size and the entry changed above).
QString books()
{
    QString text = BooksText();
    text += LookupValue(QStringLiteral("password"), QStringLiteral("tblinfo")).toString() + QLatin1Char('\n');
    text += LookupValue(QStringLiteral("count(*)"), QStringLiteral("tblspell")).toString() + QLatin1Char('\n');
    text += LookupValue(QStringLiteral("spell"), QStringLiteral("tblspell"), {QStringLiteral("word=?"), {QStringLiteral("红")}})
                .toString();
    return text;
}

} // namespace

void TestDatabaseCopy::copy_data()
{
    QTest::addColumn<bool>("fromServer");
    QTest::addColumn<bool>("toServer");
    QTest::newRow("file to file") << false << false;
    QTest::newRow("file to server") << false << true;
    QTest::newRow("server to file") << true << false;
}

void TestDatabaseCopy::copy()
{
    QFETCH(bool, fromServer);
    QFETCH(bool, toServer);
    if ((fromServer || toServer) && !PgCluster::instance().skipReason().isEmpty())
        QSKIP(qPrintable(PgCluster::instance().skipReason()));
    const QString from = place(fromServer, QStringLiteral("from.db"));
    const QString to = place(toServer, QStringLiteral("to.db"));
    QFile::remove(from);
    QFile::remove(to);

    ConnectDatabaseAt(from);
    fillBooks();
    const QString before = books();
    CloseDatabase();

    const CopyReport report = CopyBooks(from, to);
    QCOMPARE(report.rows.first(), qMakePair(QStringLiteral("bill"), qint64(2)));
    QCOMPARE(report.rows.at(1), qMakePair(QStringLiteral("billsub"), qint64(4)));

    ConnectDatabaseAt(to);
    QCOMPARE(books(), before);
    // A new bill takes an id past the copied ones.
    QCOMPARE(StoreRecord(QStringLiteral("bill"), 0, {{QStringLiteral("client"), QStringLiteral("新")}}), 4);
    const QString after = books();
    CloseDatabase();

    // A target with books is never written into.
    QString refusal;
    try {
        CopyBooks(from, to);
    } catch (const DbError &e) {
        refusal = e.text();
    }
    QVERIFY2(refusal.startsWith(QStringLiteral("目标数据库已有数据")), qPrintable(refusal));
    ConnectDatabaseAt(to);
    QCOMPARE(books(), after);
    CloseDatabase();
}

void TestDatabaseCopy::missingSourceIsRefused()
{
    const QString missing = m_dir.filePath(QStringLiteral("none.db"));
    QVERIFY_THROWS_EXCEPTION(DbError, CopyBooks(missing, m_dir.filePath(QStringLiteral("t.db"))));
    // Not created by the attempt either.
    QVERIFY(!QFile::exists(missing));
}

QTEST_MAIN(TestDatabaseCopy)
#include "tst_databasecopy.moc"
