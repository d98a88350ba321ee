// OVGrid's row operations, aggregates, cell access and record-set loading,
// with the bookkeeping and events each performs.

#include "GridEventLog.h"
#include "OVGrid.h"
#include "RecordList.h"

#include <QComboBox>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

namespace {

// As many one-field records as asked, numbered from 1; it notes the panel's
// text each time it changes while the grid reads.
class CountingSource : public OVRecordSource
{
public:
    CountingSource(int fields, int count, const QLabel *panel)
        : m_fields(fields), m_count(count), m_panel(panel) {}
    int fieldCount() const override { return m_fields; }
    QVariant value(int) const override { return m_pos; }
    bool atEnd() const override { return m_pos > m_count; }
    void moveNext() override
    {
        if (m_panel->text() != m_lastText) {
            m_lastText = m_panel->text();
            changes << qMakePair(m_pos, m_lastText);
        }
        ++m_pos;
    }
    QList<QPair<int, QString>> changes;
    // The record the source stands on.
    int position() const { return m_pos; }

private:
    int m_fields;
    int m_count;
    const QLabel *m_panel;
    int m_pos = 1;
    QString m_lastText;
};

QLabel *panel(OVGrid &grid)
{
    return grid.findChild<QLabel *>(QStringLiteral("ovgrid_msg"));
}

QStringList column(OVGrid &grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid.Rows(); ++r)
        texts << grid.TextMatrix(r, col);
    return texts;
}

QColor cellBackground(OVGrid &grid, int row, int col)
{
    QTableView *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
    return view->model()->data(view->model()->index(row - 1, col - 1), Qt::BackgroundRole).value<QBrush>().color();
}

} // namespace

class tst_OVGridRows : public QObject
{
    Q_OBJECT
private slots:
    void addItemAppendsAndNumbers();
    void addItemInsertKeepsTheCurrentDataRow();
    void addItemAppliesDefaultsAndFormats();
    void addItemSetRow();
    void removeItemBookkeeping();
    void removeRowOneDoesNoBookkeeping();
    void copyRow();
    void autoLastRowKeepsAnEntryRow();
    void rowVisibleAndUpdateRowNo();
    void addCboList();
    void aggregates();
    void aggregateRanges();
    void cellText();
    void cellStylesAndRowIds();
    void bindRstLeadAndFormats();
    void bindRstPickListIds();
    void bindRstFromQuery();
    void bindRstTextsAreTheQueryValues();
    void bindRstDecodesEachCellOnItsOwn();
    void bindRstProgressSteps_data();
    void bindRstProgressSteps();
    void bindRstCapsAndKeepsOverloadVisible();
    void bindRstEvents();
    void bindRstReadsALongQueryInTwoParts();
};

void tst_OVGridRows::addItemAppendsAndNumbers()
{
    OVGrid grid;
    grid.setCols(4);
    GridEventLog log(&grid);
    grid.AddItem(QStringLiteral("\ta\tb\tc\textra"));
    // The first data row becomes current, announced with the new size.
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(2,4,1,1)"});
    grid.AddItem(QStringLiteral("\td"));
    grid.AddItem(QStringLiteral("*"));
    QVERIFY(log.take().isEmpty());
    QCOMPARE(grid.Rows(), 4);
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "*"}));
    QCOMPARE(column(grid, 3), (QStringList{"c", "", ""}));
    // An item outside the grid does nothing.
    grid.AddItem(QStringLiteral("\tx"), 4);
    grid.AddItem(QStringLiteral("\tx"), -1);
    QCOMPARE(grid.Rows(), 4);
}

void tst_OVGridRows::addItemInsertKeepsTheCurrentDataRow()
{
    OVGrid grid;
    grid.setCols(3);
    for (const char *t : {"\ta", "\tb", "\tc", "*"})
        grid.AddItem(QString::fromLatin1(t));
    grid.setRow(2);
    GridEventLog log(&grid);
    grid.AddItem(QStringLiteral("\tnew"), 2);
    QVERIFY(log.take().isEmpty()); // an internal move: no event
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.TextMatrix(3, 1), QStringLiteral("b"));
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "3", "4", "*"}));
    // Inserting below the current row leaves it alone.
    grid.AddItem(QStringLiteral("\tlater"), 5);
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.TextMatrix(6, 0), QStringLiteral("*"));
}

void tst_OVGridRows::addItemAppliesDefaultsAndFormats()
{
    OVGrid grid;
    grid.setCols(5);
    QVERIFY(grid.setListDefault(QStringLiteral("2;0|4;pcs")));
    QVERIFY(grid.setListFormat(QStringLiteral("2;z|3;0.00")));
    grid.AddItem(QStringLiteral("\tx\t\t2.5"));
    // The default comes first, then the format (z blanks the default 0).
    QCOMPARE(grid.TextMatrix(1, 2), QString());
    QCOMPARE(grid.TextMatrix(1, 3), QStringLiteral("2.50"));
    QCOMPARE(grid.TextMatrix(1, 4), QStringLiteral("pcs"));
    // The entry row gets neither defaults nor formats.
    grid.AddItem(QStringLiteral("*\t\t\t7"));
    QCOMPARE(grid.TextMatrix(2, 3), QStringLiteral("7"));
    QCOMPARE(grid.TextMatrix(2, 4), QString());
}

void tst_OVGridRows::addItemSetRow()
{
    OVGrid grid;
    grid.setCols(3);
    grid.AddItem(QStringLiteral("\ta"));
    grid.AddItem(QStringLiteral("\tb"));
    GridEventLog log(&grid);
    grid.AddItem(QStringLiteral("\tc"), 0, true);
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(1,1,3,1)"});
}

void tst_OVGridRows::removeItemBookkeeping()
{
    OVGrid grid;
    grid.setCols(3);
    for (const char *t : {"\ta", "\tb", "\tc", "\td", "*"})
        grid.AddItem(QString::fromLatin1(t));
    grid.setRow(3);
    GridEventLog log(&grid);
    // A row above the current one: the same data row stays current.
    grid.RemoveItem(1);
    QVERIFY(log.take().isEmpty());
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.Text(), QStringLiteral("c"));
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "3", "*"}));
    // The current row itself: announced.
    grid.RemoveItem();
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(4,3,2,1)"});
    QCOMPARE(grid.Text(), QStringLiteral("d"));
    // Rows outside the grid and the title row are left alone.
    grid.RemoveItem(9);
    grid.RemoveItem(-1);
    QCOMPARE(grid.Rows(), 4);
    // Down to the last data row, then none.
    grid.RemoveItem(3);
    grid.RemoveItem(2);
    log.take();
    grid.RemoveItem(1);
    QCOMPARE(grid.Rows(), 1);
    QCOMPARE(grid.Row(), 0);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(1,3,0,1)"});
    grid.RemoveItem(); // nothing current: nothing happens
    QCOMPARE(grid.Rows(), 1);
}

void tst_OVGridRows::removeRowOneDoesNoBookkeeping()
{
    OVGrid grid;
    grid.setCols(2);
    for (const char *t : {"\ta", "\tb", "\tc"})
        grid.AddItem(QString::fromLatin1(t));
    GridEventLog log(&grid);
    grid.RemoveRowOne();
    QCOMPARE(column(grid, 0), (QStringList{"2", "3"}));
    QCOMPARE(column(grid, 1), (QStringList{"b", "c"}));
    grid.RemoveRowOne(7);
    grid.RemoveRowOne(2);
    grid.RemoveRowOne(1);
    QCOMPARE(grid.Rows(), 1);
    QVERIFY(log.take().isEmpty());
}

void tst_OVGridRows::copyRow()
{
    OVGrid grid;
    grid.setCols(4);
    QVERIFY(grid.setListFormat(QStringLiteral("3;0.00")));
    grid.AddItem(QStringLiteral("\ta\tb\t1"));
    grid.AddItem(QStringLiteral("\tx\ty\tz"));
    grid.setListFormat(QStringLiteral("3;0.00"));
    grid.setCol(2);
    GridEventLog log(&grid);
    grid.CopyRow(1, 2, 2);
    QCOMPARE(column(grid, 1), (QStringList{"a", "x"}));
    QCOMPARE(column(grid, 2), (QStringList{"b", "b"}));
    QCOMPARE(column(grid, 3), (QStringList{"1.00", "1.00"}));
    grid.setTextMatrix(1, 1, QStringLiteral("A"));
    grid.CopyRow(1, 2);
    QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("A"));
    grid.CopyRow(1, 5);
    grid.CopyRow(1, 2, 0, 9);
    // Columns given the wrong way round copy nothing and announce nothing.
    QSignalSpy changed(grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"))->model(),
                       &QAbstractItemModel::dataChanged);
    grid.CopyRow(2, 1, 3, 2);
    QCOMPARE(column(grid, 2), (QStringList{"b", "b"}));
    QCOMPARE(changed.count(), 0);
    QVERIFY(log.take().isEmpty());
    QCOMPARE(grid.Row(), 1);
    QCOMPARE(grid.Col(), 2);
}

void tst_OVGridRows::autoLastRowKeepsAnEntryRow()
{
    OVGrid grid;
    grid.setCols(4);
    QVERIFY(grid.setListDefault(QStringLiteral("3;0")));
    QVERIFY(grid.setListFormat(QStringLiteral("2;0.00")));
    grid.AddItem(QStringLiteral("\tfirst\t1"));
    grid.AddItem(QStringLiteral("*"));
    grid.AutoLastRow(); // the current row is not the last one
    QCOMPARE(grid.Rows(), 3);
    grid.setRow(2);
    grid.setTextMatrix(2, 1, QStringLiteral("typed"));
    grid.setTextMatrix(2, 2, QStringLiteral("4"));
    grid.AutoLastRow();
    QCOMPARE(grid.Rows(), 4);
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "*"}));
    QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("4.00"));
    QCOMPARE(grid.TextMatrix(2, 3), QStringLiteral("0"));
    QCOMPARE(grid.TextMatrix(3, 3), QString());
    // The new last row is row 3, odd: plain; a row 4 would be grey.
    QCOMPARE(cellBackground(grid, 2, 1), QColor(0xE0, 0xE0, 0xE0));

    OVGrid plain;
    plain.setCols(3);
    plain.setAllowRowNo(false);
    plain.AddItem(QStringLiteral("\tx"));
    plain.AutoLastRow();
    QCOMPARE(plain.Rows(), 3);
    QCOMPARE(plain.TextMatrix(2, 0), QString());
    QCOMPARE(plain.TextMatrix(1, 0), QString());
}

void tst_OVGridRows::rowVisibleAndUpdateRowNo()
{
    OVGrid grid;
    grid.setCols(3);
    grid.setRows(200);
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    GridEventLog log(&grid);
    grid.RowVisible();
    QCOMPARE(grid.Row(), 199);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(1,1,199,1)"});
    QTableView *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
    QVERIFY(view->rowAt(view->viewport()->height() - 2) >= 190);
    grid.RowVisible(500);
    QCOMPARE(grid.Row(), 199);

    grid.setTextMatrix(5, 0, QStringLiteral("x"));
    grid.setTextMatrix(6, 0, QStringLiteral("*"));
    grid.UpdateRowNo(5);
    QCOMPARE(grid.TextMatrix(5, 0), QStringLiteral("5"));
    QCOMPARE(grid.TextMatrix(6, 0), QStringLiteral("*"));
    grid.UpdateRowNo(0);
    QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("0"));
}

void tst_OVGridRows::addCboList()
{
    OVGrid grid;
    grid.setCols(3);
    grid.AddCboList(2, QStringLiteral("  红  "));
    grid.AddCboList(2, QStringLiteral("红"));
    grid.AddCboList(2, QStringLiteral("Red"));
    grid.AddCboList(2, QStringLiteral("red"));
    grid.AddCboList(2, QStringLiteral("   "));
    grid.AddCboList(7, QStringLiteral("x"));
    auto *combo = grid.findChild<QComboBox *>(QStringLiteral("cbo2"));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QStringLiteral("红"));
}

void tst_OVGridRows::aggregates()
{
    OVGrid grid;
    grid.setCols(10);
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 0, 2).toString(), QStringLiteral("0"));
    grid.AddItem(QStringLiteral("\t\t10\t\t\t\t\t\t12.5\t3.45"));
    grid.AddItem(QStringLiteral("\t\tword\t\t\t\t\t\t0.333\t3"));
    grid.AddItem(QStringLiteral("\t\t20\t\t\t\t\t\t2kg\t1.5"));
    grid.AddItem(QStringLiteral("*"));
    grid.setCol(2);
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum).toString(), QStringLiteral("30"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTCount).toString(), QStringLiteral("3"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTAverage).toString(), QStringLiteral("10"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTMax).toString(), QStringLiteral("20"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTMin, 0, 2).toString(), QStringLiteral("10"));
    // Weight times price over all data rows: 43.125 + 0.999 + 3.
    QCOMPARE(grid.Aggregate(OVGrid::ovSTColXSum, 1, 8, 0, 9).toString(), QStringLiteral("47.124"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 0, 9).toDouble(), 7.95);

    // What reads as a number here is what the program's checks accept:
    // full-width digits count, a size of 1e15 or more does not.
    grid.setTextMatrix(2, 2, QStringLiteral("１２．５"));
    grid.setTextMatrix(3, 2, QStringLiteral("1e15"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 0, 2).toString(), QStringLiteral("22.5"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTMax, 0, 2).toString(), QStringLiteral("12.5"));
    grid.setTextMatrix(1, 8, QStringLiteral("２"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTColXSum, 1, 8, 1, 9).toString(), QStringLiteral("6.9"));
}

void tst_OVGridRows::aggregateRanges()
{
    OVGrid grid;
    grid.setCols(4);
    for (const char *t : {"\t1\t2\t3", "\t4\t5\t6", "\t7\t8\t9"})
        grid.AddItem(QString::fromLatin1(t));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 1, 1, 2, 3).toString(), QStringLiteral("21"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 2, 2, 3, 2).toString(), QStringLiteral("13"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 1, 1, 9, 1).toString(), QStringLiteral("0"));
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 1, 5).toString(), QStringLiteral("0"));
    QCOMPARE(grid.Aggregate(OVGrid::SubTotalSettings(9), 1, 1).toString(), QStringLiteral("0"));
}

void tst_OVGridRows::cellText()
{
    OVGrid grid;
    grid.setCols(5);
    QVERIFY(grid.setListTitle(QStringLiteral("#|编号|id|品名|金额")));
    QVERIFY(grid.setListWidth(QStringLiteral("700|900|0|900|900")));
    grid.AddItem(QStringLiteral("\tA1\t7\t红\t12.5"));
    grid.AddItem(QStringLiteral("\tA2\t8\t蓝\t3"));
    grid.AddItem(QStringLiteral("*\tleft out"));
    QCOMPARE(grid.Cell(OVGrid::ovCPText).toString(),
             QStringLiteral("编号\t品名\t金额\r\nA1\t红\t12.5\r\nA2\t蓝\t3"));
    // A range as clipboard text, and written back raw.
    QCOMPARE(grid.Cell(OVGrid::ovCPClip, 1, 1, 2, 2).toString(), QStringLiteral("A1\t7\r\nA2\t8"));
    grid.setCell(OVGrid::ovCPClip, 1, 3, 2, 4, QStringLiteral("x\t1\r\ny\t2\tbeyond\r\nbelow"));
    QCOMPARE(column(grid, 3), (QStringList{"x", "y", ""}));
    QCOMPARE(column(grid, 4), (QStringList{"1", "2", ""}));
    QVERIFY(!grid.Cell(OVGrid::ovCPClip, 9, 1).isValid());
    QVERIFY(!grid.Cell(OVGrid::ovCPText, 1, 9).isValid());
}

void tst_OVGridRows::cellStylesAndRowIds()
{
    OVGrid grid;
    grid.setCols(4);
    QVERIFY(grid.setListTag(QStringLiteral("2;cbodata")));
    QVERIFY(grid.setListCombo(2, QStringLiteral("7;张三|9;李四")));
    grid.AddItem(QStringLiteral("\ta"));
    grid.AddItem(QStringLiteral("\tb"));
    grid.setCell(OVGrid::ovCPValue, 2, 0, QVariant(9));
    QCOMPARE(grid.Cell(OVGrid::ovCPValue, 2).toInt(), 9);
    QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("李四"));
    grid.setCell(OVGrid::ovCPValue, 2, 0, QVariant(5));
    QCOMPARE(grid.TextMatrix(2, 2), QString());
    QCOMPARE(grid.Cell(OVGrid::ovCPValue, 1).toInt(), 0);

    grid.setCell(OVGrid::ovCPBackColor, 1, 1, 2, 3, QVariant(255));
    QCOMPARE(cellBackground(grid, 2, 3), QColor(Qt::red));
    grid.setCell(OVGrid::ovcpforecolor, 1, 1, QVariant(0xFF0000)); // blue
    QCOMPARE(grid.Cell(OVGrid::ovcpforecolor, 1, 1).toInt(), 0xFF0000);
    QCOMPARE(grid.Cell(OVGrid::ovcpforecolor, 2, 1).toInt(), 0);
    QVERIFY(!grid.Cell(OVGrid::ovCPBackColor, 1, 1).isValid());
    grid.setCell(OVGrid::ovCPFontBold, 1, 1, 1, 3, true);
    QTableView *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
    QVERIFY(view->model()->data(view->model()->index(0, 2), Qt::FontRole).value<QFont>().bold());
    // The range setters leave the current cell where it was, silently.
    GridEventLog log(&grid);
    grid.setCell(OVGrid::ovCPBackColor, 2, 2, QVariant(0));
    QVERIFY(log.take().isEmpty());
    QCOMPARE(grid.Row(), 1);
    QVERIFY(grid.Redraw());
    // A repaint of alternate colours takes the custom colours off again.
    grid.AddItem(QStringLiteral("\tc"), 1);
    QCOMPARE(cellBackground(grid, 2, 3), QColor(0xE0, 0xE0, 0xE0));
}

void tst_OVGridRows::bindRstLeadAndFormats()
{
    OVGrid grid;
    grid.setCols(20);
    QVERIFY(grid.setListFormat(QStringLiteral("5;0.00|6;yy-mm-dd")));
    QList<QVariantList> records;
    for (int i = 0; i < 3; ++i) {
        QVariantList r;
        for (int f = 0; f < 18; ++f)
            r << QStringLiteral("f%1").arg(f);
        r[3] = 2.5 * i;
        r[4] = QStringLiteral("2023-01-0%1").arg(i + 1);
        // A Null of a number column: a null double would read "0".
        r[5] = QVariant(QMetaType::fromType<double>());
        records << r;
    }
    RecordList source(18, records);
    grid.BindRst(source);
    QCOMPARE(grid.Rows(), 4);
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "3"}));
    QCOMPARE(column(grid, 1), (QStringList{"", "", ""}));
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("f0"));
    QCOMPARE(grid.TextMatrix(1, 19), QStringLiteral("f17"));
    QCOMPARE(column(grid, 5), (QStringList{"0.00", "2.50", "5.00"}));
    QCOMPARE(column(grid, 6), (QStringList{"23-01-01", "23-01-02", "23-01-03"}));
    QCOMPARE(column(grid, 7), (QStringList{"", "", ""}));
    QCOMPARE(panel(grid)->text(), QStringLiteral("\n  加载 3 行"));
    QVERIFY(panel(grid)->isHidden());

    // A second load appends, numbering on.
    RecordList more(18, records.mid(0, 1));
    grid.BindRst(more);
    QCOMPARE(grid.TextMatrix(4, 0), QStringLiteral("4"));

    // More fields than data columns: nothing at all.
    RecordList wide(20, records);
    grid.BindRst(wide);
    QCOMPARE(grid.Rows(), 5);
}

void tst_OVGridRows::bindRstPickListIds()
{
    OVGrid grid;
    grid.setCols(4);
    QVERIFY(grid.setListTag(QStringLiteral("2;cbodata")));
    QVERIFY(grid.setListCombo(2, QStringLiteral("7;张三|9;李四|7;重复")));
    RecordList source(3, {{QStringLiteral("a"), 9, 1}, {QStringLiteral("b"), 7, 2}, {QStringLiteral("c"), 3, 3},
                          {QStringLiteral("d"), QVariant(), 4}});
    grid.BindRst(source);
    QCOMPARE(column(grid, 2), (QStringList{"李四", "张三", "", ""}));
    QCOMPARE(grid.Cell(OVGrid::ovCPValue, 1).toInt(), 9);
    QCOMPARE(grid.Cell(OVGrid::ovCPValue, 2).toInt(), 7);
    QCOMPARE(grid.Cell(OVGrid::ovCPValue, 3).toInt(), 3);
    QCOMPARE(grid.Cell(OVGrid::ovCPValue, 4).toInt(), 0);
}

void tst_OVGridRows::bindRstFromQuery()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bind"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery setup(db);
        QVERIFY(setup.exec(QStringLiteral("create table t(id integer, name text, price real)")));
        QVERIFY(setup.exec(QStringLiteral("insert into t values (1, 'a', 2.5), (2, null, 3), (3, 'c', 0.1)")));

        OVGrid grid;
        grid.setCols(4);
        QVERIFY(grid.setListFormat(QStringLiteral("3;0.00")));
        QSqlQuery query(db);
        query.setForwardOnly(true);
        QVERIFY(query.exec(QStringLiteral("select id, name, price from t order by id")));
        QVERIFY(QMetaObject::invokeMethod(&grid, "BindRst", Q_ARG(QSqlQuery &, query)));
        QCOMPARE(column(grid, 1), (QStringList{"1", "2", "3"}));
        QCOMPARE(column(grid, 2), (QStringList{"a", "", "c"}));
        QCOMPARE(column(grid, 3), (QStringList{"2.50", "3.00", "0.10"}));
        // A query the host already stepped onto its first record starts there.
        QVERIFY(query.exec(QStringLiteral("select id, name, price from t where id > 1 order by id")));
        QVERIFY(query.next());
        grid.BindRst(query);
        QCOMPARE(grid.Rows(), 6);
        QCOMPARE(grid.TextMatrix(4, 1), QStringLiteral("2"));
        // A query read to its end hands out nothing more.
        QVERIFY(!query.next());
        // One with more fields than the grid has data columns is left as it was.
        QVERIFY(query.exec(QStringLiteral("select id, name, price, id, id from t order by id")));
        grid.BindRst(query);
        QCOMPARE(grid.Rows(), 6);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bind"));
}

void tst_OVGridRows::bindRstTextsAreTheQueryValues()
{
    // Whatever way the grid reads a query, each cell shows the value's text
    // as QVariant gives it: numbers of every size, Null, text, blobs.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("texts"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery setup(db);
        QVERIFY(setup.exec(QStringLiteral("create table t(a, b, c, d)")));
        QVERIFY(setup.prepare(QStringLiteral("insert into t values (?, ?, ?, ?)")));
        const QVariantList fixed{25.0, -0.0, 1e20, 1e-7, 0.1, 2.675, 123456789.0, -1.5e300,
                                 qint64(-9007199254740993LL), qint64(42), QString(), QStringLiteral("红色 A-1"),
                                 QByteArray("blob"), QVariant(QMetaType::fromType<double>()), 1e16, 1e15,
                                 0.00012345, 0.0012345, 12345678901234.5, 1e-4, 99999999999999.99};
        QRandomGenerator rng(11);
        QVariantList values = fixed;
        for (int i = 0; i < 4000; ++i) {
            quint64 bits = rng.generate64();
            double d;
            std::memcpy(&d, &bits, sizeof d);
            if (std::isfinite(d))
                values << d;
            values << rng.bounded(100000) / 100.0 << -rng.bounded(1000000) / 10000.0
                   << double(rng.bounded(100) * 10000) << rng.bounded(100) / 1000.0;
        }
        while (values.size() % 4 != 0)
            values << 1;
        for (int i = 0; i < values.size(); i += 4) {
            for (int j = 0; j < 4; ++j)
                setup.addBindValue(values.at(i + j));
            QVERIFY(setup.exec());
        }
        const QString select = QStringLiteral("select a, b, c, d from t order by rowid");
        QStringList expected;
        QSqlQuery reference(db);
        QVERIFY(reference.exec(select));
        while (reference.next()) {
            for (int j = 0; j < 4; ++j)
                expected << reference.value(j).toString();
        }

        auto load = [&](bool forwardOnly, const QString &formats = QString()) {
            OVGrid grid;
            grid.setCols(5);
            grid.setListFormat(formats);
            QSqlQuery query(db);
            query.setForwardOnly(forwardOnly);
            query.exec(select);
            grid.BindRst(query);
            QStringList cells;
            for (int r = 1; r < grid.Rows(); ++r)
                for (int c = 1; c < 5; ++c)
                    cells << grid.TextMatrix(r, c);
            return cells;
        };
        const QStringList direct = load(true);
        QCOMPARE(direct.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(direct.at(i), expected.at(i));
        QCOMPARE(load(false), expected);

        // Through number formats, values read straight from the statement
        // show what formatting their texts gives.
        for (const QString &formats : {QStringLiteral("1;0.00|2;z0.00|3;#,##0.0|4;000"),
                                       QStringLiteral("1;z0|2;0.0000|3;0|4;#,##0.000")}) {
            const QStringList fromValues = load(true, formats);
            const QStringList fromTexts = load(false, formats);
            QCOMPARE(fromValues.size(), fromTexts.size());
            for (int i = 0; i < fromTexts.size(); ++i)
                QCOMPARE(fromValues.at(i), fromTexts.at(i));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("texts"));
}

void tst_OVGridRows::bindRstDecodesEachCellOnItsOwn()
{
    // A cell ending in a cut-off sequence, or holding bytes from another
    // code page, must not spoil the next cell; the grid reads such bytes as
    // Qt does, whichever way it reads the query.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bytes"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery setup(db);
        QVERIFY(setup.exec(QStringLiteral("create table t(a, b, c)")));
        QVERIFY(setup.exec(QStringLiteral("insert into t values ('aaaaaaaa', null, null), "
                                          "(x'F09F98', 'bbbbbbb', x'80'), "
                                          "(x'BAEC', cast(x'BAEC' as text), '红色'), "
                                          "(cast(x'EFBBBF41' as text), cast(x'EFBFBE' as text), cast(x'C0AFE0809F' as text))")));
        // Random bytes, biased towards lead and continuation bytes, stored
        // both as blobs and as (unchecked) text.
        QVERIFY(setup.prepare(QStringLiteral("insert into t values (?, cast(? as text), ?)")));
        QRandomGenerator rng(20240611);
        auto randomBytes = [&rng] {
            QByteArray bytes;
            const int size = rng.bounded(12);
            for (int i = 0; i < size; ++i)
                bytes += char(rng.bounded(3) == 0 ? rng.bounded(0x20, 0x7F) : rng.bounded(0x80, 0x100));
            return bytes;
        };
        for (int i = 0; i < 2000; ++i) {
            setup.addBindValue(randomBytes());
            setup.addBindValue(randomBytes());
            setup.addBindValue(randomBytes());
            QVERIFY(setup.exec());
        }

        const QString select = QStringLiteral("select a, b, c from t order by rowid");
        QStringList expected;
        QSqlQuery reference(db);
        QVERIFY(reference.exec(select));
        while (reference.next()) {
            for (int j = 0; j < 3; ++j)
                expected << reference.value(j).toString();
        }
        auto load = [&](bool forwardOnly) {
            OVGrid grid;
            grid.setCols(4);
            QSqlQuery query(db);
            query.setForwardOnly(forwardOnly);
            query.exec(select);
            grid.BindRst(query);
            QStringList cells;
            for (int r = 1; r < grid.Rows(); ++r)
                for (int c = 1; c < 4; ++c)
                    cells << grid.TextMatrix(r, c);
            return cells;
        };
        const QStringList direct = load(true);
        QCOMPARE(direct.mid(3, 6), (QStringList{QString::fromUtf8("\xF0\x9F\x98"), QStringLiteral("bbbbbbb"),
                                                QString::fromUtf8("\x80"), QString::fromUtf8("\xBA\xEC"),
                                                expected.at(7), QStringLiteral("红色")}));
        QCOMPARE(direct.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(direct.at(i), expected.at(i));
        QCOMPARE(load(false), expected);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bytes"));
}

void tst_OVGridRows::bindRstProgressSteps_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("step");
    // Each band from its first to its last width.
    QTest::newRow("4 columns") << 4 << 2000;
    QTest::newRow("5 columns") << 5 << 2000;
    QTest::newRow("6 columns") << 6 << 1000;
    QTest::newRow("10 columns") << 10 << 1000;
    QTest::newRow("11 columns") << 11 << 500;
    QTest::newRow("15 columns") << 15 << 500;
    QTest::newRow("16 columns") << 16 << 250;
    QTest::newRow("20 columns") << 20 << 250;
    QTest::newRow("21 columns") << 21 << 125;
    QTest::newRow("25 columns") << 25 << 125;
}

void tst_OVGridRows::bindRstProgressSteps()
{
    QFETCH(int, cols);
    QFETCH(int, step);
    OVGrid grid;
    grid.setCols(cols);
    CountingSource source(1, 2 * step + 1, panel(grid));
    grid.BindRst(source);
    QCOMPARE(source.changes.size(), 2);
    QCOMPARE(source.changes.at(0).first, step);
    QCOMPARE(source.changes.at(0).second, QStringLiteral("\n  加载 %1").arg(step));
    QCOMPARE(source.changes.at(1).first, 2 * step);
    QCOMPARE(panel(grid)->text(), QStringLiteral("\n  加载 %1 行").arg(2 * step + 1));
    QVERIFY(panel(grid)->isHidden());
}

void tst_OVGridRows::bindRstCapsAndKeepsOverloadVisible()
{
    OVGrid grid;
    grid.setCols(3);
    grid.resize(400, 300);
    grid.show();
    CountingSource source(1, OVGrid::MaxRows + 5, panel(grid));
    grid.BindRst(source);
    QCOMPARE(grid.Rows(), OVGrid::MaxRows + 1);
    QCOMPARE(grid.TextMatrix(OVGrid::MaxRows, 2), QString::number(OVGrid::MaxRows));
    QCOMPARE(source.position(), OVGrid::MaxRows + 1); // the load stopped on the record past the cap
    // A cut result says so on screen.
    QCOMPARE(panel(grid)->text(), QStringLiteral("\n  记录过载"));
    QVERIFY(panel(grid)->isVisible());
    // The host can still hide it; a whole load hides it too.
    grid.Message(2);
    QVERIFY(panel(grid)->isHidden());
    grid.Message(0);
    // The full grid takes no more rows, one by one or loaded.
    grid.setRow(grid.Rows() - 1);
    grid.AddItem(QStringLiteral("\tx"));
    grid.AutoLastRow();
    QCOMPARE(grid.Rows(), OVGrid::MaxLoadedRows);
    grid.setRows(1);
    RecordList small(1, {{1}});
    grid.BindRst(small);
    QVERIFY(panel(grid)->isHidden());
    // A load onto rows added one by one stops where the grid is full.
    grid.setRows(OVGrid::MaxRows - 2);
    CountingSource more(1, 10, panel(grid));
    grid.BindRst(more);
    QCOMPARE(grid.Rows(), OVGrid::MaxLoadedRows);
    QCOMPARE(grid.TextMatrix(OVGrid::MaxRows, 2), QStringLiteral("3"));
    QCOMPARE(panel(grid)->text(), QStringLiteral("\n  记录过载"));
}

void tst_OVGridRows::bindRstEvents()
{
    OVGrid grid;
    grid.setCols(3);
    GridEventLog log(&grid);
    RecordList none(2, {});
    grid.BindRst(none);
    QVERIFY(log.take().isEmpty());
    RecordList two(2, {{1, 2}, {3, 4}});
    grid.BindRst(two);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(3,3,1,1)"});
    RecordList more(2, {{5, 6}});
    grid.BindRst(more);
    QVERIFY(log.take().isEmpty());
    QCOMPARE(grid.Aggregate(OVGrid::ovSTSum, 0, 2).toString(), QStringLiteral("12"));
}

void tst_OVGridRows::bindRstReadsALongQueryInTwoParts()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("long"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery setup(db);
        QVERIFY(setup.exec(QStringLiteral("create table t(id integer primary key, name text)")));
        QVERIFY(setup.exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                                          "where i < 3000) insert into t select i, 'n' || i from n")));
        QStringList ids, names;
        for (int i = 1; i <= 3000; ++i)
            ids << QString::number(i), names << QStringLiteral("n%1").arg(i);
        int shown = 0; // the rows the view has while the rest is pending
        const auto bind = [&](OVGrid &grid, const QString &sql = QStringLiteral("select id, name from t order by id")) {
            grid.setCols(3);
            grid.setRows(1);
            QSqlQuery query(db); // gone before the rest is read
            query.setForwardOnly(true);
            QVERIFY(query.exec(sql));
            grid.BindRst(query);
            grid.AddItem(QStringLiteral("*"));
            shown = grid.findChild<QTableView *>()->model()->rowCount();
            QVERIFY2(shown > 20 && shown < 3001, qPrintable(QString::number(shown)));
        };
        OVGrid grid;
        auto *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
        // The rest goes in before the entry row, numbered on.
        bind(grid);
        QVERIFY(!grid.LoadBrokenOff());
        QCOMPARE(grid.Rows(), 3002);
        QCOMPARE(column(grid, 1), ids + QStringList{""});
        QCOMPARE(column(grid, 2), names + QStringList{""});
        QCOMPARE(column(grid, 0), ids + QStringList{"*"});
        QCOMPARE(panel(grid)->text(), QStringLiteral("\n  加载 3000 行"));
        // The first paint, and a key, read the rest straight after.
        bind(grid);
        grid.resize(400, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        view->viewport()->repaint();
        QCOMPARE(view->model()->rowCount(), shown);
        QCoreApplication::processEvents();
        QCOMPARE(view->model()->rowCount(), 3001);
        bind(grid);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->model()->rowCount(), 3001);
        QCOMPARE(grid.Row(), 2);
        {
            OVGrid dropped; // destroyed with its load pending
            bind(dropped);
        }
        // Past the limit the load is cut and the entry row refused, as when
        // read at once.
        bind(grid, QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                                  "where i < 58001) select i, i from n"));
        QCOMPARE(grid.Rows(), OVGrid::MaxLoadedRows);
        QCOMPARE(grid.TextMatrix(58000, 0), QStringLiteral("58000"));
        QCOMPARE(panel(grid)->text(), QStringLiteral("\n  记录过载"));
        {
            // A host hearing AfterRowColChange is told the whole row count.
            OVGrid heard;
            heard.setCols(3);
            GridEventLog log(&heard);
            QSqlQuery query(db);
            query.setForwardOnly(true);
            QVERIFY(query.exec(QStringLiteral("select id, name from t order by id")));
            heard.BindRst(query);
            QCOMPARE(log.take(), QStringList{"AfterRowColChange(3001,3,1,1)"});
        }
        // A closed connection leaves the rows read and says so.
        bind(grid);
        db.close();
        QVERIFY(grid.LoadBrokenOff());
        QCOMPARE(grid.Rows(), shown + 1);
        QCOMPARE(grid.TextMatrix(shown, 0), QStringLiteral("*"));
        QCOMPARE(panel(grid)->text(), QStringLiteral("\n  读取中断，只加载了 %1 行").arg(shown - 1));
        QVERIFY(panel(grid)->isVisibleTo(&grid));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("long"));
}

QTEST_MAIN(tst_OVGridRows)
#include "tst_ovgrid_rows.moc"
