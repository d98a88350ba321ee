#pragma once

#include "Worksheet.h"

#include <QRectF>
#include <QSizeF>

#include <vector>

// A column width in characters of the standard font as points on paper: a
// spreadsheet shows a width w as round(w × 7) pixels at 96 pixels per inch.
double ColumnWidthInPoints(double characters);

// One printed page: the rows and columns of the print range it shows.
struct SheetPage
{
    int firstRow = 1;
    int lastRow = 1;
    int firstColumn = 1;
    int lastColumn = 1;
};

// Where the print range of a sheet lies on paper, in points from the
// range's top-left corner, and how it splits into pages: at the page
// set-up's scale, or shrunk to fit the pages asked for, pages running down
// first and then across.
class SheetLayout
{
public:
    SheetLayout(const Worksheet &sheet, const QSizeF &printableSize);

    const CellRange &range() const { return m_range; }
    double scale() const { return m_scale; }

    double columnLeft(int column) const;
    double columnWidth(int column) const;
    double rowTop(int row) const;
    double rowHeight(int row) const;
    QRectF cellRect(int row, int column) const;
    QRectF rangeRect(const CellRange &range) const;

    const std::vector<SheetPage> &pages() const { return m_pages; }
    QRectF pageRect(const SheetPage &page) const;

private:
    static std::vector<std::pair<int, int>> bands(const std::vector<double> &sizes, int first, double available);

    CellRange m_range;
    std::vector<double> m_columnLeft; // index: column - range.left; one more than the columns
    std::vector<double> m_rowTop;
    double m_scale = 1;
    std::vector<SheetPage> m_pages;
};
