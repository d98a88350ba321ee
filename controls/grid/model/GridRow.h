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

// One grid row: the texts of its cells packed into one string, its row id and
// optional cell styles. Packing keeps a 58,000-row grid small and lets sums
// and sorts read cells without copying them. Cells past the stored ones read
// as empty.
class GridRow
{
public:
    GridRow() = default;
    // The cells of a tab-separated row text, starting with column 0; at most
    // maxCells are kept.
    static GridRow fromTabText(QStringView text, int maxCells);

    // A row from its packed text and the end of each cell in it.
    static GridRow fromParts(QString text, std::vector<quint32> ends);

    GridRow(GridRow &&) noexcept = default;
    GridRow &operator=(GridRow &&) noexcept = default;
    GridRow clone() const;

    // Adds a cell after the last one.
    void appendCell(QStringView text)
    {
        m_text.append(text);
        m_ends.push_back(quint32(m_text.size()));
    }

    int cellCount() const { return int(m_ends.size()); }
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
    QString m_text;
    std::vector<quint32> m_ends; // m_ends[c]: end of cell c in m_text
    qint32 m_data = 0;
    std::unique_ptr<GridRowStyle> m_style;
};
