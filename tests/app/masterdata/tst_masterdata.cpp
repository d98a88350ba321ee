// The three list windows driven as a user drives them: keys typed into the
// grid, row numbers double-clicked, messages answered; what is stored is read
// back from the database.

#include "MessageCapture.h"
#include "TypeText.h"
#include "Refusal.h"
#include "TestDatabase.h"

#include "masterdata/frmArtno.h"
#include "masterdata/frmClient.h"
#include "masterdata/frmServ.h"
#include "shared/data/DataAccess.h"
#include "shared/data/NameLists.h"
#include "shared/forms/ComboFill.h"
#include "shared/forms/Windows.h"

#include <OVGrid.h>

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QtTest>

namespace {

QVariantList row(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q = ExecSql(sql, values);
    QVariantList result;
    if (q.next()) {
        for (int i = 0; i < q.record().count(); ++i)
            result << q.value(i);
    }
    return result;
}

int count(const QString &table)
{
    return LookupValue(QStringLiteral("count(*)"), table).toInt();
}

} // namespace

class TestMasterData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void articleTypedIntoEntryRowIsStored();
    void articleChecks_data();
    void articleChecks();
    void articlePrice_data();
    void articlePrice();
    void entryRowStartsOnlyWithNumber_data();
    void entryRowStartsOnlyWithNumber();
    void productAndColourStoredClean();
    void articleOwnNumberAcceptedAgain();
    void productTypedByHandIsOfferedNotListed();
    void enterMovesAlongTheRow();
    void deletionAsksFirst();
    void failedStoreKeepsTheTypedText();
    void clientSearchCodes();
    void clientDuplicateAndContact();
    void valueListsSwitchAndDuplicates();
    void clearingValueShowsCaption();
    void listsInPinyinOrder_data();
    void listsInPinyinOrder();

private:
    template<class Form> Form *open();
    // Makes (row, col) current and types text into it, then Enter.
    void typeInto(int row, int col, const QString &text);
    QWidget *view() const;

    std::unique_ptr<TestDatabase> m_db;
    QPointer<ListForm> m_form;
    QStringList m_messages;
    MessageCapture m_capture{m_messages, MsgAnswer::Yes};
};

void TestMasterData::init()
{
    if (const QString why = TestDatabase::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    m_db = std::make_unique<TestDatabase>();
    InitNameLists();
    m_messages.clear();
    m_capture.setAnswer(MsgAnswer::Yes);
}

void TestMasterData::cleanup()
{
    delete m_form;
    m_db.reset();
}

template<class Form>
Form *TestMasterData::open()
{
    auto *form = new Form;
    m_form = form;
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowExposed(form))
        qWarning("window not exposed");
    form->grid()->setFocus();
    return form;
}

QWidget *TestMasterData::view() const
{
    return m_form->grid()->findChild<QTableView *>();
}

void TestMasterData::typeInto(int row, int col, const QString &text)
{
    OVGrid *grd = m_form->grid();
    grd->setRow(row);
    grd->setCol(col);
    view()->setFocus();
    typeText(QApplication::focusWidget(), text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

void TestMasterData::articleTypedIntoEntryRowIsStored()
{
    frmArtno *form = open<frmArtno>();
    OVGrid *grd = form->grid();
    QCOMPARE(grd->Rows(), 2);
    QCOMPARE(grd->TextMatrix(1, 0), QStringLiteral("*"));

    typeInto(1, 2, QStringLiteral("红A-1"));
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
    const QVariantList stored =
        row(QStringLiteral("select id, artno, product, color, price, query from artno"));
    QCOMPARE(stored.size(), 6);
    QCOMPARE(stored.at(1).toString(), QStringLiteral("红A-1"));
    QCOMPARE(stored.at(2).toString(), QString());
    QCOMPARE(stored.at(4).toDouble(), 0.0);
    QCOMPARE(stored.at(5).toString(), frmArtno::SearchCodeOf(QStringLiteral("红A-1"), {}, {}));
    QCOMPARE(grd->TextMatrix(1, ListForm::IdCol), stored.at(0).toString());
    QCOMPARE(grd->TextMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(grd->TextMatrix(1, 5), QStringLiteral("0.00"));
    QCOMPARE(grd->Rows(), 3);
    QCOMPARE(grd->TextMatrix(2, 0), QStringLiteral("*"));
}

void TestMasterData::articleChecks_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");

    const QString head = QStringLiteral("第 1 行：\r\n\r\n");
    QTest::newRow("duplicate in another case")
        << 2 << QStringLiteral("ab-2") << head + QStringLiteral("ab-2 已经存在！")
        << QStringLiteral("AB-1");
    QTest::newRow("cleared number") << 2 << QString() << head + QStringLiteral("编号？")
                                    << QStringLiteral("AB-1");
    QTest::newRow("price not a number")
        << 5 << QStringLiteral("12a") << head + QStringLiteral("12a 数字格式！")
        << QStringLiteral("AB-1");
    QTest::newRow("quotes and brackets stripped")
        << 2 << QStringLiteral("x'y\"[z]") << QString() << QStringLiteral("xyz");
    QTest::newRow("price stored as number") << 5 << QStringLiteral("12.5") << QString()
                                            << QStringLiteral("AB-1");
}

void TestMasterData::articleChecks()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, stored);

    ExecSql(QStringLiteral("insert into artno (artno, product, color, price, query) "
                           "values ('AB-1', '', '', 3, 'ab-1  '), ('AB-2', '', '', 0, 'ab-2  ')"));
    frmArtno *form = open<frmArtno>();
    OVGrid *grd = form->grid();
    QCOMPARE(grd->TextMatrix(1, 2), QStringLiteral("AB-1"));

    if (typed.isEmpty()) {
        // Clearing: select the old text and delete it.
        grd->setRow(1);
        grd->setCol(col);
        view()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else {
        typeInto(1, col, typed);
    }

    QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
    const qint32 id = grd->TextMatrix(1, ListForm::IdCol).toInt();
    QCOMPARE(LookupValue(QStringLiteral("artno"), QStringLiteral("artno"),
                         {QStringLiteral("id=?"), {id}})
                 .toString(),
             stored);
    if (message.isEmpty()) {
        QCOMPARE(grd->TextMatrix(1, col), col == 5 ? QStringLiteral("12.50") : stored);
        if (col == 5)
            QCOMPARE(LookupValue(QStringLiteral("price"), QStringLiteral("artno"),
                                 {QStringLiteral("id=?"), {id}})
                         .toDouble(),
                     12.5);
    } else {
        // A refused edit leaves the cell as it was.
        QCOMPARE(grd->TextMatrix(1, col), col == 5 ? QStringLiteral("3.00") : QStringLiteral("AB-1"));
    }
    QCOMPARE(count(QStringLiteral("artno")), 2);
}

void TestMasterData::articlePrice_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");

    for (const char *refused : {"inf", "nan", "-inf", "1e999", "1,234", "12kg"})
        QTest::newRow(refused) << QString::fromLatin1(refused) << false << 3.0 << QStringLiteral("3.00");
    QTest::newRow("full-width digits") << QStringLiteral("１２") << true << 12.0 << QStringLiteral("12.00");
    QTest::newRow("blanks around") << QStringLiteral(" 12.5 ") << true << 12.5 << QStringLiteral("12.50");
}

void TestMasterData::articlePrice()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(double, stored);
    QFETCH(QString, shown);

    ExecSql(QStringLiteral("insert into artno (artno, product, color, price) values ('A', '', '', 3)"));
    frmArtno *form = open<frmArtno>();
    typeInto(1, 5, typed);

    const QStringList refusal{QStringLiteral("第 1 行：\r\n\r\n") + typed.trimmed()
                              + QStringLiteral(" 数字格式！")};
    QCOMPARE(m_messages, accepted ? QStringList() : refusal);
    QCOMPARE(LookupValue(QStringLiteral("price"), QStringLiteral("artno")).toDouble(), stored);
    QCOMPARE(form->grid()->TextMatrix(1, 5), shown);
}

void TestMasterData::entryRowStartsOnlyWithNumber_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::newRow("product") << 3 << QStringLiteral("棉");
    QTest::newRow("colour") << 4 << QStringLiteral("红");
    QTest::newRow("price") << 5 << QStringLiteral("7");
}

void TestMasterData::entryRowStartsOnlyWithNumber()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    frmArtno *form = open<frmArtno>();
    typeInto(1, col, typed);
    QCOMPARE(count(QStringLiteral("artno")), 0);
    QCOMPARE(form->grid()->Rows(), 2);
    QCOMPARE(form->grid()->TextMatrix(1, col), QString());
    QVERIFY(m_messages.isEmpty());
}

void TestMasterData::productAndColourStoredClean()
{
    // Text that came in from elsewhere is cleaned when the row is stored again.
    ExecSql(QStringLiteral("insert into artno (artno, product, color, price) values "
                           "('A', ' 棉\"布'' ', '[红]', 0)"));
    open<frmArtno>();
    typeInto(1, 5, QStringLiteral("5"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(row(QStringLiteral("select product, color, price from artno")),
             (QVariantList{QStringLiteral("棉布"), QStringLiteral("红"), 5.0}));
}

void TestMasterData::articleOwnNumberAcceptedAgain()
{
    ExecSql(QStringLiteral("insert into artno (artno, product, color, price) values ('K7', 'p', 'c', 1)"));
    frmArtno *form = open<frmArtno>();
    typeInto(1, 2, QStringLiteral("k7"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(LookupValue(QStringLiteral("artno"), QStringLiteral("artno")).toString(),
             QStringLiteral("k7"));
    // The whole row is written again, the search code from all three parts.
    QCOMPARE(LookupValue(QStringLiteral("query"), QStringLiteral("artno")).toString(),
             QStringLiteral("k7 p c"));
    QCOMPARE(form->grid()->Rows(), 3);
}

void TestMasterData::productTypedByHandIsOfferedNotListed()
{
    ExecSql(QStringLiteral("insert into serv (field, value) values ('product', '棉布')"));
    ExecSql(QStringLiteral("insert into artno (artno, product, color, price) values ('A', '', '', 0)"));
    open<frmArtno>();
    typeInto(1, 3, QStringLiteral("丝绸"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(LookupValue(QStringLiteral("product"), QStringLiteral("artno")).toString(),
             QStringLiteral("丝绸"));
    QCOMPARE(LookupValue(QStringLiteral("query"), QStringLiteral("artno")).toString(),
             QStringLiteral("A sc "));
    QCOMPARE(count(QStringLiteral("serv")), 1);
    auto *combo = m_form->grid()->findChild<QComboBox *>(QStringLiteral("cbo3"));
    QVERIFY(combo);
    QVERIFY(combo->findText(QStringLiteral("丝绸")) >= 0);
    QVERIFY(combo->findText(QStringLiteral("棉布")) >= 0);
}

void TestMasterData::enterMovesAlongTheRow()
{
    ExecSql(QStringLiteral("insert into artno (artno, product, color, price) values ('A', '', '', 0)"));
    frmArtno *form = open<frmArtno>();
    typeInto(1, 4, QStringLiteral("red"));
    QCOMPARE(form->grid()->Row(), 1);
    QCOMPARE(form->grid()->Col(), 5);
    typeInto(1, 5, QStringLiteral("2"));
    QCOMPARE(form->grid()->Row(), 2);
    QCOMPARE(form->grid()->Col(), 2);
}

void TestMasterData::deletionAsksFirst()
{
    ExecSql(QStringLiteral("insert into artno (artno, product, color, price) values ('A', '', '', 0), ('B', '', '', 0)"));
    frmArtno *form = open<frmArtno>();
    OVGrid *grd = form->grid();
    // Row numbers are the view's vertical header.
    QHeaderView *header = static_cast<QTableView *>(view())->verticalHeader();
    QWidget *numbers = header->viewport();
    const auto numberOf = [header](int r) {
        return QPoint(header->width() / 2,
                      header->sectionViewportPosition(r - 1) + header->sectionSize(r - 1) / 2);
    };

    m_capture.setAnswer(MsgAnswer::No);
    QTest::mouseDClick(numbers, Qt::LeftButton, {}, numberOf(1));
    QCOMPARE(m_messages, QStringList{QStringLiteral("删除？")});
    QCOMPARE(count(QStringLiteral("artno")), 2);
    QCOMPARE(grd->Rows(), 4);

    m_messages.clear();
    m_capture.setAnswer(MsgAnswer::Yes);
    QTest::mouseDClick(numbers, Qt::LeftButton, {}, numberOf(1));
    QCOMPARE(m_messages, QStringList{QStringLiteral("删除？")});
    QCOMPARE(count(QStringLiteral("artno")), 1);
    QCOMPARE(grd->Rows(), 3);
    QCOMPARE(grd->TextMatrix(1, 2), QStringLiteral("B"));

    // The entry row is never deleted, nor asked about.
    m_messages.clear();
    QTest::mouseDClick(numbers, Qt::LeftButton, {}, numberOf(2));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(grd->Rows(), 3);
}

void TestMasterData::failedStoreKeepsTheTypedText()
{
    const Refusal refusal{QStringLiteral("insert on artno"), QStringLiteral("true"), QStringLiteral("disk says no")};
    refusal.install();
    frmArtno *form = open<frmArtno>();
    OVGrid *grd = form->grid();
    typeInto(1, 2, QStringLiteral("N1"));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(QStringLiteral("disk says no")), qPrintable(m_messages.first()));
    QCOMPARE(grd->TextMatrix(1, 2), QStringLiteral("N1"));
    QCOMPARE(grd->TextMatrix(1, ListForm::IdCol), QString());
    QCOMPARE(count(QStringLiteral("artno")), 0);

    // Once the database takes it, the next edit stores the whole row.
    refusal.remove();
    m_messages.clear();
    typeInto(1, 4, QStringLiteral("blue"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(row(QStringLiteral("select artno, color from artno")),
             (QVariantList{QStringLiteral("N1"), QStringLiteral("blue")}));
    QVERIFY(!grd->TextMatrix(1, ListForm::IdCol).isEmpty());
}

void TestMasterData::clientSearchCodes()
{
    QCOMPARE(frmClient::SearchCodeOf(QStringLiteral("王")), QStringLiteral("ww"));
    QCOMPARE(frmClient::SearchCodeOf(QStringLiteral("王记")), QStringLiteral("wj"));
    QCOMPARE(frmClient::SearchCodeOf(QString()), QString());

    frmClient *form = open<frmClient>();
    typeInto(1, 2, QStringLiteral("王"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(row(QStringLiteral("select client, link, query from client")),
             (QVariantList{QStringLiteral("王"), QString(), QStringLiteral("ww")}));
    // An empty contact is empty text, not Null: a lookup of "" finds it.
    QVERIFY(RowExists(QStringLiteral("client"), {QStringLiteral("link=?"), {QString(QLatin1String(""))}}));
    QCOMPARE(form->grid()->Rows(), 3);
}

void TestMasterData::clientDuplicateAndContact()
{
    ExecSql(QStringLiteral("insert into client (client, link, query) values ('Lee', '', 'l'), ('Wu', '', 'w')"));
    frmClient *form = open<frmClient>();
    typeInto(2, 2, QStringLiteral("LEE"));
    QCOMPARE(m_messages, QStringList{QStringLiteral("第 2 行：\r\n\r\nLEE 已经存在！")});
    QCOMPARE(form->grid()->TextMatrix(2, 2), QStringLiteral("Wu"));

    // Editing only the contact rewrites the record, search code included.
    m_messages.clear();
    typeInto(1, 3, QStringLiteral("电话 123"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(row(QStringLiteral("select link, query from client where client='Lee'")),
             (QVariantList{QStringLiteral("电话 123"), QStringLiteral("Lee")}));
    QCOMPARE(form->grid()->Row(), 2);
    QCOMPARE(form->grid()->Col(), 2);
}

void TestMasterData::valueListsSwitchAndDuplicates()
{
    ExecSql(QStringLiteral("insert into serv (field, value) values "
                           "('product', '棉'), ('man4', '赵'), ('man4', '李'), ('color', '红')"));
    frmServ *form = open<frmServ>();
    OVGrid *grd = form->grid();
    auto *cbo = form->findChild<QComboBox *>(QStringLiteral("cboServ"));
    QVERIFY(cbo);
    QCOMPARE(cbo->currentText(), QStringLiteral("品名"));
    QCOMPARE(grd->TextMatrix(0, 2), QStringLiteral("品名"));
    QCOMPARE(grd->Rows(), 3);

    cbo->setFocus();
    QTest::keyClick(cbo, Qt::Key_End);
    QCOMPARE(cbo->currentText(), QStringLiteral("送货人"));
    QCOMPARE(form->currentField(), QStringLiteral("man4"));
    QCOMPARE(grd->TextMatrix(0, 2), QStringLiteral("送货人"));
    QCOMPARE(grd->Rows(), 4);
    const QStringList shown{grd->TextMatrix(1, 2), grd->TextMatrix(2, 2)};
    QCOMPARE(shown, (QStringList{QStringLiteral("李"), QStringLiteral("赵")}) );

    // The same value in another list is accepted, in this one refused.
    typeInto(3, 2, QStringLiteral("红"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(LookupValue(QStringLiteral("count(*)"), QStringLiteral("serv"),
                         {QStringLiteral("field='man4'"), {}})
                 .toInt(),
             3);
    QCOMPARE(grd->Rows(), 5);
    typeInto(4, 2, QStringLiteral("赵"));
    QCOMPARE(m_messages, QStringList{QStringLiteral("第 4 行：\r\n\r\n赵 已经存在！")});
    QCOMPARE(count(QStringLiteral("serv")), 5);
}

void TestMasterData::clearingValueShowsCaption()
{
    ExecSql(QStringLiteral("insert into serv (field, value) values ('product', '棉')"));
    frmServ *form = open<frmServ>();
    OVGrid *grd = form->grid();
    grd->setRow(1);
    grd->setCol(2);
    view()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_messages, QStringList{QStringLiteral("第 1 行：\r\n\r\n品名？")});
    QCOMPARE(grd->TextMatrix(1, 2), QStringLiteral("棉"));
}

void TestMasterData::listsInPinyinOrder_data()
{
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("乙/甲") << QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
    QTest::newRow("丝绸/麻布") << QStringList{QStringLiteral("麻布"), QStringLiteral("丝绸")};
    QTest::newRow("Latin case") << QStringList{QStringLiteral("abc"), QStringLiteral("ABD"), QStringLiteral("abe")};
    // ICU's Chinese order puts Chinese before Latin letters.
    QTest::newRow("symbols, digits, Chinese, letters")
        << QStringList{QStringLiteral("~x"), QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("二号"),
                       QStringLiteral("x1")};
}

// Each list window and a drop-down, on the engine the test runs on.
void TestMasterData::listsInPinyinOrder()
{
    QFETCH(QStringList, sorted);
    for (auto it = sorted.crbegin(); it != sorted.crend(); ++it) {
        ExecSql(QStringLiteral("insert into client (client) values (?)"), {*it});
        ExecSql(QStringLiteral("insert into artno (artno, product, color) values (?, '', '')"), {*it});
        ExecSql(QStringLiteral("insert into serv (field, value) values ('product', ?)"), {*it});
    }
    const auto listed = [this] {
        QStringList texts;
        for (int r = 1; r < m_form->grid()->Rows() - 1; ++r) // the last row takes new entries
            texts << m_form->grid()->TextMatrix(r, ListForm::KeyCol);
        delete m_form;
        return texts;
    };
    open<frmClient>();
    QCOMPARE(listed(), sorted);
    open<frmArtno>();
    QCOMPARE(listed(), sorted);
    open<frmServ>();
    QCOMPARE(listed(), sorted);

    QComboBox clients;
    clients.setObjectName(QStringLiteral("cboClient"));
    FillIdCombo(&clients);
    FillComboNow(&clients);
    QStringList items;
    for (int i = 0; i < clients.count(); ++i)
        items << clients.itemText(i);
    QCOMPARE(items, sorted);
}

QTEST_MAIN(TestMasterData)
#include "tst_masterdata.moc"
