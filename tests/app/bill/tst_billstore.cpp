// Bills saved, edited and deleted through BillStore on a real database file;
// what is stored is read back with plain statements.

#include "Refusal.h"
#include "TestDatabase.h"

#include "bill/BillStore.h"
#include "shared/data/DataAccess.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <cmath>

namespace {

BillLine line(int row, const QString &artno, std::initializer_list<double> pieces, double price)
{
    BillLine l;
    l.row = row;
    l.artno = artno;
    l.product = QStringLiteral("红布");
    l.color = QStringLiteral("3号");
    int i = 0;
    for (const double p : pieces) {
        l.pieces[i++] = p;
        l.quantity += p;
    }
    l.pi = int(pieces.size());
    l.price = price;
    return l;
}

BillHeader header(qint32 id = 0)
{
    BillHeader h;
    h.id = id;
    h.client = QStringLiteral("华丰纺织");
    h.link = QStringLiteral("王");
    h.date = QDate(2024, 3, 9);
    h.man = {QStringLiteral("甲"), QStringLiteral("乙"), QString(), QStringLiteral("丁")};
    h.comment = QStringLiteral("三行");
    return h;
}

// The rows of a query as text.
QString rowsText(const QString &sql, const QVariantList &values = {})
{
    QString text;
    QSqlQuery q = ExecSql(sql, values);
    while (q.next()) {
        for (int i = 0; i < q.record().count(); ++i)
            text += q.value(i).toString() + QLatin1Char('|');
        text += QLatin1Char('\n');
    }
    return text;
}

// Every row of both tables: what "nothing stored" is compared by.
QString dump()
{
    return rowsText(QStringLiteral("select * from bill order by id"))
        + rowsText(QStringLiteral("select * from billsub order by id"));
}

QList<qint32> lineIdsOf(qint32 billId)
{
    QList<qint32> ids;
    QSqlQuery q = ExecSql(QStringLiteral("select id from billsub where pid=? order by id"), {billId});
    while (q.next())
        ids << q.value(0).toInt();
    return ids;
}

double round4(double v)
{
    return std::round(v * 10000.0) / 10000.0;
}

// The stored totals of a bill against the sums over its lines.
void verifyTotals(qint32 billId, const QList<BillLine> &lines)
{
    double amount = 0, kg = 0, pi = 0;
    for (const BillLine &l : lines) {
        amount += l.quantity * l.price;
        kg += l.quantity;
        pi += l.pi;
    }
    QSqlQuery q = ExecSql(QStringLiteral("select price, quantity, pi from bill where id=?"), {billId});
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toDouble(), round4(amount));
    QCOMPARE(q.value(1).toDouble(), round4(kg));
    QCOMPARE(q.value(2).toDouble(), pi);
}

} // namespace

class TestBillStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (const QString why = TestDatabase::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void billLifecycle();
    void failedSaveStoresNothing_data();
    void failedSaveStoresNothing();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestBillStore::billLifecycle()
{
    QList<BillLine> lines{line(1, QStringLiteral("A-1"), {12.5, 13.25}, 3.3),
                          line(2, QStringLiteral("A-2"), {20.1}, 7),
                          line(4, QStringLiteral("B-7"), {1, 2, 3}, 0.333)};
    const SavedBill saved = BillStore::save(header(), lines);

    // One bill, three lines pointing at it, the ids handed back per grid row.
    QVERIFY(saved.id > 0);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).toInt(), 1);
    const QList<qint32> ids = lineIdsOf(saved.id);
    QCOMPARE(ids.size(), 3);
    QCOMPARE(saved.lineIds, (QList<QPair<int, qint32>>{{1, ids[0]}, {2, ids[1]}, {4, ids[2]}}));
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("billsub")).toInt(), 3);
    verifyTotals(saved.id, lines);
    const BillHeader loaded = BillStore::loadHeader(saved.id);
    QCOMPARE(loaded.id, saved.id);
    QCOMPARE(loaded.client, header().client);
    QCOMPARE(loaded.date, header().date);
    QCOMPARE(loaded.man, header().man);

    // One line changed: updated in place, the others untouched.
    for (int i = 0; i < 3; ++i)
        lines[i].id = ids[i];
    const QString others = QStringLiteral("select * from billsub where id<>? order by id");
    const QString untouched = rowsText(others, {ids[1]});
    lines[1] = line(2, QStringLiteral("A-2"), {20.1, 19.9}, 7.5);
    lines[1].id = ids[1];
    SavedBill again = BillStore::save(header(saved.id), {lines[1]});
    QCOMPARE(again.id, saved.id);
    QCOMPARE(again.lineIds, (QList<QPair<int, qint32>>{{2, ids[1]}}));
    QCOMPARE(lineIdsOf(saved.id), ids);
    QCOMPARE(rowsText(others, {ids[1]}), untouched);
    QCOMPARE(LookupValue(QStringLiteral("col2"), QStringLiteral("billsub"),
                         {QStringLiteral("id=?"), {ids[1]}}).toDouble(), 19.9);
    verifyTotals(saved.id, lines);

    // A line deleted meanwhile is stored again, under a new id.
    DeleteById(QStringLiteral("billsub"), ids[2]);
    again = BillStore::save(header(saved.id), {lines[2]});
    const qint32 reinserted = again.lineIds.value(0).second;
    QVERIFY(reinserted > ids[2]);
    QCOMPARE(lineIdsOf(saved.id), (QList<qint32>{ids[0], ids[1], reinserted}));
    verifyTotals(saved.id, lines);

    // A line deletion recomputes the totals.
    BillStore::deleteLine(saved.id, ids[0]);
    QCOMPARE(lineIdsOf(saved.id), (QList<qint32>{ids[1], reinserted}));
    verifyTotals(saved.id, {lines[1], lines[2]});

    // A bill deletion takes its lines.
    const SavedBill other = BillStore::save(header(), {line(1, QStringLiteral("C"), {5}, 1)});
    BillStore::deleteBill(saved.id);
    QVERIFY(!BillStore::exists(saved.id));
    QCOMPARE(BillStore::loadHeader(saved.id).id, 0);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("billsub")).toInt(), 1);
    QCOMPARE(lineIdsOf(other.id).size(), 1);
}

void TestBillStore::failedSaveStoresNothing_data()
{
    QTest::addColumn<Refusal>("refusal");   // a trigger installed before the save
    QTest::addColumn<bool>("storedBill");   // save over the stored bill (else a new one)
    QTest::addColumn<bool>("billDeleted");  // the stored bill deleted meanwhile
    QTest::addColumn<QString>("error");

    const QString badLine = QStringLiteral("new.artno='BAD'");
    QTest::newRow("new bill, second line refused")
        << Refusal{QStringLiteral("insert on billsub"), badLine, QStringLiteral("line refused")} << false << false
        << QStringLiteral("line refused");
    QTest::newRow("stored bill, second line refused")
        << Refusal{QStringLiteral("update on billsub"), badLine, QStringLiteral("line refused")} << true << false
        << QStringLiteral("line refused");
    QTest::newRow("totals refused")
        << Refusal{QStringLiteral("update of price on bill"), QStringLiteral("true"), QStringLiteral("totals refused")}
        << false << false << QStringLiteral("totals refused");
    QTest::newRow("bill deleted meanwhile") << Refusal() << true << true << QStringLiteral("本单已删除！");
}

void TestBillStore::failedSaveStoresNothing()
{
    QFETCH(Refusal, refusal);
    QFETCH(bool, storedBill);
    QFETCH(bool, billDeleted);
    QFETCH(QString, error);

    QList<BillLine> lines{line(1, QStringLiteral("A-1"), {10}, 2), line(2, QStringLiteral("A-2"), {11}, 3)};
    const SavedBill stored = BillStore::save(header(), lines);
    BillHeader h = header(storedBill ? stored.id : 0);
    h.comment = QStringLiteral("改过");
    if (storedBill) {
        lines[0].id = stored.lineIds[0].second;
        lines[1].id = stored.lineIds[1].second;
    }
    lines[0].price = 9;
    lines[1].artno = QStringLiteral("BAD");
    lines.append(line(3, QStringLiteral("A-3"), {1}, 1));
    if (billDeleted)
        BillStore::deleteBill(stored.id);
    if (!refusal.event.isEmpty())
        refusal.install();

    const QString before = dump();
    QString thrown;
    try {
        BillStore::save(h, lines);
    } catch (const DbError &e) {
        thrown = e.text();
    }
    QVERIFY2(thrown.contains(error), qPrintable(thrown));
    QCOMPARE(dump(), before);

    // Once the cause is gone, saving the same again stores it exactly once.
    if (billDeleted)
        return;
    refusal.remove();
    const SavedBill saved = BillStore::save(h, lines);
    QCOMPARE(saved.lineIds.size(), 3);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).toInt(), storedBill ? 1 : 2);
    QCOMPARE(lineIdsOf(saved.id).size(), 3);
    verifyTotals(saved.id, lines);
}

QTEST_MAIN(TestBillStore)
#include "tst_billstore.moc"
