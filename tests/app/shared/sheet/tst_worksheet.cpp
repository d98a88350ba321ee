#include "shared/sheet/SheetError.h"
#include "shared/sheet/SheetLayout.h"
#include "shared/sheet/Worksheet.h"

#include <QtTest>

class TestWorksheet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pasteSplitsCellsAndReadsNumbers();
    void pasteLineBreaks_data();
    void pasteLineBreaks();
    void valuesKeepTheCellStyle();
    void textFormattedCellKeepsText();
    void outOfBoundsThrows();
    void sheetNames_data();
    void sheetNames();
    void references_data();
    void references();
    void mergesAndUsedRange();
    void layoutGeometry();
    void layoutPagination();
    void layoutFitsToWidth();
};

void TestWorksheet::pasteSplitsCellsAndReadsNumbers()
{
    Worksheet sheet;
    sheet.pasteText(QStringLiteral("编号\t品名\t重量\r\n007\t红布\t25.5\r\nA1\t\t-3\r\n"));
    QCOMPARE(sheet.kind(1, 1), CellKind::Text);
    QCOMPARE(sheet.text(1, 3), QStringLiteral("重量"));
    QCOMPARE(sheet.kind(2, 1), CellKind::Text); // a code keeps its zeros
    QCOMPARE(sheet.text(2, 1), QStringLiteral("007"));
    QCOMPARE(sheet.kind(2, 3), CellKind::Number);
    QCOMPARE(sheet.number(2, 3), 25.5);
    QCOMPARE(sheet.kind(3, 2), CellKind::Empty);
    QCOMPARE(sheet.number(3, 3), -3.0);
    QCOMPARE(sheet.usedRange(), (CellRange{1, 1, 3, 3})); // the final line break adds no row
}

void TestWorksheet::pasteLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    QTest::newRow("CR LF") << "a\r\nb\r\nc" << 3;
    QTest::newRow("LF") << "a\nb\nc\n" << 3;
    QTest::newRow("CR") << "a\rb\rc\r" << 3;
    QTest::newRow("empty line kept") << "a\r\n\r\nc" << 3;
}

void TestWorksheet::pasteLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(int, rows);
    Worksheet sheet;
    sheet.pasteText(text);
    QCOMPARE(sheet.usedRange().bottom, rows);
    QCOMPARE(sheet.text(rows, 1), QStringLiteral("c"));
}

void TestWorksheet::valuesKeepTheCellStyle()
{
    Worksheet sheet;
    CellStyle money;
    money.numberFormat = QStringLiteral("0.00");
    const int moneyStyle = sheet.addStyle(money);
    CellStyle bold;
    bold.font.bold = true;
    const int boldStyle = sheet.addStyle(bold);

    sheet.setStyleIndex(6, 15, moneyStyle);
    sheet.setValue(6, 15, QStringLiteral("255.00"));
    QCOMPARE(sheet.styleIndex(6, 15), moneyStyle);
    QCOMPARE(sheet.kind(6, 15), CellKind::Number);
    QCOMPARE(sheet.displayText(6, 15), QStringLiteral("255.00"));

    // A cell without a style of its own takes its row's, else its column's.
    sheet.setColumnFormat(3, 12, 5, false, moneyStyle);
    sheet.setRowFormat(14, 22, false, boldStyle);
    QCOMPARE(sheet.styleIndex(7, 4), moneyStyle);
    QCOMPARE(sheet.styleIndex(14, 4), boldStyle);
    sheet.setValue(7, 4, 12);
    QCOMPARE(sheet.displayText(7, 4), QStringLiteral("12.00"));
    QCOMPARE(sheet.columnWidth(4), 5.0);
    QCOMPARE(sheet.rowHeight(14), 22.0);
    QCOMPARE(sheet.rowHeight(15), sheet.defaultRowHeight());

    // Clearing a value keeps the style.
    sheet.setValue(6, 15, QString());
    QCOMPARE(sheet.kind(6, 15), CellKind::Empty);
    QCOMPARE(sheet.styleIndex(6, 15), moneyStyle);
}

void TestWorksheet::textFormattedCellKeepsText()
{
    Worksheet sheet;
    CellStyle text;
    text.numberFormat = QStringLiteral("@");
    sheet.setStyleIndex(6, 1, sheet.addStyle(text));
    sheet.setValue(6, 1, QStringLiteral("1001"));
    QCOMPARE(sheet.kind(6, 1), CellKind::Text);
    QCOMPARE(sheet.value(6, 1), QVariant(QStringLiteral("1001")));
    sheet.setValue(6, 2, QStringLiteral("1001"));
    QCOMPARE(sheet.value(6, 2), QVariant(1001.0));
}

void TestWorksheet::outOfBoundsThrows()
{
    Worksheet sheet;
    QVERIFY_THROWS_EXCEPTION(SheetError, sheet.setValue(0, 1, 1));
    QVERIFY_THROWS_EXCEPTION(SheetError, sheet.setValue(1, kMaxSheetColumns + 1, 1));
    QVERIFY_THROWS_EXCEPTION(SheetError, sheet.setValue(kMaxSheetRows + 1, 1, 1));
    sheet.setValue(kMaxSheetRows, kMaxSheetColumns, 1);
    QCOMPARE(sheet.number(kMaxSheetRows, kMaxSheetColumns), 1.0);
}

void TestWorksheet::sheetNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("chinese") << "查询" << true;
    QTest::newRow("thirty-one") << QString(31, QLatin1Char('x')) << true;
    QTest::newRow("thirty-two") << QString(32, QLatin1Char('x')) << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("bracket") << "a[1]" << false;
    QTest::newRow("colon") << "a:b" << false;
    QTest::newRow("apostrophe at start") << "'a" << false;
    QTest::newRow("apostrophe inside") << "a'b" << true;
}

void TestWorksheet::sheetNames()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    Worksheet sheet;
    try {
        sheet.setName(name);
        QVERIFY(valid);
        QCOMPARE(sheet.name(), name);
    } catch (const SheetError &error) {
        QVERIFY2(!valid, qPrintable(error.description()));
        QVERIFY(error.description().contains(name));
        QCOMPARE(sheet.name(), QStringLiteral("Sheet1"));
    }
}

void TestWorksheet::references_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<CellRange>("range");
    QTest::newRow("cell") << "O4" << true << CellRange{4, 15, 4, 15};
    QTest::newRow("range") << "A1:O1" << true << CellRange{1, 1, 1, 15};
    QTest::newRow("absolute") << "$B$14:$G$14" << true << CellRange{14, 2, 14, 7};
    QTest::newRow("reversed") << "C3:A1" << true << CellRange{1, 1, 3, 3};
    QTest::newRow("two letters") << "AA10" << true << CellRange{10, 27, 10, 27};
    QTest::newRow("last cell") << "XFD1048576" << true << CellRange{kMaxSheetRows, kMaxSheetColumns, kMaxSheetRows, kMaxSheetColumns};
    QTest::newRow("column too far") << "XFE1" << false << CellRange{};
    QTest::newRow("row zero") << "A0" << false << CellRange{};
    QTest::newRow("no row") << "A" << false << CellRange{};
    QTest::newRow("garbage") << "1A" << false << CellRange{};
}

void TestWorksheet::references()
{
    QFETCH(QString, reference);
    QFETCH(bool, valid);
    QFETCH(CellRange, range);
    const auto parsed = CellRange::fromReference(reference);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(*parsed, range);
        if (range.top == range.bottom && range.left == range.right)
            QCOMPARE(ColumnLetters(range.left) + QString::number(range.top), reference.remove(QLatin1Char('$')));
    }
}

void TestWorksheet::mergesAndUsedRange()
{
    Worksheet sheet;
    QCOMPARE(sheet.usedRange(), (CellRange{1, 1, 1, 1}));
    sheet.addMerge({14, 2, 14, 7});
    sheet.addMerge({14, 7, 15, 8}); // overlaps: refused
    sheet.addMerge({3, 3, 3, 3});   // one cell: nothing to merge
    QCOMPARE(sheet.merges().size(), std::size_t(1));
    QCOMPARE(*sheet.mergeAt(14, 5), (CellRange{14, 2, 14, 7}));
    QCOMPARE(sheet.mergeAt(14, 8), nullptr);

    // A styled cell counts only when the style shows on paper.
    CellStyle bordered;
    bordered.bottom.style = BorderStyle::Thin;
    CellStyle bold;
    bold.font.bold = true;
    sheet.setStyleIndex(20, 1, sheet.addStyle(bordered));
    sheet.setStyleIndex(30, 30, sheet.addStyle(bold));
    sheet.setValue(2, 16, QStringLiteral("x"));
    QCOMPARE(sheet.usedRange(), (CellRange{2, 1, 20, 16}));
}

void TestWorksheet::layoutGeometry()
{
    // A width of 10.28515625 characters is 72 pixels, 54 points.
    QCOMPARE(ColumnWidthInPoints(10.28515625), 54.0);
    QCOMPARE(ColumnWidthInPoints(64.0 / 7), 48.0);

    Worksheet sheet;
    sheet.setColumnFormat(1, 1, 10.28515625);
    sheet.setColumnFormat(2, 2, 10, true); // hidden
    sheet.setRowFormat(2, 30);
    sheet.setValue(3, 3, 1);
    sheet.addMerge({1, 1, 2, 3});
    const SheetLayout layout(sheet, QSizeF(500, 700));
    QCOMPARE(layout.range(), (CellRange{1, 1, 3, 3}));
    QCOMPARE(layout.columnLeft(2), 54.0);
    QCOMPARE(layout.columnWidth(2), 0.0);
    QCOMPARE(layout.columnLeft(3), 54.0);
    QCOMPARE(layout.rowTop(3), 45.0);
    QCOMPARE(layout.rangeRect({1, 1, 2, 3}), QRectF(0, 0, 54 + ColumnWidthInPoints(sheet.defaultColumnWidth()), 45));
    QCOMPARE(layout.pages().size(), std::size_t(1));
}

void TestWorksheet::layoutPagination()
{
    Worksheet sheet;
    sheet.setDefaultRowHeight(20);
    sheet.setValue(1, 1, 1);
    sheet.setValue(100, 1, 1);      // 100 rows of 20 points: 2000 points
    sheet.setColumnFormat(1, 1, 100); // 700 pixels, 525 points: two pages across at 300
    sheet.pageSetup().scale = 50;
    const SheetLayout layout(sheet, QSizeF(300, 500));
    // At 50 % a page holds 1000 points of rows (50 rows) and 600 of columns.
    QCOMPARE(layout.scale(), 0.5);
    QCOMPARE(layout.pages().size(), std::size_t(2));
    QCOMPARE(layout.pages()[0].lastRow, 50);
    QCOMPARE(layout.pages()[1].firstRow, 51);

    sheet.pageSetup().scale = 100;
    sheet.setValue(1, 3, 1);
    const SheetLayout full(sheet, QSizeF(300, 500));
    // Pages run down first, then across; a column wider than a page gets its own.
    QCOMPARE(full.pages().size(), std::size_t(8));
    QCOMPARE(full.pages()[0].lastRow, 25);
    QCOMPARE(full.pages()[3].firstRow, 76);
    QCOMPARE(full.pages()[3].lastColumn, 1);
    QCOMPARE(full.pages()[4].firstColumn, 2);
    QCOMPARE(full.pages()[4].firstRow, 1);
}

void TestWorksheet::layoutFitsToWidth()
{
    Worksheet sheet;
    sheet.setColumnFormat(1, 15, 100.0 / 7); // 100 pixels, 75 points each: 1125 points
    sheet.setValue(1, 1, 1);
    sheet.setValue(40, 15, 1);
    PageSetup &page = sheet.pageSetup();
    page.fitToPage = true;
    page.fitToWidth = 1;
    page.fitToHeight = 0;
    page.scale = 400; // not used when fitting
    const SheetLayout layout(sheet, QSizeF(562.5, 800));
    QCOMPARE(layout.scale(), 0.5);
    QCOMPARE(layout.pages().size(), std::size_t(1));
    QCOMPARE(layout.pages()[0].lastColumn, 15);

    // Fitting never enlarges.
    sheet.setColumnFormat(1, 15, 10.0 / 7);
    QCOMPARE(SheetLayout(sheet, QSizeF(562.5, 800)).scale(), 1.0);
}

QTEST_GUILESS_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
