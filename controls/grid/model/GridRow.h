#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

// Colours and bold of the cells of one row, kept only for rows that have any.
// A colour of 0 means the grid's normal one.
struct GridRowStyle
{
    std::vector<quint32> back;
    std::vector<quint32> fore;
    std::vector<bool> bold;

    void ensure(int cols);
};

// One grid row: the texts of its cells packed into one block together with
// the end of each cell, its row id and optional cell styles. One allocation
// per row keeps a 58,000-row grid small and quick to fill and free, and lets
// sums and sorts read cells without copying them. Cells past the stored
// ones read as empty.
class GridRow
{
public:
    GridRow() = default;
    // The cells of a tab-separated row text, starting with column 0; at most
    // maxCells are kept.
    static GridRow fromTabText(QStringView text, int maxCells);

    // A row from its cells' texts one after another and the end of each.
    static GridRow fromParts(QStringView text, const quint32 *ends, int cells);

    GridRow(GridRow &&) noexcept = default;
    GridRow &operator=(GridRow &&) noexcept = default;
    GridRow clone() const;

    int cellCount() const { return m_cells; }
    QStringView text(int col) const;
    void setText(int col, QStringView text);
    // Drops the cells from col on (a narrower grid forgets them).
    void truncate(int cols);

    qint32 data() const { return m_data; }
    void setData(qint32 data) { m_data = data; }

    const GridRowStyle *style() const { return m_style.get(); }
    GridRowStyle &style(int cols);
    void clearStyle() { m_style.reset(); }

private:
    quint32 *ends() const { return m_block.get(); }
    char16_t *chars() const { return reinterpret_cast<char16_t *>(m_block.get() + m_cells); }
    quint32 textLength() const { return m_cells == 0 ? 0 : ends()[m_cells - 1]; }
    // A block for cells cells and room for capacity text units; the ends are
    // left for the caller to write.
    void allocate(int cells, quint32 capacity);

    std::unique_ptr<quint32[]> m_block; // ends()[c]: end of cell c in chars()
    int m_cells = 0;
    quint32 m_capacity = 0; // text units chars() has room for
    qint32 m_data = 0;
    std::unique_ptr<GridRowStyle> m_style;
};
