#include "MessageCapture.h"
#include "TestDatabase.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/forms/MessageBox.h"
#include "shared/data/NameLists.h"
#include "shared/data/SearchCode.h"
#include "shared/base/TextRules.h"
#include "shared/forms/ComboFill.h"

#include <QCollator>
#include <QComboBox>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

namespace {

qint32 insertBill(const QString &client = QStringLiteral("客户"))
{
    QSqlQuery q = ExecSql(QStringLiteral("insert into bill (date, client) values ('2026-12-07', ?)"), {client});
    return q.lastInsertId().toInt();
}

void insertLine(qint32 pid, double quantity, double price, double pi)
{
    ExecSql(QStringLiteral("insert into billsub (pid, artno, quantity, price, pi) values (?, 'A1', ?, ?, ?)"),
            {pid, quantity, price, pi});
}

void insertServ(const QString &field, const QString &value)
{
    ExecSql(QStringLiteral("insert into serv (field, value) values (?, ?)"), {field, value});
}

QStringList items(const QComboBox &combo)
{
    QStringList list;
    for (int i = 0; i < combo.count(); ++i)
        list << combo.itemText(i);
    return list;
}

} // namespace

class TestDataAccess : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void lookupValueNullModes();
    void existenceChecksBindAnyText();
    void anyTextPassesEveryProcedure_data();
    void anyTextPassesEveryProcedure();
    void likeKeepsWildcardsWhereUsed();
    void textIgnoresCase_data();
    void textIgnoresCase();
    void deletingABillDeletesItsLines();
    void storeRecordAddsThenUpdates();
    void storeRecordRefuses_data();
    void storeRecordRefuses();
    void emptyTextIsStoredAsText();
    void billTotals();
    void valueLists();
    void listOrderIsTheCollators();
    void idCombo();
    void fieldCaptionCombo();
    void tableNames_data();
    void tableNames();
    void searchCodes_data();
    void searchCodes();
    void searchCodeCacheMatchesTable();
    void transactionRollsBack();
    void errorsCarryTheEngineText();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestDataAccess::initTestCase()
{
    if (const QString why = TestDatabase::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestDataAccess::init()
{
    m_db = std::make_unique<TestDatabase>();
    InitNameLists();
}

void TestDataAccess::cleanup()
{
    m_db.reset();
}

void TestDataAccess::lookupValueNullModes()
{
    ExecSql(QStringLiteral("insert into client (client, link) values ('甲', null)"));
    const SqlCondition cond{QStringLiteral("client=?"), {QStringLiteral("甲")}};

    const QVariant asIs = LookupValue(QStringLiteral("link"), QStringLiteral("client"), cond, NullAsIs);
    QVERIFY(asIs.isValid());
    QVERIFY(asIs.isNull());
    QCOMPARE(LookupValue(QStringLiteral("link"), QStringLiteral("client"), cond, NullAsEmptyText), QVariant(QString()));
    QCOMPARE(LookupValue(QStringLiteral("link"), QStringLiteral("client"), cond, NullAsZero).toInt(), 0);
    QCOMPARE(LookupValue(QStringLiteral("link"), QStringLiteral("client"), cond, NullAsZero).userType(),
             QMetaType::Int);

    // No row: invalid, reading as "" and 0 whatever the mode.
    const SqlCondition none{QStringLiteral("client=?"), {QStringLiteral("乙")}};
    for (NullMode mode : {NullAsIs, NullAsEmptyText, NullAsZero}) {
        const QVariant v = LookupValue(QStringLiteral("link"), QStringLiteral("client"), none, mode);
        QVERIFY(!v.isValid());
        QCOMPARE(v.toString(), QString());
        QCOMPARE(v.toInt(), 0);
    }
    // No condition: the first row.
    QCOMPARE(LookupValue(QStringLiteral("client"), QStringLiteral("client")).toString(), QStringLiteral("甲"));
}

void TestDataAccess::existenceChecksBindAnyText()
{
    const QString nasty = QStringLiteral("O'Brien [x] \"50%\" _a_ ; drop table bill; --");
    ExecSql(QStringLiteral("insert into client (client) values (?)"), {nasty});
    const qint32 id = LookupValue(QStringLiteral("id"), QStringLiteral("client")).toInt();
    QVERIFY(IdExists(QStringLiteral("client"), id));
    QVERIFY(!IdExists(QStringLiteral("client"), id + 1));
    QVERIFY(RowExists(QStringLiteral("client"), {QStringLiteral("client=?"), {nasty}}));
    // "=" is not "like": the wildcard characters match only themselves here.
    QVERIFY(!RowExists(QStringLiteral("client"), {QStringLiteral("client=?"), {QStringLiteral("O%")}}));
    // Case-insensitive, as the duplicate checks need.
    QVERIFY(RowExists(QStringLiteral("client"), {QStringLiteral("id<>? and client=?"), {id + 1, nasty.toUpper()}}));
    QVERIFY(!RowExists(QStringLiteral("client"), {QStringLiteral("id<>? and client=?"), {id, nasty}}));
    QVERIFY(IdExists(QStringLiteral("Client"), id));
    QVERIFY(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).isValid());

    DeleteById(QStringLiteral("client"), id);
    QVERIFY(!IdExists(QStringLiteral("client"), id));

    // Names that are not plain identifiers never reach the engine.
    QVERIFY_THROWS_EXCEPTION(DbError, IdExists(QStringLiteral("client; delete from bill"), 1));
}

void TestDataAccess::anyTextPassesEveryProcedure_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quote") << "O'Brien";
    QTest::newRow("double quote") << "\"x\"";
    QTest::newRow("brackets") << "[password]";
    QTest::newRow("wildcards") << "50%_";
    QTest::newRow("statement") << "'; delete from bill; --";
}

void TestDataAccess::anyTextPassesEveryProcedure()
{
    QFETCH(QString, text);
    insertBill(text);
    insertServ(text, text);
    const SqlCondition cond{QStringLiteral("client=?"), {text}};
    QCOMPARE(LookupValue(QStringLiteral("client"), QStringLiteral("bill"), cond).toString(), text);
    QVERIFY(RowExists(QStringLiteral("bill"), cond));
    QComboBox combo;
    FillServCombo(&combo, text);
    QCOMPARE(items(combo), QStringList{text});
    QCOMPARE(ServValueList(text), text);
    QCOMPARE(SpellOf(text), text);
    QCOMPARE(MakeSearchCode(text), CleanText(text));
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).toInt(), 1);
}

void TestDataAccess::likeKeepsWildcardsWhereUsed()
{
    ExecSql(QStringLiteral("insert into artno (artno, query) values ('A1', 'a1 hs'), ('B2', 'b2 ls')"));
    const auto count = [](const QString &text) {
        return LookupValue(QStringLiteral("count(*)"), QStringLiteral("artno"),
                           {QStringLiteral("query like ?"), {QStringLiteral("%") + text + QStringLiteral("%")}})
            .toInt();
    };
    QCOMPARE(count(QStringLiteral("HS")), 1);
    QCOMPARE(count(QStringLiteral("_2")), 1);
    QCOMPARE(count(QStringLiteral("%")), 2);
    QCOMPARE(count(QStringLiteral("'")), 0);
}

void TestDataAccess::textIgnoresCase_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("stored"); // in insertion order
    QTest::addColumn<QString>("sought");
    QTest::addColumn<QStringList>("found");  // in the order "order by column" gives

    const QString equal = QStringLiteral("=?");
    QTest::newRow("client") << "client" << "client" << equal << QStringList{"aBC", "abd"} << "Abc" << QStringList{"aBC"};
    QTest::newRow("article") << "artno" << "artno" << equal << QStringList{"ab-7", "AB-8"} << "AB-7" << QStringList{"ab-7"};
    QTest::newRow("value-list field") << "serv" << "field" << equal << QStringList{"man1", "man2"} << "Man1"
                                      << QStringList{"man1"};
    QTest::newRow("bill client") << "bill" << "client" << equal << QStringList{"华丰Tex", "华丰"} << "华丰tEX"
                                 << QStringList{"华丰Tex"};
    QTest::newRow("picker like") << "artno" << "query" << QStringLiteral(" like ?")
                                 << QStringList{"c hs", "b HS", "a Hx"} << "%hS%" << QStringList{"b HS", "c hs"};
    QTest::newRow("sorted without case") << "serv" << "value" << QStringLiteral(" like ?")
                                         << QStringList{"b", "C", "a", "B2"} << "%" << QStringList{"a", "b", "B2", "C"};
    // Only ASCII letters fold, on both engines alike.
    QTest::newRow("other letters keep case") << "client" << "client" << equal << QStringList{"Äx", "äx"} << "äx"
                                             << QStringList{"äx"};
}

void TestDataAccess::textIgnoresCase()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, condition);
    QFETCH(QStringList, stored);
    QFETCH(QString, sought);
    QFETCH(QStringList, found);

    for (const QString &text : stored)
        StoreRecord(table, 0, {{column, text}});
    QSqlQuery q = ExecSql(QStringLiteral("select %1 from %2 where %1%3 order by %1").arg(column, table, condition),
                          {sought});
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString();
    QCOMPARE(rows, found);
}

void TestDataAccess::deletingABillDeletesItsLines()
{
    const qint32 keep = insertBill();
    const qint32 gone = insertBill();
    insertLine(keep, 1, 1, 1);
    insertLine(gone, 2, 2, 2);
    insertLine(gone, 3, 3, 3);
    DeleteById(QStringLiteral("bill"), gone);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("billsub")).toInt(), 1);
    QCOMPARE(LookupValue(QStringLiteral("pid"), QStringLiteral("billsub")).toInt(), keep);
}

void TestDataAccess::storeRecordAddsThenUpdates()
{
    const RecordValues first{{QStringLiteral("client"), QStringLiteral("甲")}, {QStringLiteral("link"), QString()}};
    const qint32 id = StoreRecord(QStringLiteral("client"), 0, first);
    QVERIFY(id > 0);
    const qint32 second = StoreRecord(QStringLiteral("client"), 0, first);
    QVERIFY(second != id);

    StoreRecord(QStringLiteral("client"), id, {{QStringLiteral("link"), QStringLiteral("电话 1'2")}});
    const SqlCondition byId{QStringLiteral("id=?"), {id}};
    QCOMPARE(LookupValue(QStringLiteral("link"), QStringLiteral("client"), byId).toString(), QStringLiteral("电话 1'2"));
    QCOMPARE(LookupValue(QStringLiteral("client"), QStringLiteral("client"), byId).toString(), QStringLiteral("甲"));

    // A record deleted meanwhile is stored again as a new one, not lost.
    DeleteById(QStringLiteral("client"), second);
    const qint32 again = StoreRecord(QStringLiteral("client"), second, first);
    QVERIFY(again > second);
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("client")).toInt(), 2);
}

void TestDataAccess::storeRecordRefuses_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QVariant>("price");
    QTest::newRow("infinity") << "artno" << QVariant(qInf());
    QTest::newRow("minus infinity") << "artno" << QVariant(-qInf());
    QTest::newRow("nan") << "artno" << QVariant(qQNaN());
    QTest::newRow("table name with a statement") << "artno (price) values (1); --" << QVariant(1.0);
}

void TestDataAccess::storeRecordRefuses()
{
    QFETCH(QString, table);
    QFETCH(QVariant, price);
    QVERIFY_THROWS_EXCEPTION(DbError, StoreRecord(table, 0, {{QStringLiteral("price"), price}}));
    QVERIFY_THROWS_EXCEPTION(DbError, ExecSql(QStringLiteral("insert into artno (price) values (?)"), {qInf()}));
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("artno")).toInt(), 0);
}

void TestDataAccess::emptyTextIsStoredAsText()
{
    const qint32 id = StoreRecord(QStringLiteral("bill"), 0,
                                  {{QStringLiteral("client"), QString()},
                                   {QStringLiteral("comment"), QString(QLatin1String(""))},
                                   {QStringLiteral("date"), QVariant(QMetaType::fromType<QString>())}});
    QSqlQuery q = ExecSql(QStringLiteral("select client is null, client = '', comment = '', date is null "
                                         "from bill where id=?"),
                          {id});
    QVERIFY(q.next());
    QCOMPARE((QList<int>{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()}),
             (QList<int>{0, 1, 1, 1}));
}

void TestDataAccess::billTotals()
{
    const qint32 id = insertBill();
    insertLine(id, 12.5, 3.3, 2);
    insertLine(id, 0.1, 0.2, 1);
    UpdateBillTotals(QStringLiteral("bill"), id);
    const SqlCondition byId{QStringLiteral("id=?"), {id}};
    // 12.5*3.3 + 0.1*0.2 = 41.25 + 0.02, stored to four decimals exactly.
    QCOMPARE(LookupValue(QStringLiteral("price"), QStringLiteral("bill"), byId).toDouble(), 41.27);
    QCOMPARE(LookupValue(QStringLiteral("pi"), QStringLiteral("bill"), byId).toDouble(), 3.0);
    QCOMPARE(LookupValue(QStringLiteral("quantity"), QStringLiteral("bill"), byId).toDouble(), 12.6);

    // The last line deleted: 0, 0, 0 rather than Null.
    ExecSql(QStringLiteral("delete from billsub where pid=?"), {id});
    UpdateBillTotals(QStringLiteral("bill"), id);
    for (const char *column : {"price", "pi", "quantity"}) {
        const QVariant v = LookupValue(QString::fromLatin1(column), QStringLiteral("bill"), byId);
        QVERIFY(!v.isNull());
        QCOMPARE(v.toDouble(), 0.0);
    }
}

void TestDataAccess::valueLists()
{
    insertServ(QStringLiteral("man1"), QStringLiteral("王五"));
    insertServ(QStringLiteral("man1"), QStringLiteral("张三"));
    insertServ(QStringLiteral("MAN1"), QStringLiteral("李四"));
    insertServ(QStringLiteral("color"), QStringLiteral("红"));

    QComboBox combo;
    combo.setObjectName(QStringLiteral("cboMan1"));
    combo.addItem(QStringLiteral("已有"));
    FillServCombo(&combo);
    QCOMPARE(combo.count(), 4);
    QCOMPARE(combo.itemText(0), QStringLiteral("已有"));
    // By Mandarin reading: li, wang, zhang.
    QCOMPARE(items(combo).mid(1), (QStringList{QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("张三")}));

    QComboBox colors;
    FillServCombo(&colors, QStringLiteral("color"));
    QCOMPARE(items(colors), QStringList{QStringLiteral("红")});

    // Filling chooses nothing: an empty staff box stays empty, a typed name
    // stays typed, and no change is signalled.
    for (const QString &typed : {QString(), QStringLiteral("赵六")}) {
        QComboBox staff;
        staff.setEditable(true);
        staff.setObjectName(QStringLiteral("cboMan1"));
        staff.setEditText(typed);
        QSignalSpy indexSpy(&staff, &QComboBox::currentIndexChanged);
        QSignalSpy textSpy(&staff, &QComboBox::editTextChanged);
        FillServCombo(&staff);
        QCOMPARE(staff.count(), 3);
        QCOMPARE(staff.currentIndex(), -1);
        QCOMPARE(staff.currentText(), typed);
        QCOMPARE(indexSpy.count() + textSpy.count(), 0);
    }
    QComboBox chosen;
    chosen.addItem(QStringLiteral("已有"));
    FillServCombo(&chosen, QStringLiteral("color"));
    QCOMPARE(chosen.currentText(), QStringLiteral("已有"));

    QCOMPARE(ServValueList(QStringLiteral("color")), QStringLiteral("红"));
    QCOMPARE(ServValueList(QStringLiteral("man1")).split(QLatin1Char('|')).size(), 3);
    QCOMPARE(ServValueList(QStringLiteral("man4")), QString());
}

// Texts of printable ASCII take a shortcut past ICU on SQLite; their order,
// and that of mixed texts, must still be the collator's.
void TestDataAccess::listOrderIsTheCollators()
{
    const QString alphabet = QStringLiteral(" !#(-.09AZaz_|~丝甲é");
    QRandomGenerator random(7);
    for (int i = 0; i < 400; ++i) {
        QString text;
        for (int n = 1 + random.bounded(4); n > 0; --n)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        insertServ(QStringLiteral("color"), text);
    }
    const QStringList values = ServValues(QStringLiteral("color"));
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (int i = 1; i < values.size(); ++i)
        QVERIFY2(collator.compare(values.at(i - 1), values.at(i)) <= 0, qPrintable(values.at(i - 1) + u'|' + values.at(i)));
}

void TestDataAccess::idCombo()
{
    ExecSql(QStringLiteral("insert into client (client) values ('乙'), ('甲''s')"));
    QComboBox combo;
    combo.setObjectName(QStringLiteral("cboClient"));
    QSignalSpy spy(&combo, &QComboBox::currentIndexChanged);
    FillIdCombo(&combo);
    FillComboNow(&combo);
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.currentIndex(), -1);
    QCOMPARE(spy.count(), 0);
    for (int i = 0; i < combo.count(); ++i) {
        const SqlCondition byId{QStringLiteral("id=?"), {combo.itemData(i)}};
        QCOMPARE(LookupValue(QStringLiteral("client"), QStringLiteral("client"), byId).toString(), combo.itemText(i));
    }
}

void TestDataAccess::fieldCaptionCombo()
{
    QComboBox quiet;
    QSignalSpy quietSpy(&quiet, &QComboBox::currentIndexChanged);
    FillFieldCaptionCombo(&quiet, false);
    QCOMPARE(items(quiet), FieldCaptions());
    QCOMPARE(quietSpy.count(), 0);
    QCOMPARE(quiet.currentIndex(), -1);

    QComboBox chosen;
    QSignalSpy spy(&chosen, &QComboBox::currentIndexChanged);
    FillFieldCaptionCombo(&chosen, true);
    QCOMPARE(chosen.currentIndex(), 0);
    QCOMPARE(chosen.currentText(), QStringLiteral("品名"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 0);
}

void TestDataAccess::tableNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("caption");
    QTest::newRow("bill window") << "frmBill" << 0 << "bill" << "Tovik";
    QTest::newRow("upper case") << "FRMBILL" << 0 << "bill" << "Tovik";
    QTest::newRow("no table falls back to bill") << "frmQuery" << 0 << "bill" << "Tovik";
    QTest::newRow("empty") << "" << 0 << "bill" << "Tovik";
}

void TestDataAccess::tableNames()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, table);
    QFETCH(QString, caption);
    QCOMPARE(TableIndexOf(name), index);
    QCOMPARE(TableNameOf(name), table);
    QCOMPARE(TableCaptionOf(name), caption);
    QCOMPARE(FieldNames(), (QStringList{"product", "color", "man1", "man2", "man3", "man4"}));
    QCOMPARE(FieldCaptions().at(5), QStringLiteral("送货人"));
}

void TestDataAccess::searchCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::newRow("chinese") << "红色" << "hs";
    QTest::newRow("mixed, latin kept") << "A12 红" << "A12 h";
    QTest::newRow("cleaned first") << " 'A[1]' " << "A1";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("all spaces") << "   " << "";
    QTest::newRow("not in table") << "①" << "①";
    QTest::newRow("beyond the basic plane") << QString::fromUcs4(U"\U00020000x") << "hx";
}

void TestDataAccess::searchCodes()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(MakeSearchCode(text), code);
}

void TestDataAccess::searchCodeCacheMatchesTable()
{
    // SpellOf gives what a direct lookup of tblspell gives, for every entry.
    QSqlQuery q = ExecSql(QStringLiteral("select word, spell from tblspell"));
    int checked = 0;
    while (q.next()) {
        QCOMPARE(SpellOf(q.value(0).toString()), q.value(1).toString());
        ++checked;
    }
    QVERIFY(checked > 20000);
    QCOMPARE(SpellOf(QStringLiteral("x")), QStringLiteral("x"));

    // A table entry added by hand is seen once the table is read again.
    ExecSql(QStringLiteral("insert into tblspell (word, spell) values ('Q', 'k')"));
    ForgetSpellTable();
    QCOMPARE(MakeSearchCode(QStringLiteral("qQ")), QStringLiteral("kk"));
}

void TestDataAccess::transactionRollsBack()
{
    {
        DbTransaction t;
        insertBill();
    }
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).toInt(), 0);
    {
        DbTransaction t;
        insertBill();
        t.commit();
    }
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("bill")).toInt(), 1);
}

void TestDataAccess::errorsCarryTheEngineText()
{
    QStringList shown;
    const MessageCapture capture(shown);
    // The statement goes to the log for us, not to the user.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("nosuchcolumn.*select nosuchcolumn from bill"),
                                                          QRegularExpression::DotMatchesEverythingOption));
    const bool ran = RunGuarded([] { LookupValue(QStringLiteral("nosuchcolumn"), QStringLiteral("bill")); });
    QVERIFY(!ran);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(QLatin1String("nosuchcolumn")), qPrintable(shown.first()));
    QVERIFY2(!shown.first().contains(QLatin1String("select")), qPrintable(shown.first()));
}

QTEST_MAIN(TestDataAccess)
#include "tst_dataaccess.moc"
