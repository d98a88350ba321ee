#include "SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0;
constexpr double kMaximumDigitWidth = 7; // pixels, of the standard font
// Sizes summed in floating point may miss a page edge by a hair.
constexpr double kTolerance = 1e-6;

} // namespace

double ColumnWidthInPoints(double characters)
{
    return std::round(characters * kMaximumDigitWidth) * kPointsPerPixel;
}

SheetLayout::SheetLayout(const Worksheet &sheet, const QSizeF &printableSize)
    : m_range(sheet.printArea().value_or(sheet.usedRange()))
{
    std::vector<double> widths;
    for (int column = m_range.left; column <= m_range.right; ++column)
        widths.push_back(ColumnWidthInPoints(sheet.columnWidth(column)));
    std::vector<double> heights;
    for (int row = m_range.top; row <= m_range.bottom; ++row)
        heights.push_back(sheet.rowHeight(row));

    m_columnLeft.assign(1, 0);
    for (double w : widths)
        m_columnLeft.push_back(m_columnLeft.back() + w);
    m_rowTop.assign(1, 0);
    for (double h : heights)
        m_rowTop.push_back(m_rowTop.back() + h);

    const PageSetup &page = sheet.pageSetup();
    if (page.fitToPage) {
        // Shrink (never enlarge) until the range fits the pages asked for.
        double scale = 1;
        if (page.fitToWidth > 0 && m_columnLeft.back() > 0)
            scale = std::min(scale, printableSize.width() * page.fitToWidth / m_columnLeft.back());
        if (page.fitToHeight > 0 && m_rowTop.back() > 0)
            scale = std::min(scale, printableSize.height() * page.fitToHeight / m_rowTop.back());
        m_scale = std::max(scale, 0.1);
    } else {
        m_scale = page.scale / 100.0;
    }

    const auto columnBands = bands(widths, m_range.left, printableSize.width() / m_scale);
    const auto rowBands = bands(heights, m_range.top, printableSize.height() / m_scale);
    for (const auto &[firstColumn, lastColumn] : columnBands) {
        for (const auto &[firstRow, lastRow] : rowBands)
            m_pages.push_back(SheetPage{firstRow, lastRow, firstColumn, lastColumn});
    }
}

std::vector<std::pair<int, int>> SheetLayout::bands(const std::vector<double> &sizes, int first, double available)
{
    std::vector<std::pair<int, int>> result;
    double used = 0;
    int start = first;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int index = first + int(i);
        // A row or column bigger than a page still gets a page of its own.
        if (index > start && used + sizes[i] > available + kTolerance) {
            result.emplace_back(start, index - 1);
            start = index;
            used = 0;
        }
        used += sizes[i];
    }
    result.emplace_back(start, first + int(sizes.size()) - 1);
    return result;
}

double SheetLayout::columnLeft(int column) const
{
    const int i = std::clamp(column - m_range.left, 0, int(m_columnLeft.size()) - 1);
    return m_columnLeft[i];
}

double SheetLayout::columnWidth(int column) const
{
    return columnLeft(column + 1) - columnLeft(column);
}

double SheetLayout::rowTop(int row) const
{
    const int i = std::clamp(row - m_range.top, 0, int(m_rowTop.size()) - 1);
    return m_rowTop[i];
}

double SheetLayout::rowHeight(int row) const
{
    return rowTop(row + 1) - rowTop(row);
}

QRectF SheetLayout::cellRect(int row, int column) const
{
    return QRectF(columnLeft(column), rowTop(row), columnWidth(column), rowHeight(row));
}

QRectF SheetLayout::rangeRect(const CellRange &range) const
{
    return QRectF(QPointF(columnLeft(range.left), rowTop(range.top)),
                  QPointF(columnLeft(range.right + 1), rowTop(range.bottom + 1)));
}

QRectF SheetLayout::pageRect(const SheetPage &page) const
{
    return rangeRect(CellRange{page.firstRow, page.firstColumn, page.lastRow, page.lastColumn});
}
