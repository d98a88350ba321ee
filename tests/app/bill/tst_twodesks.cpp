// Two desks on one server: two processes saving, editing and deleting bills
// at once, and one desk's deletions seen by the other's next save.

#include "TestDatabase.h"

#include "bill/BillStore.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

class TestTwoDesks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!TestDatabase::onServer())
            QSKIP("two desks share a server: run with TOVIK_TEST_ENGINE=postgresql");
        if (const QString why = TestDatabase::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup()
    {
        QSqlDatabase::removeDatabase(QStringLiteral("deskB"));
        m_db.reset();
    }

    void desksWorkAtOnce();
    void otherDeskDeleted_data();
    void otherDeskDeleted();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestTwoDesks::desksWorkAtOnce()
{
    QProcess desks[2];
    for (int i = 0; i < 2; ++i) {
        desks[i].start(QStringLiteral(BILLSAVE_CHILD), {m_db->location(), QString::number(7 + i)});
        QVERIFY(desks[i].waitForStarted(10000));
    }
    // Both at work until each has done a good deal (or one has stopped),
    // then stopped wherever they are.
    QByteArray done[2];
    const auto busy = [&](int i) {
        done[i] += desks[i].readAllStandardOutput();
        return done[i].count('.') > 40 || desks[i].state() != QProcess::Running;
    };
    QVERIFY(QTest::qWaitFor([&] { return busy(0) && busy(1); }, 120000));
    QByteArray errors;
    for (int i = 0; i < 2; ++i) {
        desks[i].kill();
        desks[i].waitForFinished(10000);
        errors += desks[i].readAllStandardError();
    }
    // A desk stops at its first database error: a clashing id, a deadlock.
    QVERIFY2(errors.isEmpty(), errors.constData());
    for (const QByteArray &output : done)
        QVERIFY2(output.count('.') > 40, "a desk hardly got anything done");

    // Each save is one transaction and takes its bill first: every bill's
    // totals are the sums of the lines the other desk left it with.
    QSqlQuery wrong = ExecSql(QStringLiteral(
        "select b.id from bill b left join (select pid, sum(quantity*price) amount, sum(pi) pieces,"
        " sum(quantity) weight from billsub group by pid) s on s.pid=b.id"
        " where abs(b.price-coalesce(s.amount,0))>0.0001 or abs(b.pi-coalesce(s.pieces,0))>0.0001"
        " or abs(b.quantity-coalesce(s.weight,0))>0.0001"));
    QVERIFY2(!wrong.next(), qPrintable(QStringLiteral("bill %1 has wrong totals").arg(wrong.value(0).toInt())));
    QVERIFY(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).toInt() > 10);
}

void TestTwoDesks::otherDeskDeleted_data()
{
    QTest::addColumn<QString>("deletion"); // run at desk B, the stored bill's id bound
    QTest::addColumn<bool>("billGone");
    QTest::newRow("bill") << QStringLiteral("delete from bill where id=?") << true;
    QTest::newRow("line being changed") << QStringLiteral("delete from billsub where id=(select min(id) from billsub where pid=?)")
                                        << false;
}

void TestTwoDesks::otherDeskDeleted()
{
    QFETCH(QString, deletion);
    QFETCH(bool, billGone);

    BillLine first;
    first.row = 1;
    first.artno = QStringLiteral("A-1");
    first.quantity = 10;
    first.price = 2;
    BillLine second = first;
    second.row = 2;
    second.artno = QStringLiteral("A-2");
    BillHeader header;
    header.client = QStringLiteral("华丰");
    const SavedBill stored = BillStore::save(header, {first, second});

    // Desk B, a connection of its own.
    QSqlDatabase deskB = OpenDatabase(QStringLiteral("deskB"), m_db->location());
    QSqlQuery remove(deskB);
    remove.prepare(deletion);
    remove.addBindValue(stored.id);
    QVERIFY2(remove.exec(), qPrintable(remove.lastError().text()));
    deskB.close();

    // Desk A saves its change to the first line.
    header.id = stored.id;
    first.id = stored.lineIds[0].second;
    first.quantity = 12;
    if (billGone) {
        QVERIFY_THROWS_EXCEPTION(BillDeleted, BillStore::save(header, {first}));
        QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("billsub")).toInt(), 0);
        return;
    }
    const SavedBill saved = BillStore::save(header, {first});
    // The line is stored again, under a new id, and counts in the totals.
    QVERIFY(saved.lineIds[0].second != first.id);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("billsub")).toInt(), 2);
    QCOMPARE(LookupValue(QStringLiteral("quantity"), QStringLiteral("bill"), {QStringLiteral("id=?"), {stored.id}})
                 .toDouble(),
             22.0);
}

QTEST_MAIN(TestTwoDesks)
#include "tst_twodesks.moc"
