// Column totals and distinct counts read from a grid.

#include "shared/forms/GridSummary.h"

#include "OVGrid.h"

#include <QtTest>

class tst_GridSummary : public QObject
{
    Q_OBJECT
private slots:
    void emptyGrid();
    void columnSumText_data();
    void columnSumText();
    void distinctBills();
};

void tst_GridSummary::emptyGrid()
{
    OVGrid grid;
    grid.setCols(4);
    QCOMPARE(GridColumnSumText(&grid, 2, QString()), QStringLiteral("0"));
    QCOMPARE(GridColumnSumText(&grid, 2, QStringLiteral("0.00")), QStringLiteral("0.00"));
    QCOMPARE(CountDistinctInColumn(&grid, 1), 0);
}

void tst_GridSummary::columnSumText_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringList{"12.5", "3", "word", ""} << "" << "15.5";
    QTest::newRow("two decimals") << QStringList{"12.5", "3"} << "0.00" << "15.50";
    QTest::newRow("tenths add up exactly") << QStringList{"0.1", "0.2", "0.3"} << "" << "0.6";
    QTest::newRow("rounds half up") << QStringList{"0.125"} << "0.00" << "0.13";
    QTest::newRow("negative") << QStringList{"-2.5", "1"} << "0.00" << "-1.50";
    QTest::newRow("whole") << QStringList{"2.5"} << "0" << "3";
}

void tst_GridSummary::columnSumText()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    OVGrid grid;
    grid.setCols(3);
    for (const QString &cell : cells)
        grid.AddItem(QStringLiteral("\t\t") + cell);
    grid.AddItem(QStringLiteral("*"));
    QCOMPARE(GridColumnSumText(&grid, 2, format), expected);
}

void tst_GridSummary::distinctBills()
{
    OVGrid grid;
    grid.setCols(3);
    for (const char *id : {"12", "12", "7", "30", "7", "12", "30.0"})
        grid.AddItem(QStringLiteral("\t%1\tline").arg(QLatin1String(id)));
    QCOMPARE(CountDistinctInColumn(&grid, 1), 3);
    QCOMPARE(CountDistinctInColumn(&grid, 2), 0); // no numbers there
    // The last row counts like any other.
    grid.AddItem(QStringLiteral("\t99\tline"));
    QCOMPARE(CountDistinctInColumn(&grid, 1), 4);

    // Many lines of few bills, counted without comparing every pair.
    OVGrid big;
    big.setCols(2);
    big.setRows(20001);
    for (int r = 1; r < big.Rows(); ++r)
        big.setTextMatrix(r, 1, QString::number(r % 997));
    QCOMPARE(CountDistinctInColumn(&big, 1), 997);
}

QTEST_MAIN(tst_GridSummary)
#include "tst_gridsummary.moc"
