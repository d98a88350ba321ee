// The grid under the control: packed rows, the table model, the view's
// current cell and its notifications, and the layout-string grammar.

#include "model/GridModel.h"
#include "model/GridRow.h"
#include "view/GridView.h"
#include "model/ListString.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

class tst_GridModel : public QObject
{
    Q_OBJECT
private slots:
    void packedRowCells();
    void rowsAndColumnsKeepData();
    void insertAndRemoveRows();
    void sortNumbersAsNumbers_data();
    void sortNumbersAsNumbers();
    void sortIsStableAndKeepsRowIds();
    void coloursAndAlternation();
    void headersShowTitleRowAndNumberColumn();
    void currentCellNotifications();
    void structuralChangesAreSilent();
    void selectionTextAndClip();
    void twipsRoundTrip();
    void listKeyedItems_data();
    void listKeyedItems();
    void listErrorsStopAfterEarlierItems();
};

void tst_GridModel::packedRowCells()
{
    GridRow row = GridRow::fromTabText(u"0\tab\t\tc", 10);
    QCOMPARE(row.cellCount(), 4);
    QCOMPARE(row.text(1), u"ab");
    QCOMPARE(row.text(2), u"");
    QCOMPARE(row.text(3), u"c");
    QCOMPARE(row.text(7), u""); // past the stored cells
    row.setText(1, u"longer text");
    row.setText(2, u"x");
    QCOMPARE(row.text(0), u"0");
    QCOMPARE(row.text(1), u"longer text");
    QCOMPARE(row.text(2), u"x");
    QCOMPARE(row.text(3), u"c");
    row.setText(6, u"far");
    QCOMPARE(row.text(5), u"");
    QCOMPARE(row.text(6), u"far");
    row.setText(1, u"");
    QCOMPARE(row.text(2), u"x");
    row.truncate(3);
    QCOMPARE(row.cellCount(), 3);
    QCOMPARE(row.text(3), u"");
    QCOMPARE(GridRow::fromTabText(u"a\tb\tc\td", 2).cellCount(), 2);

    GridRow copy = row.clone();
    copy.setText(0, u"changed");
    QCOMPARE(row.text(0), u"0");

    // A cell set from a cell of its own row, shorter and longer, after the
    // row lost cells.
    GridRow self = GridRow::fromTabText(u"ab\tcdef\tg\th", 4);
    self.truncate(3);
    self.setText(0, self.text(1));
    self.setText(2, self.text(0).first(2));
    self.setText(1, self.text(2));
    const auto texts = [](const GridRow &r) {
        QStringList t;
        for (int c = 0; c < r.cellCount(); ++c)
            t << r.text(c).toString();
        return t;
    };
    QCOMPARE(texts(self), (QStringList{u"cdef"_s, u"cd"_s, u"cd"_s}));
}

void tst_GridModel::rowsAndColumnsKeepData()
{
    GridModel model;
    model.setCols(4);
    model.setRows(3);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 3);
    model.setText(2, 3, u"kept");
    model.setText(1, 1, u"a");
    model.setCols(6);
    QCOMPARE(model.text(2, 3), QStringLiteral("kept"));
    model.setCols(3);
    model.setCols(6);
    QCOMPARE(model.text(2, 3), QString()); // dropped with its column
    QCOMPARE(model.text(1, 1), QStringLiteral("a"));
    model.setRows(2);
    model.setRows(3);
    QCOMPARE(model.text(2, 1), QString());
    model.setRows(0);
    QCOMPARE(model.rows(), 1); // the title row stays
    model.setText(5, 1, u"outside"); // ignored
    QCOMPARE(model.text(5, 1), QString());
}

void tst_GridModel::insertAndRemoveRows()
{
    GridModel model;
    model.setCols(3);
    model.insertRow(1, u"1\ta");
    model.insertRow(2, u"2\tc");
    model.insertRow(2, u"x\tb");
    QCOMPARE(model.rows(), 4);
    QCOMPARE(model.text(1, 1), QStringLiteral("a"));
    QCOMPARE(model.text(2, 1), QStringLiteral("b"));
    QCOMPARE(model.text(3, 1), QStringLiteral("c"));
    model.setRowData(3, 42);
    model.removeRowAt(2);
    QCOMPARE(model.text(2, 1), QStringLiteral("c"));
    QCOMPARE(model.rowData(2), 42);
    model.removeRowAt(0); // the title row cannot go
    QCOMPARE(model.rows(), 3);
    model.numberRows(1);
    QCOMPARE(model.text(2, 0), QStringLiteral("2"));
    model.setText(2, 0, u"*");
    model.numberRows(1);
    QCOMPARE(model.text(2, 0), QStringLiteral("*"));
}

void tst_GridModel::sortNumbersAsNumbers_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("numbers") << QStringList{"10", "9", "100", "-1", "9.5"} << true
                             << QStringList{"-1", "9", "9.5", "10", "100"};
    QTest::newRow("descending") << QStringList{"10", "9", "100"} << false << QStringList{"100", "10", "9"};
    QTest::newRow("text ignores case") << QStringList{"b", "A", "c"} << true << QStringList{"A", "b", "c"};
    QTest::newRow("dates as digits") << QStringList{"230105", "221231", "230101"} << true
                                     << QStringList{"221231", "230101", "230105"};
}

void tst_GridModel::sortNumbersAsNumbers()
{
    QFETCH(QStringList, values);
    QFETCH(bool, ascending);
    QFETCH(QStringList, expected);
    GridModel model;
    model.setCols(2);
    for (const QString &v : values)
        model.insertRow(model.rows(), QStringLiteral("\t") + v);
    model.sortRows(1, model.rows() - 1, 1, 1, ascending);
    QStringList sorted;
    for (int r = 1; r < model.rows(); ++r)
        sorted << model.text(r, 1);
    QCOMPARE(sorted, expected);
}

void tst_GridModel::sortIsStableAndKeepsRowIds()
{
    GridModel model;
    model.setCols(3);
    const QStringList rows{"\t2\tfirst", "\t1\tx", "\t2\tsecond", "\t1\ty"};
    for (int i = 0; i < rows.size(); ++i) {
        model.insertRow(model.rows(), rows.at(i));
        model.setRowData(model.rows() - 1, 100 + i);
    }
    model.setBackColor(1, 2, 255);
    model.sortRows(1, 4, 1, 1, true);
    QCOMPARE(model.text(1, 2), QStringLiteral("x"));
    QCOMPARE(model.text(2, 2), QStringLiteral("y"));
    QCOMPARE(model.text(3, 2), QStringLiteral("first"));
    QCOMPARE(model.text(4, 2), QStringLiteral("second"));
    QCOMPARE(model.rowData(3), 100);
    QCOMPARE(model.backColor(3, 2), 255u); // the style travels with its row
}

void tst_GridModel::coloursAndAlternation()
{
    GridModel model;
    model.setCols(3);
    model.setRows(4);
    auto background = [&](int row, int col) {
        return model.data(model.index(row - 1, col - 1), Qt::BackgroundRole);
    };
    QVERIFY(!background(2, 1).isValid());
    model.setAlternate(true);
    QVERIFY(!background(1, 1).isValid());
    QCOMPARE(background(2, 1).value<QBrush>().color(), QColor(0xE0, 0xE0, 0xE0));
    QVERIFY(!background(3, 2).isValid());
    model.setBackColor(3, 2, 0x0000FF); // blue-green-red: red
    QCOMPARE(background(3, 2).value<QBrush>().color(), QColor(Qt::red));
    model.clearBackColors(1, 2);
    QVERIFY(!background(3, 2).isValid());
    model.setMarkedRow(1, GridModel::RowMark::Red);
    QCOMPARE(model.data(model.index(0, 1), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QCOMPARE(model.headerData(0, Qt::Vertical, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    model.setMarkedRow(2, GridModel::RowMark::Bold);
    QVERIFY(!model.data(model.index(0, 1), Qt::ForegroundRole).isValid());
    QVERIFY(model.data(model.index(1, 1), Qt::FontRole).value<QFont>().bold());
    model.setBold(3, 1, true);
    QVERIFY(model.bold(3, 1));
}

void tst_GridModel::headersShowTitleRowAndNumberColumn()
{
    GridModel model;
    model.setCols(3);
    model.insertRow(1, u"1\tdata");
    model.setText(0, 2, u"Title");
    QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Title"));
    QCOMPARE(model.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("1"));
    QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("data"));
    model.setColAlignment(1, 9);
    const auto alignment = [&](const QString &text) {
        model.setText(1, 1, text);
        return model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    QVERIFY(alignment(QStringLiteral("12.5")) & Qt::AlignRight);
    QVERIFY(alignment(QStringLiteral("word")) & Qt::AlignLeft);
    model.setColAlignment(1, 4);
    QCOMPARE(alignment(QStringLiteral("word")), Qt::AlignHCenter | Qt::AlignVCenter);
}

void tst_GridModel::currentCellNotifications()
{
    GridView view;
    view.setCols(4);
    view.setRows(5);
    QCOMPARE(view.row(), 1);
    QCOMPARE(view.col(), 1);
    QStringList log;
    connect(&view, &GridView::leaveCell, this, [&] { log << QStringLiteral("leave %1,%2").arg(view.row()).arg(view.col()); });
    connect(&view, &GridView::rowColChange, this, [&] { log << QStringLiteral("change %1,%2").arg(view.row()).arg(view.col()); });
    connect(&view, &GridView::enterCell, this, [&] { log << QStringLiteral("enter %1,%2").arg(view.row()).arg(view.col()); });
    view.setRow(3);
    QCOMPARE(log, (QStringList{"leave 1,1", "change 3,1", "enter 3,1"}));
    log.clear();
    view.setRow(3); // no move, no notification
    QVERIFY(log.isEmpty());
    // A move through the table itself (a click or an arrow key) reports the same.
    view.setCurrentIndex(view.model()->index(0, 2));
    QCOMPARE(log, (QStringList{"leave 3,1", "change 1,3", "enter 1,3"}));
    QCOMPARE(view.currentIndex(), view.model()->index(0, 2));
}

void tst_GridModel::structuralChangesAreSilent()
{
    GridView view;
    view.setCols(3);
    view.setRows(1);
    QCOMPARE(view.row(), 0); // no data row
    QSignalSpy changes(&view, &GridView::rowColChange);
    view.addItem(QStringLiteral("1\ta"));
    QCOMPARE(view.row(), 1); // the first data row becomes current
    view.addItem(QStringLiteral("2\tb"));
    view.addItem(QStringLiteral("3\tc"));
    view.setRow(3);
    changes.clear();
    view.addItem(QStringLiteral("x\tnew"), 1);
    QCOMPARE(view.row(), 3); // same index, now another data row
    QCOMPARE(view.textMatrix(3, 1), QStringLiteral("b"));
    QVERIFY(view.removeItem(4));
    QCOMPARE(view.row(), 3); // the last row went: the index is clamped
    QVERIFY(!view.removeItem(0));
    view.setRows(2);
    QVERIFY(!view.removeItem(1)); // never the only data row
    view.setRows(1);
    QCOMPARE(view.row(), 0);
    QCOMPARE(changes.count(), 0);
}

void tst_GridModel::selectionTextAndClip()
{
    GridView view;
    view.setCols(4);
    view.setRows(4);
    view.setRow(1);
    view.setCol(1);
    view.setRowSel(2);
    view.setColSel(3);
    view.setClip(QStringLiteral("a\tb\tc\td\r\ne\tf\r\ng\th"));
    QCOMPARE(view.clip(), QStringLiteral("a\tb\tc\r\ne\tf\t"));
    QCOMPARE(view.textMatrix(3, 1), QString()); // outside the selection
    view.setFillStyle(1);
    view.setCellBackColor(0xE0E0E0);
    QCOMPARE(view.gridModel()->backColor(2, 3), 0xE0E0E0u);
    QCOMPARE(view.gridModel()->backColor(3, 3), 0u);
    view.setRow(2); // collapses the selection
    QCOMPARE(view.rowSel(), 2);
    QCOMPARE(view.colSel(), 1);
}

void tst_GridModel::twipsRoundTrip()
{
    GridView view;
    view.setCols(4);
    view.setRows(3);
    view.setColWidth(1, 0);
    view.setColWidth(2, 1600);
    view.setColWidth(0, 700);
    QCOMPARE(view.colWidth(1), 0);
    QCOMPARE(view.colWidth(2), 1600);
    QVERIFY(view.isColumnHidden(0));
    QCOMPARE(view.columnWidth(1), view.toPixelsX(1600));
    view.setRowHeightMin(600);
    QVERIFY(view.rowHeightTwips(1) >= 600 - 15);
    view.setRowHeightTwips(2, 900);
    QCOMPARE(view.rowHeightTwips(2), view.toTwipsY(view.toPixelsY(900)));
}

void tst_GridModel::listKeyedItems_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("keyed and bare") << "2;txt|5|3;cbo|4" << QStringList{"c0", "", "txt", "cbo", "cbo", "txt"};
    QTest::newRow("leading bare copies column 0") << "3|1;x" << QStringList{"c0", "x", "", "c0", "", ""};
    QTest::newRow("third part ignored") << "1;a;b|2" << QStringList{"c0", "a", "a", "", "", ""};
    QTest::newRow("empty value changes nothing") << "" << QStringList{"c0", "", "", "", "", ""};
}

void tst_GridModel::listKeyedItems()
{
    QFETCH(QString, value);
    QFETCH(QStringList, expected);
    QStringList columns{"c0", "", "", "", "", ""};
    const auto result = ListString::applyKeyed(
        value, int(columns.size()), [&](int col) { return columns.at(col); },
        [&](int col, const QString &v) {
            columns[col] = v;
            return ListString::Error::None;
        });
    QVERIFY(result.ok());
    QCOMPARE(columns, expected);
}

void tst_GridModel::listErrorsStopAfterEarlierItems()
{
    QStringList columns(4);
    auto assign = [&](int col, const QString &v) {
        columns[col] = v;
        return ListString::Error::None;
    };
    auto current = [&](int col) { return columns.at(col); };
    auto result = ListString::applyKeyed(QStringLiteral("1;a|x;b|2;c"), 4, current, assign);
    QCOMPARE(result.error, ListString::Error::NotANumber);
    QCOMPARE(result.item, 1);
    QCOMPARE(columns, (QStringList{"", "a", "", ""}));
    result = ListString::applyKeyed(QStringLiteral("2;b|9;z|3;c"), 4, current, assign);
    QCOMPARE(result.error, ListString::Error::OutOfRange);
    QCOMPARE(columns, (QStringList{"", "a", "b", ""}));
    QVERIFY(!result.message().isEmpty());

    QList<int> widths;
    result = ListString::applyPositionalNumbers(QStringLiteral("700|0|wide|5"), 4,
                                                [&](int, int w) { widths << w; });
    QCOMPARE(result.error, ListString::Error::NotANumber);
    QCOMPARE(widths, (QList<int>{700, 0}));
    QStringList titles;
    result = ListString::applyPositional(QStringLiteral("#|a|b"), 2, [&](int, const QString &t) { titles << t; });
    QCOMPARE(result.error, ListString::Error::OutOfRange);
    QCOMPARE(titles, (QStringList{"#", "a"}));
    QList<int> flags;
    result = ListString::applyFlags(QStringLiteral("2|3|-1"), 4, [&](int c) { flags << c; });
    QCOMPARE(result.error, ListString::Error::OutOfRange);
    QCOMPARE(flags, (QList<int>{2, 3}));
    QVERIFY(ListString::applyFlags(QStringLiteral(" 2 | 3 "), 4, [](int) {}).ok());
}

QTEST_MAIN(tst_GridModel)
#include "tst_gridmodel.moc"
