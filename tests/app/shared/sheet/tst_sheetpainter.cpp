#include "shared/sheet/SheetLayout.h"
#include "shared/sheet/SheetPainter.h"
#include "shared/sheet/Worksheet.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

constexpr double kPixelsPerPoint = 2;
constexpr double kColumn = 52.5; // points: a width of 10 characters
constexpr double kRow = 20;      // points

// Paints the sheet's first page onto a white image, two pixels a point.
QImage paint(const Worksheet &sheet)
{
    QImage image(800, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    const SheetLayout layout(sheet, QSizeF(1000, 1000));
    QPainter painter(&image);
    painter.scale(kPixelsPerPoint, kPixelsPerPoint);
    PaintSheetPage(painter, sheet, layout, layout.pages().front());
    return image;
}

// The darkest pixel across a vertical line at x points, between y1 and y2.
int darkestOnVertical(const QImage &image, double x, double y1, double y2)
{
    int darkest = 255;
    for (int px = int(x * kPixelsPerPoint) - 1; px <= int(x * kPixelsPerPoint) + 1; ++px) {
        for (int py = int(y1 * kPixelsPerPoint); py <= int(y2 * kPixelsPerPoint); ++py)
            darkest = std::min(darkest, qGray(image.pixel(px, py)));
    }
    return darkest;
}

Worksheet gridSheet()
{
    Worksheet sheet;
    sheet.setColumnFormat(1, 5, 10);
    sheet.setDefaultRowHeight(kRow);
    return sheet;
}

} // namespace

class TestSheetPainter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mergedRangeHasNoInnerLines();
    void gridLinesStopUnderOverflowingText();
    void neighbourTextStopsOverflow();
};

void TestSheetPainter::mergedRangeHasNoInnerLines()
{
    Worksheet sheet = gridSheet();
    CellStyle boxed;
    boxed.left.style = boxed.right.style = boxed.top.style = boxed.bottom.style = BorderStyle::Medium;
    const int style = sheet.addStyle(boxed);
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column <= 3; ++column)
            sheet.setStyleIndex(row, column, style);
    }
    sheet.addMerge({1, 1, 1, 3});
    const QImage image = paint(sheet);
    // Row 1 is one merged cell: lines only around it.
    QVERIFY(darkestOnVertical(image, kColumn, 4, kRow - 4) > 200);
    QVERIFY(darkestOnVertical(image, 2 * kColumn, 4, kRow - 4) > 200);
    QVERIFY(darkestOnVertical(image, 3 * kColumn, 4, kRow - 4) < 100);
    // Row 2 keeps its three cells.
    QVERIFY(darkestOnVertical(image, kColumn, kRow + 4, 2 * kRow - 4) < 100);
    QVERIFY(darkestOnVertical(image, 2 * kColumn, kRow + 4, 2 * kRow - 4) < 100);
}

void TestSheetPainter::gridLinesStopUnderOverflowingText()
{
    Worksheet sheet = gridSheet();
    sheet.pageSetup().gridLines = true;
    sheet.setValue(1, 1, QStringLiteral("这是一段很长很长的文字，会写到右边的空单元格里"));
    sheet.setValue(2, 1, QStringLiteral("短"));
    sheet.setValue(3, 5, 1);
    const QImage image = paint(sheet);
    // The top of row 1 above the glyphs: no grid line between A and B.
    QCOMPARE(darkestOnVertical(image, kColumn, 1, 4), 255);
    QVERIFY(darkestOnVertical(image, kColumn, kRow + 1, kRow + 4) < 250); // a light hairline
}

void TestSheetPainter::neighbourTextStopsOverflow()
{
    Worksheet sheet = gridSheet();
    sheet.setValue(1, 1, QStringLiteral("这是一段很长很长的文字"));
    sheet.setValue(1, 2, QStringLiteral("乙"));
    sheet.setValue(2, 1, QStringLiteral("这是一段很长很长的文字"));
    const QImage image = paint(sheet);
    // Just right of B's own text: empty in row 1, where A's text stopped at
    // its own cell; inked in row 2, where the text ran on.
    auto inkBetween = [&image](double x1, double x2, double y1, double y2) {
        int darkest = 255;
        for (int px = int(x1 * kPixelsPerPoint); px <= int(x2 * kPixelsPerPoint); ++px) {
            for (int py = int(y1 * kPixelsPerPoint); py <= int(y2 * kPixelsPerPoint); ++py)
                darkest = std::min(darkest, qGray(image.pixel(px, py)));
        }
        return darkest < 128;
    };
    QVERIFY(!inkBetween(kColumn + 16, 2 * kColumn - 2, 2, kRow - 1));
    QVERIFY(inkBetween(kColumn + 16, 2 * kColumn - 2, kRow + 2, 2 * kRow - 1));
}

QTEST_MAIN(TestSheetPainter)
#include "tst_sheetpainter.moc"
