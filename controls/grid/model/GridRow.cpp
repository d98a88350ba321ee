#include "GridRow.h"

#include <algorithm>
#include <cstring>

void GridRowStyle::ensure(int cols)
{
    if (int(back.size()) < cols) {
        back.resize(cols, 0);
        fore.resize(cols, 0);
        bold.resize(cols, false);
    }
}

void GridRow::allocate(int cells, quint32 capacity)
{
    const size_t units = size_t(cells) + (size_t(capacity) + 1) / 2;
    m_block = units == 0 ? nullptr : std::make_unique_for_overwrite<quint32[]>(units);
    m_cells = cells;
    m_capacity = quint32((units - size_t(cells)) * 2);
}

GridRow GridRow::fromTabText(QStringView text, int maxCells)
{
    std::vector<quint32> ends;
    qsizetype stop = 0; // end of the last kept cell in text
    quint32 length = 0;
    for (qsizetype start = 0; int(ends.size()) < maxCells;) {
        const qsizetype tab = text.indexOf(u'\t', start);
        stop = tab < 0 ? text.size() : tab;
        length += quint32(stop - start);
        ends.push_back(length);
        if (tab < 0)
            break;
        start = tab + 1;
    }
    GridRow row;
    row.allocate(int(ends.size()), length);
    std::copy(ends.begin(), ends.end(), row.ends());
    char16_t *out = row.chars();
    for (const QChar c : text.first(stop)) {
        if (c != u'\t')
            *out++ = c.unicode();
    }
    return row;
}

GridRow GridRow::fromParts(QStringView text, const quint32 *ends, int cells)
{
    GridRow row;
    row.allocate(cells, quint32(text.size()));
    std::copy_n(ends, cells, row.ends());
    std::copy_n(text.utf16(), text.size(), row.chars());
    return row;
}

GridRow GridRow::clone() const
{
    GridRow row = fromParts(QStringView(chars(), textLength()), ends(), m_cells);
    row.m_data = m_data;
    if (m_style)
        row.m_style = std::make_unique<GridRowStyle>(*m_style);
    return row;
}

QStringView GridRow::text(int col) const
{
    if (col < 0 || col >= m_cells)
        return {};
    const quint32 begin = col == 0 ? 0 : ends()[col - 1];
    return QStringView(chars() + begin, qsizetype(ends()[col] - begin));
}

void GridRow::setText(int col, QStringView text)
{
    if (col < 0 || (col >= m_cells && text.isEmpty()))
        return;
    const int cells = std::max(m_cells, col + 1);
    const quint32 oldLength = textLength();
    const quint32 begin = col >= m_cells ? oldLength : (col == 0 ? 0 : ends()[col - 1]);
    const quint32 end = col >= m_cells ? oldLength : ends()[col];
    const auto length = quint32(text.size());
    const quint32 newLength = oldLength - (end - begin) + length;
    const auto *from = reinterpret_cast<const char16_t *>(text.utf16());
    const bool aliased = m_block && from >= chars() && from < chars() + m_capacity;

    if (cells == m_cells && newLength <= m_capacity && !aliased) {
        std::memmove(chars() + begin + length, chars() + end, (oldLength - end) * sizeof(char16_t));
        std::copy_n(from, length, chars() + begin);
    } else {
        // A new block; the old one (which text may point into) is read first.
        GridRow fresh;
        fresh.allocate(cells, newLength);
        std::copy_n(ends(), m_cells, fresh.ends());
        std::fill(fresh.ends() + m_cells, fresh.ends() + cells, oldLength);
        std::copy_n(chars(), begin, fresh.chars());
        std::copy_n(from, length, fresh.chars() + begin);
        std::copy(chars() + end, chars() + oldLength, fresh.chars() + begin + length);
        m_block = std::move(fresh.m_block);
        m_cells = cells;
        m_capacity = fresh.m_capacity;
    }
    const qint64 shift = qint64(length) - qint64(end - begin);
    for (int c = col; c < m_cells; ++c)
        ends()[c] = quint32(ends()[c] + shift);
}

void GridRow::truncate(int cols)
{
    cols = std::max(cols, 0);
    if (cols < m_cells) {
        // The texts start after the ends: they move down into the room the
        // dropped ends leave.
        const quint32 length = cols == 0 ? 0 : ends()[cols - 1];
        const char16_t *oldChars = chars();
        const int dropped = m_cells - cols;
        m_cells = cols;
        m_capacity += quint32(dropped) * 2;
        std::memmove(chars(), oldChars, length * sizeof(char16_t));
    }
    if (m_style && int(m_style->back.size()) > cols) {
        m_style->back.resize(cols);
        m_style->fore.resize(cols);
        m_style->bold.resize(cols);
    }
}

GridRowStyle &GridRow::style(int cols)
{
    if (!m_style)
        m_style = std::make_unique<GridRowStyle>();
    m_style->ensure(cols);
    return *m_style;
}
