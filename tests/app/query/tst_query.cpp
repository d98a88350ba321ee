#include "MessageCapture.h"
#include "TestDatabase.h"
#include "demodata/DemoData.h"
#include "TypeDate.h"
#include "TypeText.h"
#include "query/frmQuery.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/NameLists.h"
#include "shared/forms/DTPicker.h"
#include "shared/forms/RecordForm.h"
#include "shared/forms/RecordWindow.h"
#include "shared/forms/Windows.h"
#include "shared/sheet/Spreadsheet.h"

#include <OVGrid.h>
#include <OVNavigationBar.h>

#include <QClipboard>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {

// Stands in for the bill window: records the bills it is told to load, keeps
// unsaved changes when told to, and shows the query window again on close.
class BillStandIn : public RecordWindow
{
    Q_OBJECT
public:
    BillStandIn()
    {
        setObjectName(QStringLiteral("frmBill"));
        auto *bar = new OVNavigationBar(this);
        bar->setObjectName(QStringLiteral("nav"));
        connect(bar, &OVNavigationBar::CheckExistID, this, [](int id, bool &cancel) {
            cancel = !IdExists(QStringLiteral("bill"), id);
        });
        connect(bar, &OVNavigationBar::OutputID, this, [this](int id) { OnNavOutputID(this, id); });
        setRecordControls(bar, nullptr);
    }
    bool ovRst(int ID) override
    {
        loaded << ID;
        return true;
    }
    void ovTotal() override {}
    void ovCmd(int) override {}
    bool ovSaveYN() override { return keepChanges; }
    void ovModalForm(const QString &) override {}

    QList<int> loaded;
    bool keepChanges = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        RecordWindow::closeEvent(event);
        if (QWidget *query = FindForm(QStringLiteral("frmQuery")))
            query->show();
    }
};

// Column texts of every data row, joined by spaces per row.
QStringList rowsOf(const OVGrid *grid, const QList<int> &cols)
{
    QStringList rows;
    for (int r = 1; r < grid->Rows(); ++r) {
        QStringList cells;
        for (int c : cols)
            cells << grid->TextMatrix(r, c);
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}

} // namespace

class TestQuery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithItsControls();
    void query_data();
    void query();
    void typedQuotesAndEnterAreSwallowed();
    void exportTakesTheShownGrid();
    void doubleClickOpensTheBillAndComesBack();
    void cutResultSaysSo();

private:
    template<typename T>
    T *child(const QString &name) const
    {
        T *widget = m_form->findChild<T *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    void click(const QString &button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    QString text(const QString &label) const { return child<QLabel>(label)->text(); }
    void doubleClickRow(OVGrid *grid, int row);
    QJsonArray readBack(const QString &path) const;

    QTemporaryDir m_home;
    std::unique_ptr<TestDatabase> m_db;
    QPointer<frmQuery> m_form;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
    QStringList m_opened;
};

void TestQuery::initTestCase()
{
    if (const QString why = TestDatabase::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    InitNameLists();
    SetExportFileOpener([this](const QString &path) {
        m_opened << path;
        return true;
    });
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [] { return new BillStandIn; });
}

void TestQuery::init()
{
    m_db = std::make_unique<TestDatabase>();
    // Three bills: two for 甲 sold by 王, one for 乙 by 李; the third has no
    // line of 棉布.
    ExecSql(QStringLiteral("insert into client (client) values ('乙'), ('甲')"));
    // The lists offer A10 and 王五, not A1 and 王: a typed criterion
    // completed into them would find nothing.
    ExecSql(QStringLiteral("insert into artno (artno) values ('A10'), ('A2'), ('A3')"));
    ExecSql(QStringLiteral("insert into serv (field, value) values ('product', '棉布'), ('product', '麻布'),"
                           " ('man2', '王五'), ('man2', '李')"));
    ExecSql(QStringLiteral("insert into bill (date, client, man2, comment) values"
                           " ('2024-03-01', '甲', '王', '首单'), ('2024-03-15', '乙', '李', ''),"
                           " ('2024-04-02', '甲', '王', '')"));
    ExecSql(QStringLiteral("insert into billsub (pid, artno, product, color, pi, quantity, price) values"
                           " (1, 'A1', '棉布', '红', 2, 50.5, 10), (2, 'A1', '棉布', '红', 3, 60, 10),"
                           " (1, 'A2', '麻布', '蓝', 1, 20, 5.5), (3, 'A3', '丝', '白', 1, 10, 20)"));
    for (int id = 1; id <= 3; ++id)
        UpdateBillTotals(QStringLiteral("bill"), id);

    m_messages.clear();
    m_opened.clear();
    m_form = new frmQuery;
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestQuery::cleanup()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->parentWidget())
            windows << w;
    }
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
    m_db.reset();
}

void TestQuery::opensWithItsControls()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Tovik"));
    QCOMPARE(child<QPushButton>(QStringLiteral("cmdFind"))->toolTip(), QStringLiteral("忽略 编号、品名、色号"));
    QCOMPARE(text(QStringLiteral("lblTitle1")) + text(QStringLiteral("lblTitle3")) + text(QStringLiteral("lblTitle2")),
             QStringLiteral("0 匹0 KG0.00 元"));
    QVERIFY(child<DTPicker>(QStringLiteral("dtpDate1"))->isNull());
    QVERIFY(child<DTPicker>(QStringLiteral("dtpDate2"))->isNull());

    // The long lists are read at their first pop-up, in pinyin order; what
    // was typed stays, and names its item.
    auto *client = child<QComboBox>(QStringLiteral("cboClient"));
    auto *artno = child<QComboBox>(QStringLiteral("cboArtno"));
    QCOMPARE(client->count() + artno->count(), 0);
    client->setFocus();
    typeText(client, QStringLiteral("甲"));
    QTest::keyClick(client, Qt::Key_F4);
    QTRY_VERIFY(client->view()->isVisible());
    QCOMPARE(QStringList({client->itemText(0), client->itemText(1)}), QStringList({QStringLiteral("甲"), QStringLiteral("乙")}));
    QCOMPARE(client->currentText(), QStringLiteral("甲"));
    QCOMPARE(client->currentIndex(), 0);
    client->hidePopup();
    artno->setFocus();
    typeText(artno, QStringLiteral("a"));
    QTest::mouseClick(artno, Qt::LeftButton, {}, QPoint(artno->width() - 5, artno->height() / 2));
    QTRY_VERIFY(artno->view()->isVisible());
    QCOMPARE(artno->count(), 3);
    QCOMPARE(artno->currentText(), QStringLiteral("a"));
    artno->hidePopup();

    // Choosing a field refills the values with that list.
    auto *serv = child<QComboBox>(QStringLiteral("cboServ"));
    auto *value = child<QComboBox>(QStringLiteral("cboValue"));
    QCOMPARE(serv->currentText(), QStringLiteral("品名"));
    QCOMPARE(value->count(), 2);
    serv->setCurrentIndex(3);
    QCOMPARE(value->count(), 2);
    QCOMPARE(value->itemText(0), QStringLiteral("李"));
    serv->setCurrentIndex(4);
    QCOMPARE(value->count(), 0);

    // The result grid takes the window's height, the totals right under it.
    m_form->resize(960, 900);
    m_form->layout()->activate();
    const QRect grid = child<OVGrid>(QStringLiteral("grd"))->geometry();
    QVERIFY2(m_form->height() - grid.height() < 100, qPrintable(QString::number(grid.height())));
    QVERIFY(child<QLabel>(QStringLiteral("lblTitle1"))->geometry().top() - grid.bottom() < 20);

    const OVGrid *grd1 = child<OVGrid>(QStringLiteral("grd1"));
    QCOMPARE(grd1->Cols(), 11);
    QCOMPARE(grd1->TextMatrix(0, 10), QStringLiteral("金额"));
    QVERIFY(!grd1->Editable());
}

void TestQuery::query_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("from"); // typed digits, yyMMdd
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("artno");
    QTest::addColumn<bool>("bills");
    QTest::addColumn<QStringList>("rows"); // bills: id; lines: bill id and article
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("totals"); // pieces, KG, amount

    const QString none;
    QTest::newRow("no criteria, bills") << "" << none << none << 0 << "" << "" << true << QStringList{"1", "2", "3"}
                                        << "查询 - 3" << "7 匹|140.5 KG|1415.00 元";
    QTest::newRow("no criteria, lines") << "" << none << none << 0 << "" << "" << false
                                        << QStringList{"1 A1", "1 A2", "2 A1", "3 A3"} << "查询 - 3 / 4"
                                        << "7 匹|140.5 KG|1415.00 元";
    QTest::newRow("first date inclusive") << "" << "240315" << none << 0 << "" << "" << true << QStringList{"2", "3"}
                                          << "查询 - 2" << "4 匹|70 KG|800.00 元";
    QTest::newRow("last date inclusive") << "" << none << "240315" << 0 << "" << "" << true << QStringList{"1", "2"}
                                         << "查询 - 2" << "6 匹|130.5 KG|1215.00 元";
    QTest::newRow("unknown client, bills") << "丙" << none << none << 0 << "" << "" << true << QStringList() << "查询 - 0"
                                           << "0 匹|0 KG|0.00 元";
    QTest::newRow("unknown client, lines") << "丙" << none << none << 0 << "" << "" << false << QStringList() << "查询 - 0 / 0"
                                           << "0 匹|0 KG|0.00 元";
    QTest::newRow("product ignored by bills") << "" << none << none << 0 << "麻布" << "" << true << QStringList{"1", "2", "3"}
                                              << "查询 - 3" << "7 匹|140.5 KG|1415.00 元";
    QTest::newRow("product filters lines") << "" << none << none << 0 << "麻布" << "" << false << QStringList{"1 A2"}
                                           << "查询 - 1 / 1" << "1 匹|20 KG|110.00 元";
    QTest::newRow("salesman, bills") << "" << none << none << 3 << "王" << "" << true << QStringList{"1", "3"} << "查询 - 2"
                                     << "4 匹|80.5 KG|815.00 元";
    QTest::newRow("salesman, lines") << "" << none << none << 3 << "王" << "" << false << QStringList{"1 A1", "1 A2", "3 A3"}
                                     << "查询 - 2 / 3" << "4 匹|80.5 KG|815.00 元";
    QTest::newRow("article, lines") << "" << none << none << 0 << "" << "a1" << false << QStringList{"1 A1", "2 A1"}
                                    << "查询 - 2 / 2" << "5 匹|110.5 KG|1105.00 元";
    QTest::newRow("article ignored by bills") << "甲" << none << none << 0 << "" << "A1" << true << QStringList{"1", "3"}
                                              << "查询 - 2" << "4 匹|80.5 KG|815.00 元";
    QTest::newRow("colour filters lines") << "" << none << none << 1 << "红" << "" << false << QStringList{"1 A1", "2 A1"}
                                          << "查询 - 2 / 2" << "5 匹|110.5 KG|1105.00 元";
    QTest::newRow("field without value") << "" << none << none << 5 << "" << "" << false
                                         << QStringList{"1 A1", "1 A2", "2 A1", "3 A3"} << "查询 - 3 / 4"
                                         << "7 匹|140.5 KG|1415.00 元";
    QTest::newRow("every criterion, bills") << "甲" << "240301" << "240331" << 3 << "王" << "A1" << true
                                            << QStringList{"1"} << "查询 - 1" << "3 匹|70.5 KG|615.00 元";
    QTest::newRow("every criterion, lines") << "甲" << "240301" << "240331" << 3 << "王" << "A1" << false
                                            << QStringList{"1 A1"} << "查询 - 1 / 1" << "2 匹|50.5 KG|505.00 元";
    // Pasted text is cleaned before it is compared; nothing but quotes still
    // filters, on the empty text that no client has.
    QTest::newRow("pasted value") << "" << none << none << 3 << "[王]" << "" << true << QStringList{"1", "3"}
                                  << "查询 - 2" << "4 匹|80.5 KG|815.00 元";
    QTest::newRow("pasted only quotes") << "''" << none << none << 0 << "" << "" << true << QStringList()
                                        << "查询 - 0" << "0 匹|0 KG|0.00 元";
    QTest::newRow("pasted quotes") << "[甲']" << none << none << 0 << "" << "" << true << QStringList{"1", "3"} << "查询 - 2"
                                   << "4 匹|80.5 KG|815.00 元";
}

void TestQuery::query()
{
    QFETCH(QString, client);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, artno);
    QFETCH(bool, bills);
    QFETCH(QStringList, rows);
    QFETCH(QString, caption);
    QFETCH(QString, totals);

    const auto typeInto = [this](const QString &combo, const QString &text) {
        // Keys go where the window's focus is, as a user's do.
        child<QComboBox>(combo)->setFocus();
        QWidget *edit = QApplication::focusWidget();
        if (QByteArray(QTest::currentDataTag()).startsWith("pasted")) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else {
            typeText(edit, text);
        }
        QCOMPARE(child<QComboBox>(combo)->currentText(), text);
    };
    typeInto(QStringLiteral("cboClient"), client);
    if (!from.isEmpty())
        typeDate(child<DTPicker>(QStringLiteral("dtpDate1")), from);
    if (!to.isEmpty())
        typeDate(child<DTPicker>(QStringLiteral("dtpDate2")), to);
    child<QComboBox>(QStringLiteral("cboServ"))->setCurrentIndex(field);
    typeInto(QStringLiteral("cboValue"), value);
    typeInto(QStringLiteral("cboArtno"), artno);
    click(bills ? QStringLiteral("cmdFind") : QStringLiteral("cmdFindsub"));

    OVGrid *grd = child<OVGrid>(QStringLiteral("grd"));
    OVGrid *grd1 = child<OVGrid>(QStringLiteral("grd1"));
    QCOMPARE(grd->isVisible(), bills);
    QCOMPARE(grd1->isVisible(), !bills);
    QCOMPARE(rowsOf(bills ? grd : grd1, bills ? QList<int>{1} : QList<int>{1, 4}), rows);
    QCOMPARE(m_form->windowTitle(), caption);
    QCOMPARE(QStringList({text(QStringLiteral("lblTitle1")), text(QStringLiteral("lblTitle3")),
                          text(QStringLiteral("lblTitle2"))})
                 .join(QLatin1Char('|')),
             totals);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
}

void TestQuery::typedQuotesAndEnterAreSwallowed()
{
    auto *client = child<QComboBox>(QStringLiteral("cboClient"));
    client->setFocus();
    typeText(client, QStringLiteral("'甲[\"]"));
    QTest::keyClick(client, Qt::Key_Return);
    QCOMPARE(client->currentText(), QStringLiteral("甲"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Tovik")); // Enter ran nothing
    click(QStringLiteral("cmdFind"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("查询 - 2"));
}

QJsonArray TestQuery::readBack(const QString &path) const
{
    const QString script = QStringLiteral(R"(
import json, sys
from openpyxl import load_workbook
wb = load_workbook(sys.argv[1])
ws = wb.active
rows = [[c.value for c in row] for row in ws.iter_rows()]
print(json.dumps([wb.sheetnames, rows], ensure_ascii=False))
)");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QJsonArray();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

void TestQuery::exportTakesTheShownGrid()
{
    // Each export is of the grid the last query filled.
    struct Case { const char *button; QJsonArray header; QJsonArray first; };
    const QList<Case> cases{
        {"cmdFind", {"ID", "日期", "客户", "匹", "KG", "金额", "备注"}, {1, "24-03-01", "甲", 3, 70.5, 615, "首单"}},
        {"cmdFindsub", {"ID", "日期", "客户", "编号", "品名", "色号", "匹", "KG", "单价", "金额"},
         {1, "24-03-01", "甲", "A1", "棉布", "红", 2, 50.5, 10, 505}},
    };
    for (const Case &c : cases) {
        click(QString::fromLatin1(c.button));
        m_opened.clear();
        click(QStringLiteral("cmdExcel"));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
        QCOMPARE(m_opened.size(), 1);
        const QJsonArray book = readBack(m_opened.first());
        QVERIFY2(!book.isEmpty(), "Debian's python3-openpyxl is needed to read the export back");
        QCOMPARE(book.at(0).toArray(), QJsonArray{QStringLiteral("查询")});
        const QJsonArray rows = book.at(1).toArray();
        QCOMPARE(rows.size(), c.button == QLatin1String("cmdFind") ? 4 : 5);
        QCOMPARE(rows.at(0).toArray(), c.header);
        QCOMPARE(rows.at(1).toArray(), c.first);
    }
}

void TestQuery::doubleClickRow(OVGrid *grid, int row)
{
    auto *view = grid->findChild<QTableView *>();
    QVERIFY(view);
    const QPoint at = view->visualRect(view->model()->index(row - 1, 2)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

void TestQuery::doubleClickOpensTheBillAndComesBack()
{
    child<QComboBox>(QStringLiteral("cboClient"))->setEditText(QStringLiteral("甲"));
    click(QStringLiteral("cmdFindsub"));
    OVGrid *grd1 = child<OVGrid>(QStringLiteral("grd1"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("查询 - 2 / 3"));

    // Row 3 is the line of bill 3: the bill window opens there and the query
    // window steps aside.
    doubleClickRow(grd1, 3);
    auto *bill = qobject_cast<BillStandIn *>(FindForm(QStringLiteral("frmBill")));
    QVERIFY(bill);
    QVERIFY(bill->isVisible());
    QCOMPARE(bill->loaded, QList<int>{3});
    QVERIFY(m_form->isHidden());

    // Closing the bill brings the query back as it was.
    bill->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("查询 - 2 / 3"));
    QCOMPARE(grd1->Rows(), 4);
    QCOMPARE(child<QComboBox>(QStringLiteral("cboClient"))->currentText(), QStringLiteral("甲"));

    // Unsaved changes kept in the bill window: both windows stay as they are.
    bill = new BillStandIn;
    bill->setAttribute(Qt::WA_DeleteOnClose);
    bill->show();
    bill->nav()->Navigate(OVNavigationBar::ovNBQuery, 3);
    bill->keepChanges = true;
    m_form->activateWindow();
    doubleClickRow(grd1, 1);
    QCOMPARE(bill->loaded, QList<int>{3});
    QVERIFY(m_form->isVisible());
    bill->keepChanges = false;

    // A bill deleted since the query ran is only reported.
    ExecSql(QStringLiteral("delete from bill where id=1"));
    doubleClickRow(grd1, 2);
    QCOMPARE(m_messages, QStringList{QStringLiteral("TovikID：1 已删除！")});
    QCOMPARE(bill->loaded, QList<int>{3});
    QVERIFY(m_form->isVisible());
}

void TestQuery::cutResultSaysSo()
{
    if (TestDatabase::onServer())
        QSKIP("the demo-data generator writes an SQLite file");
    // One bill more than the grid keeps, one line each.
    delete m_form;
    CloseDatabase();
    QTemporaryDir dir;
    DemoDataSize size;
    size.bills = size.lines = 58001;
    size.clients = size.articles = 10;
    size.years = 1;
    MakeDemoData(dir.filePath(QStringLiteral("ovBill.db")), size);
    m_form = new frmQuery;
    m_form->show();

    click(QStringLiteral("cmdFind"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("查询 - 58000（已截断）"));
    click(QStringLiteral("cmdFindsub"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("查询 - 58000 / 58000（已截断）"));
    child<QComboBox>(QStringLiteral("cboClient"))->setEditText(QStringLiteral("没有的客户"));
    click(QStringLiteral("cmdFindsub"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("查询 - 0 / 0"));
}

QTEST_MAIN(TestQuery)
#include "tst_query.moc"
