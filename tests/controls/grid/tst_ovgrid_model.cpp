// OVGrid's model: the interface by name, the column layout strings,
// formatting on write, and the size and position properties with their
// events.

#include "GridEventLog.h"
#include "OVGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMetaEnum>
#include <QTableView>
#include <QtTest>

namespace {

const QString BillWidths = QStringLiteral(
    "700|0|0|1600|2200|1600|900|900|900|900|900|900|900|900|900|900|1000|1000|1500|0");
const QString BillTitles = QStringLiteral("#||id|编号|品名|色号|1|2|3|4|5|6|7|8|9|10|KG|单价|金额|匹");
const QString BillTags = QStringLiteral("3;txt|6|7|8|9|10|11|12|13|14|15|17|4;cbo|5");
const QString BillFormats = QStringLiteral("6;z|7|8|9|10|11|12|13|14|15|17;0.00|18");
const QString BillAlignments = QStringLiteral("3;4|4|5");

QTableView *table(OVGrid &grid)
{
    return grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
}

// The alignment a data cell of the column is drawn with.
Qt::Alignment cellAlignment(OVGrid &grid, int col)
{
    QTableView *view = table(grid);
    return view->model()->data(view->model()->index(0, col - 1), Qt::TextAlignmentRole).value<Qt::Alignment>();
}

} // namespace

class tst_OVGridModel : public QObject
{
    Q_OBJECT
private slots:
    void interfaceByName();
    void billLineGrid();
    void listTagSideEffects();
    void keyedItemsCopyTheCurrentColumn();
    void malformedStringsStopAfterEarlierItems();
    void listComboFillsDropDownsAndPickList();
    void singleColumnSetters();
    void writingFormatsTheCell_data();
    void writingFormatsTheCell();
    void tickColumnsReadAsTruthValues();
    void rangeRules();
    void rowsLimitAndEvents();
    void sizesBeyondTheLimitsAreCut();
    void colsKeepsSurvivingSettingsAndReportsMove();
    void rowAndColMoveTheCurrentCell();
};

void tst_OVGridModel::interfaceByName()
{
    OVGrid grid;
    const QMetaObject *mo = grid.metaObject();
    const QStringList readWrite{"EditText", "CurrentRowMode", "AllowRowDelete", "AllowRowNo", "Redraw",
                                "TipText", "Text", "Col", "Row", "Cols", "Rows", "Font",
                                "AllowAlternate", "AllowSort", "Editable", "MergeCells",
                                "RowHeightMin", "WordWrap"};
    for (const QString &name : readWrite) {
        const QMetaProperty p = mo->property(mo->indexOfProperty(name.toLatin1()));
        QVERIFY2(p.isValid() && p.isWritable() && p.isReadable(), qPrintable(name));
    }
    for (const char *name : {"MouseCol", "MouseRow"})
        QVERIFY2(mo->property(mo->indexOfProperty(name)).isReadable(), name);
    for (const char *name : {"ListFormat", "ListTag", "ListTitle", "ListWidth", "ListAlignment",
                             "ListMerge", "ListSpecSort", "ListWordWrap", "ListDefault"})
        QVERIFY2(mo->property(mo->indexOfProperty(name)).isWritable(), name);

    const QStringList methods{
        "TextMatrix(int,int)", "setTextMatrix(int,int,QString)",
        "Aggregate(OVGrid::SubTotalSettings,int,int,int,int)", "Aggregate(OVGrid::SubTotalSettings)",
        "Cell(OVGrid::CellPropertySettings,int,int,int,int)",
        "setCell(OVGrid::CellPropertySettings,int,int,int,int,QVariant)",
        "setCell(OVGrid::CellPropertySettings,QVariant)", "setListCombo(int,QString)",
        "setListTagSingle(int,QString)", "setListFormatSingle(int,QString)", "Refresh()",
        "CopyRow(int,int,int,int)", "CopyRow(int,int)", "AddItem(QString,int,bool)", "AddItem(QString)",
        "RemoveItem(int)", "RemoveItem()", "RemoveRowOne(int)", "RemoveRowOne()", "BindRst(QSqlQuery&)",
        "AutoLastRow()", "RowVisible(int)", "RowVisible()", "UpdateRowNo(int)", "UpdateRowNo()",
        "AddCboList(int,QString)", "Message(int,QString)", "Message(int)", "Log(QString)", "ShowAbout()"};
    for (const QString &m : methods)
        QVERIFY2(mo->indexOfMethod(QMetaObject::normalizedSignature(qPrintable(m))) >= 0, qPrintable(m));

    const QStringList signals_{
        "AfterEdit(int,int)", "BeforeEdit(int,int,bool&)", "BeforeSort(bool&)", "AfterRowDelete()",
        "BeforeRowDelete(int,bool&)", "Click()", "DblClick()", "SwitchColType(int,int)",
        "KeyDown(short&,short)", "KeyDownEdit(int,int,short&,short)",
        "AfterRowColChange(int,int,int,int)", "ValidateEdit(int,int,bool&)", "ModalForm(int,int,bool&)",
        "MouseMove(short,short,float,float)"};
    for (const QString &s : signals_)
        QVERIFY2(mo->indexOfSignal(QMetaObject::normalizedSignature(qPrintable(s))) >= 0, qPrintable(s));

    const QList<QPair<const char *, QList<QPair<const char *, int>>>> enums{
        {"CellPropertySettings", {{"ovCPText", 0}, {"ovCPBackColor", 1}, {"ovcpforecolor", 2},
                                  {"ovCPFontBold", 3}, {"ovCPValue", 4}, {"ovCPClip", 5}}},
        {"SubTotalSettings", {{"ovSTSum", 0}, {"ovSTCount", 1}, {"ovSTAverage", 2}, {"ovSTMax", 3},
                              {"ovSTMin", 4}, {"ovSTColXSum", 5}}},
        {"CurrentRowModes", {{"ovCRNone", 0}, {"ovCRFontBold", 1}, {"ovCRForeColor", 2}}}};
    for (const auto &[name, keys] : enums) {
        const QMetaEnum e = mo->enumerator(mo->indexOfEnumerator(name));
        QVERIFY2(e.isValid(), name);
        QCOMPARE(e.keyCount(), int(keys.size()));
        for (const auto &[key, value] : keys)
            QCOMPARE(e.keyToValue(key), value);
    }

    // The names work: properties, a method with a result, an event by string.
    QVERIFY(grid.setProperty("Cols", 4));
    QVERIFY(grid.setProperty("Rows", 3));
    QVERIFY(QMetaObject::invokeMethod(&grid, "setTextMatrix", Q_ARG(int, 1), Q_ARG(int, 2), Q_ARG(QString, "2.5")));
    QVERIFY(QMetaObject::invokeMethod(&grid, "setTextMatrix", Q_ARG(int, 2), Q_ARG(int, 2), Q_ARG(QString, "4")));
    OVCurrency sum;
    QVERIFY(QMetaObject::invokeMethod(&grid, "Aggregate", Q_RETURN_ARG(OVCurrency, sum),
                                      Q_ARG(OVGrid::SubTotalSettings, OVGrid::ovSTSum), Q_ARG(int, 0),
                                      Q_ARG(int, 2)));
    QCOMPARE(QVariant::fromValue(sum).toDouble(), 6.5);
    QSignalSpy spy(&grid, SIGNAL(AfterRowColChange(int,int,int,int)));
    grid.setProperty("Row", 2);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(grid.property("Row").toInt(), 2);
}

void tst_OVGridModel::billLineGrid()
{
    OVGrid grid;
    grid.setCols(20);
    QVERIFY(grid.setListWidth(BillWidths));
    QVERIFY(grid.setListTitle(BillTitles));
    QVERIFY(grid.setListTag(BillTags));
    QVERIFY(grid.setListFormat(BillFormats));
    QVERIFY(grid.setListAlignment(BillAlignments));
    grid.AddItem(QString());

    const QStringList titles = BillTitles.split(u'|');
    const QStringList widths = BillWidths.split(u'|');
    QTableView *view = table(grid);
    for (int c = 0; c < 20; ++c) {
        QCOMPARE(grid.TextMatrix(0, c), titles.at(c));
        const int pixels = qRound(widths.at(c).toInt() * view->logicalDpiX() / 1440.0);
        if (c == 0)
            QCOMPARE(view->verticalHeader()->width(), pixels);
        else if (pixels == 0)
            QVERIFY2(view->isColumnHidden(c - 1), qPrintable(QString::number(c)));
        else
            QCOMPARE(view->columnWidth(c - 1), pixels);
    }

    // Formats, seen through what a write stores.
    for (int c = 6; c <= 15; ++c) {
        grid.setTextMatrix(1, c, QStringLiteral("0"));
        QCOMPARE(grid.TextMatrix(1, c), QString());
        grid.setTextMatrix(1, c, QStringLiteral("12.5"));
        QCOMPARE(grid.TextMatrix(1, c), QStringLiteral("12.5"));
    }
    for (int c : {17, 18}) {
        grid.setTextMatrix(1, c, QStringLiteral("3"));
        QCOMPARE(grid.TextMatrix(1, c), QStringLiteral("3.00"));
    }
    for (int c : {1, 2, 3, 4, 5, 16, 19}) {
        grid.setTextMatrix(1, c, QStringLiteral("0"));
        QCOMPARE(grid.TextMatrix(1, c), QStringLiteral("0"));
    }

    // Drop-downs exist for the "cbo" columns only.
    QVERIFY(grid.findChild<QComboBox *>(QStringLiteral("cbo4")));
    QVERIFY(grid.findChild<QComboBox *>(QStringLiteral("cbo5")));
    QVERIFY(!grid.findChild<QComboBox *>(QStringLiteral("cbo3")));

    // Alignments: columns 3 … 5 centred, column 0 centred by the Cols change,
    // the others general (numbers right, text left).
    for (int c : {3, 4, 5})
        QCOMPARE(cellAlignment(grid, c), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(view->model()->headerData(0, Qt::Vertical, Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignHCenter | Qt::AlignVCenter);
    grid.setTextMatrix(1, 6, QStringLiteral("5"));
    QCOMPARE(cellAlignment(grid, 6), Qt::AlignRight | Qt::AlignVCenter);
    grid.setTextMatrix(1, 16, QStringLiteral("kg"));
    QCOMPARE(cellAlignment(grid, 16), Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 1; c < 20; ++c)
        QCOMPARE(view->model()->headerData(c - 1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignHCenter | Qt::AlignVCenter);
}

void tst_OVGridModel::listTagSideEffects()
{
    OVGrid grid;
    grid.setCols(6);
    grid.AddItem(QString());
    QVERIFY(grid.setListTag(QStringLiteral("2;txt|5|3;cbo|4|1;chk")));
    QVERIFY(grid.findChild<QComboBox *>(QStringLiteral("cbo3")));
    QVERIFY(grid.findChild<QComboBox *>(QStringLiteral("cbo4")));
    QVERIFY(!grid.findChild<QComboBox *>(QStringLiteral("cbo2")));
    QVERIFY(!grid.findChild<QComboBox *>(QStringLiteral("cbo5")));
    // "chk" gives the tick format and centres the column.
    grid.setTextMatrix(1, 1, QString());
    QCOMPARE(grid.Cell(OVGrid::ovCPClip, 1, 1).toString(), QString(QChar(0x221A)));
    QCOMPARE(cellAlignment(grid, 1), Qt::AlignHCenter | Qt::AlignVCenter);
    // "txtdate" gives the date format; a later ListFormat overrides it.
    QVERIFY(grid.setListTag(QStringLiteral("5;txtdate")));
    grid.setTextMatrix(1, 5, QStringLiteral("2023-01-05"));
    QCOMPARE(grid.TextMatrix(1, 5), QStringLiteral("23-01-05"));
    QCOMPARE(cellAlignment(grid, 5), Qt::AlignHCenter | Qt::AlignVCenter);
    QVERIFY(grid.setListFormat(QStringLiteral("5;0.00")));
    grid.setTextMatrix(1, 5, QStringLiteral("2"));
    QCOMPARE(grid.TextMatrix(1, 5), QStringLiteral("2.00"));
}

void tst_OVGridModel::keyedItemsCopyTheCurrentColumn()
{
    OVGrid grid;
    grid.setCols(8);
    grid.AddItem(QString());
    // A leading bare item copies column 0's format.
    QVERIFY(grid.setListFormatSingle(0, QStringLiteral("0.00")));
    QVERIFY(grid.setListFormat(QStringLiteral("2|3;z|4")));
    grid.setTextMatrix(1, 2, QStringLiteral("1"));
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("1.00"));
    grid.setTextMatrix(1, 4, QStringLiteral("0"));
    QCOMPARE(grid.TextMatrix(1, 4), QString());

    // "1;4|4|5|6" centres 1, 4, 5, 6; a bare item after "6;7" copies 7.
    QVERIFY(grid.setListAlignment(QStringLiteral("1;4|4|5|6|7;8|2")));
    for (int c : {1, 4, 5, 6})
        QCOMPARE(cellAlignment(grid, c), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(cellAlignment(grid, 2), Qt::AlignRight | Qt::AlignBottom);
    QCOMPARE(cellAlignment(grid, 7), Qt::AlignRight | Qt::AlignBottom);

    // Defaults: a bare item copies the current column's default.
    QVERIFY(grid.setListDefault(QStringLiteral("5;0|6")));
    grid.AddItem(QStringLiteral("\tx"));
    QCOMPARE(grid.TextMatrix(2, 5), QStringLiteral("0"));
    QCOMPARE(grid.TextMatrix(2, 6), QStringLiteral("0"));
    QCOMPARE(grid.TextMatrix(2, 3), QString());
}

void tst_OVGridModel::malformedStringsStopAfterEarlierItems()
{
    OVGrid grid;
    grid.setCols(4);
    grid.AddItem(QString());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListFormat.*\"x\" is not a number"));
    QVERIFY(!grid.setListFormat(QStringLiteral("1;0.00|x|2;0.00")));
    grid.setTextMatrix(1, 1, QStringLiteral("1"));
    grid.setTextMatrix(1, 2, QStringLiteral("1"));
    QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("1.00"));
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("1"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListTitle.*outside the grid"));
    QVERIFY(!grid.setListTitle(QStringLiteral("#|a|b|c|d|e")));
    QCOMPARE(grid.TextMatrix(0, 3), QStringLiteral("c"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListWidth.*not a number"));
    QVERIFY(!grid.setListWidth(QStringLiteral("700|0|wide")));
    QVERIFY(table(grid)->isColumnHidden(0));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListAlignment.*\"2;12\""));
    QVERIFY(!grid.setListAlignment(QStringLiteral("1;4|2;12")));
    QCOMPARE(cellAlignment(grid, 1), Qt::AlignHCenter | Qt::AlignVCenter);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListWordWrap.*outside the grid"));
    QVERIFY(!grid.setListWordWrap(QStringLiteral("1|4")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListTagSingle"));
    QVERIFY(!grid.setListTagSingle(4, QStringLiteral("txt")));
    // An empty value has no items and is no error.
    QVERIFY(grid.setListTag(QString()));
}

void tst_OVGridModel::listComboFillsDropDownsAndPickList()
{
    OVGrid grid;
    grid.setCols(4);
    QVERIFY(grid.setListTag(QStringLiteral("1;cbodata|2;cbo")));
    QVERIFY(grid.setListCombo(2, QStringLiteral("红|蓝|")));
    auto *cbo2 = grid.findChild<QComboBox *>(QStringLiteral("cbo2"));
    QVERIFY(cbo2);
    QCOMPARE(cbo2->count(), 3); // entries are taken as they are, the empty one too
    QVERIFY(grid.setListCombo(2, QString()));
    QCOMPARE(cbo2->count(), 0);
    // A column without a drop-down gets one.
    QVERIFY(grid.setListCombo(3, QStringLiteral("a")));
    QVERIFY(grid.findChild<QComboBox *>(QStringLiteral("cbo3")));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListCombo.*\"nosemicolon\""));
    QVERIFY(!grid.setListCombo(1, QStringLiteral("7;张三|9;李四|nosemicolon|3;王五")));
    auto *pick = grid.findChild<QComboBox *>(QStringLiteral("cbodata"));
    QCOMPARE(pick->count(), 2);
    QCOMPARE(pick->itemText(1), QStringLiteral("李四"));
    QCOMPARE(pick->itemData(1).toInt(), 9);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ListCombo"));
    QVERIFY(!grid.setListCombo(9, QStringLiteral("x")));
}

void tst_OVGridModel::singleColumnSetters()
{
    OVGrid grid;
    grid.setCols(3);
    grid.AddItem(QString());
    // Storing "chk" alone changes the format without centring the column.
    QVERIFY(grid.setListFormatSingle(1, QStringLiteral("chk")));
    QCOMPARE(cellAlignment(grid, 1), Qt::AlignLeft | Qt::AlignVCenter);
    grid.setTextMatrix(1, 1, QStringLiteral("1"));
    QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("-1"));
    QVERIFY(grid.setListTagSingle(2, QStringLiteral("cbo")));
    QVERIFY(!grid.findChild<QComboBox *>(QStringLiteral("cbo2")));
}

void tst_OVGridModel::writingFormatsTheCell_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("z0.00 zero") << "z0.00" << "0" << "";
    QTest::newRow("z0.00 value") << "z0.00" << "12.5" << "12.50";
    QTest::newRow("0.00 word") << "0.00" << "word" << "word";
    QTest::newRow("z zero") << "z" << "0" << "";
    QTest::newRow("z three") << "z" << "3" << "3";
}

void tst_OVGridModel::writingFormatsTheCell()
{
    QFETCH(QString, format);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    OVGrid grid;
    grid.setCols(3);
    grid.AddItem(QString());
    grid.AddItem(QString());
    QVERIFY(grid.setListFormat(QStringLiteral("2;") + format));
    grid.setTextMatrix(2, 2, value);
    QCOMPARE(grid.TextMatrix(2, 2), stored);
    // Through the current cell.
    grid.setCol(2);
    grid.setText(value);
    QCOMPARE(grid.Text(), stored);
    // The title row is never formatted.
    grid.setTextMatrix(0, 2, value);
    QCOMPARE(grid.TextMatrix(0, 2), value);
}

void tst_OVGridModel::tickColumnsReadAsTruthValues()
{
    OVGrid grid;
    grid.setCols(3);
    grid.AddItem(QString());
    QVERIFY(grid.setListTag(QStringLiteral("1;chk")));
    QVERIFY(grid.setListTitle(QStringLiteral("#|选")));
    grid.setTextMatrix(1, 1, QString());
    QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("-1"));
    grid.setCol(1);
    QCOMPARE(grid.Text(), QString(QChar(0x221A)));
    grid.setTextMatrix(1, 1, QStringLiteral("False"));
    QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("0"));
    QCOMPARE(grid.Text(), QString());
    QCOMPARE(grid.TextMatrix(0, 1), QStringLiteral("选"));
}

void tst_OVGridModel::rangeRules()
{
    OVGrid grid;
    grid.setCols(3);
    grid.setRows(3);
    grid.setTextMatrix(5, 1, QStringLiteral("x"));
    QCOMPARE(grid.TextMatrix(5, 1), QString());
    QCOMPARE(grid.TextMatrix(-1, 1), QString());
    QCOMPARE(grid.TextMatrix(1, 3), QString());
    grid.setTextMatrix(2, -1, QStringLiteral("x"));
    QCOMPARE(grid.Rows(), 3);
    grid.setTextMatrix(2, 2, QStringLiteral("in"));
    QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("in"));
    QCOMPARE(grid.EditText(), QString());
    grid.setEditText(QStringLiteral("typed"));
    QCOMPARE(grid.EditText(), QStringLiteral("typed"));
    QCOMPARE(grid.findChild<QLineEdit *>(QStringLiteral("txt"))->text(), QStringLiteral("typed"));

    // Font changes the grid, not its editors.
    const QFont editorFont = grid.findChild<QLineEdit *>(QStringLiteral("txt"))->font();
    QFont big = grid.Font();
    big.setPointSize(big.pointSize() + 6);
    QVERIFY(grid.setProperty("Font", big));
    QCOMPARE(grid.Font().pointSize(), big.pointSize());
    QCOMPARE(grid.findChild<QLineEdit *>(QStringLiteral("txt"))->font(), editorFont);
}

void tst_OVGridModel::sizesBeyondTheLimitsAreCut()
{
    // Absurd sizes from a host or a saved property bag are ignored or cut,
    // never overflowed.
    OVGrid grid;
    grid.setCols(OVGrid::MaxCols + 1);
    grid.setCols(std::numeric_limits<int>::max());
    QCOMPARE(grid.Cols(), 2);
    grid.setCols(OVGrid::MaxCols);
    QCOMPARE(grid.Cols(), OVGrid::MaxCols);
    OVGrid::PropertyBag bag = grid.WriteProperties();
    for (auto &item : bag) {
        if (item.first == QLatin1String("Cols"))
            item.second = std::numeric_limits<int>::max();
    }
    OVGrid loaded;
    loaded.ReadProperties(bag);
    QCOMPARE(loaded.Cols(), OVGrid::MaxCols);

    grid.setCols(3);
    grid.setRows(3);
    grid.setWordWrap(true);
    QVERIFY(grid.setListWidth(QStringLiteral("300|2147483647|30000000")));
    grid.setRowHeightMin(std::numeric_limits<int>::max());
    grid.setTextMatrix(1, 1, QStringLiteral("红色"));
    const auto *table = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
    for (const int pixels : {table->columnWidth(0), table->columnWidth(1), table->rowHeight(0)})
        QVERIFY2(pixels > 1000 && pixels <= 32767, qPrintable(QString::number(pixels)));
}

void tst_OVGridModel::rowsLimitAndEvents()
{
    OVGrid grid;
    grid.setCols(4);
    GridEventLog log(&grid);
    grid.setRows(OVGrid::MaxRows + 1);
    grid.setRows(100000);
    QCOMPARE(grid.Rows(), 1);
    QVERIFY(log.take().isEmpty());
    // From no data row to some: the grid reports its first data row current.
    grid.setRows(5);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(5,1,1,1)"});
    QCOMPARE(grid.TextMatrix(4, 0), QStringLiteral("4"));
    grid.setRow(4);
    log.take();
    // Shrinking past the current row moves it; shrinking below it does not.
    grid.setRows(3);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(3,1,2,1)"});
    grid.setRows(4);
    QVERIFY(log.take().isEmpty());
    grid.setRows(1);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(1,1,0,1)"});
    QCOMPARE(grid.Row(), 0);
    grid.setRows(OVGrid::MaxRows);
    QCOMPARE(grid.Rows(), OVGrid::MaxRows);
    QCOMPARE(grid.TextMatrix(OVGrid::MaxRows - 1, 0), QString::number(OVGrid::MaxRows - 1));
    // Without row numbers the new rows stay blank.
    grid.setRows(1);
    grid.setAllowRowNo(false);
    grid.setRows(3);
    QCOMPARE(grid.TextMatrix(2, 0), QString());
}

void tst_OVGridModel::colsKeepsSurvivingSettingsAndReportsMove()
{
    OVGrid grid;
    grid.setCols(6);
    grid.setRows(3);
    QVERIFY(grid.setListFormat(QStringLiteral("2;0.00|5;z")));
    QVERIFY(grid.setListAlignment(QStringLiteral("2;0")));
    grid.setCol(5);
    GridEventLog log(&grid);
    grid.setCols(4);
    QCOMPARE(log.take(), QStringList{"AfterRowColChange(1,4,1,3)"});
    grid.setCols(6);
    QVERIFY(log.take().isEmpty()); // the current column stayed
    grid.setTextMatrix(1, 2, QStringLiteral("1"));
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("1.00"));
    grid.setTextMatrix(1, 5, QStringLiteral("0"));
    QCOMPARE(grid.TextMatrix(1, 5), QStringLiteral("0")); // the format went with the column
    // Data alignments survive a Cols change; titles are centred again.
    QCOMPARE(cellAlignment(grid, 2), Qt::AlignLeft | Qt::AlignTop);
    QTableView *view = table(grid);
    QCOMPARE(view->model()->headerData(4, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignHCenter | Qt::AlignVCenter);
}

void tst_OVGridModel::rowAndColMoveTheCurrentCell()
{
    OVGrid grid;
    grid.setCols(5);
    grid.setRows(4);
    GridEventLog log(&grid);
    grid.setRow(3);
    grid.setCol(4);
    QCOMPARE(log.take(), (QStringList{"AfterRowColChange(1,1,3,1)", "AfterRowColChange(3,1,3,4)"}));
    grid.setRow(4);
    grid.setRow(-1);
    grid.setCol(5);
    QVERIFY(log.take().isEmpty());
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.Col(), 4);
    grid.setText(QStringLiteral("here"));
    QCOMPARE(grid.TextMatrix(3, 4), QStringLiteral("here"));
}

QTEST_MAIN(tst_OVGridModel)
#include "tst_ovgrid_model.moc"
