#include "query/QueryStatement.h"
#include "shared/data/NameLists.h"

#include <QtTest>

Q_DECLARE_METATYPE(QueryCriteria)

class TestQueryStatement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InitNameLists(); }
    void build_data();
    void build();
};

namespace {
const QString BillSelect = QStringLiteral("select id, date, client, pi, quantity, price, comment from bill");
const QString LineSelect = QStringLiteral(
    "select a.id, a.date, a.client, b.artno, b.product, b.color, b.pi, b.quantity, b.price,"
    " b.quantity*b.price from bill as a inner join billsub as b on a.id=b.pid");
const QString BillOrder = QStringLiteral(" order by id");
const QString LineOrder = QStringLiteral(" order by a.id, b.id");

QueryCriteria everything()
{
    QueryCriteria c;
    c.from = QDate(2024, 3, 1);
    c.to = QDate(2024, 3, 31);
    c.client = QStringLiteral("甲");
    c.artno = QStringLiteral("A-7");
    c.field = 3; // 业务员 → man2
    c.value = QStringLiteral("王");
    return c;
}
} // namespace

void TestQueryStatement::build_data()
{
    QTest::addColumn<QueryCriteria>("criteria");
    QTest::addColumn<bool>("lines");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("values");

    QTest::newRow("no criteria, bills") << QueryCriteria() << false << BillSelect + BillOrder << QVariantList();
    QTest::newRow("no criteria, lines") << QueryCriteria() << true << LineSelect + LineOrder << QVariantList();

    QueryCriteria upTo;
    upTo.to = QDate(2024, 2, 29);
    QTest::newRow("last date only") << upTo << false << BillSelect + QStringLiteral(" where date<=?") + BillOrder
                                    << QVariantList{QStringLiteral("2024-02-29")};

    // The order of the conditions is that of the window's criteria.
    QTest::newRow("all, bills ignore the article")
        << everything() << false
        << BillSelect + QStringLiteral(" where date>=? and date<=? and client=? and man2=?") + BillOrder
        << QVariantList{QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"), QStringLiteral("甲"), QStringLiteral("王")};
    QTest::newRow("all, lines")
        << everything() << true
        << LineSelect + QStringLiteral(" where a.date>=? and a.date<=? and a.client=? and a.man2=? and b.artno=?") + LineOrder
        << QVariantList{QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"), QStringLiteral("甲"), QStringLiteral("王"),
                        QStringLiteral("A-7")};

    QueryCriteria product;
    product.field = 0;
    product.value = QStringLiteral("棉布");
    QTest::newRow("product ignored by bills") << product << false << BillSelect + BillOrder << QVariantList();
    QTest::newRow("product filters lines") << product << true
                                           << LineSelect + QStringLiteral(" where b.product=?") + LineOrder
                                           << QVariantList{QStringLiteral("棉布")};
    QueryCriteria color = product;
    color.field = 1;
    QTest::newRow("colour filters lines") << color << true << LineSelect + QStringLiteral(" where b.color=?") + LineOrder
                                          << QVariantList{QStringLiteral("棉布")};

    QueryCriteria noValue;
    noValue.field = 5;
    QTest::newRow("field without value") << noValue << true << LineSelect + LineOrder << QVariantList();

    // Quotes, brackets, tabs and line breaks never reach a value; the
    // statement itself is fixed text.
    QueryCriteria dirty;
    dirty.client = QStringLiteral(" 甲' or '1'='1 ");
    dirty.field = 2;
    dirty.value = QStringLiteral("[李]\t\"四\"\r\n");
    QTest::newRow("quotes and brackets") << dirty << false
                                         << BillSelect + QStringLiteral(" where client=? and man1=?") + BillOrder
                                         << QVariantList{QStringLiteral("甲 or 1=1"), QStringLiteral("李四")};
    // A criterion typed as nothing but quotes still filters: on the empty
    // text, which no client has.
    QueryCriteria onlyQuotes;
    onlyQuotes.client = QStringLiteral("''");
    QTest::newRow("only quotes") << onlyQuotes << false << BillSelect + QStringLiteral(" where client=?") + BillOrder
                                 << QVariantList{QString()};
}

void TestQueryStatement::build()
{
    QFETCH(QueryCriteria, criteria);
    QFETCH(bool, lines);
    QFETCH(QString, sql);
    QFETCH(QVariantList, values);

    const QueryStatement statement = BuildQuery(criteria, lines ? QueryKind::Lines : QueryKind::Bills);
    QCOMPARE(statement.sql, sql);
    QCOMPARE(statement.values, values);
}

QTEST_GUILESS_MAIN(TestQueryStatement)
#include "tst_querystatement.moc"
