#include "GridRow.h"

void GridRowStyle::ensure(int cols)
{
    if (int(back.size()) < cols) {
        back.resize(cols, 0);
        fore.resize(cols, 0);
        bold.resize(cols, false);
    }
}

GridRow GridRow::fromTabText(QStringView text, int maxCells)
{
    GridRow row;
    if (maxCells <= 0)
        return row;
    qsizetype start = 0;
    while (int(row.m_ends.size()) < maxCells) {
        const qsizetype tab = text.indexOf(u'\t', start);
        const qsizetype end = tab < 0 ? text.size() : tab;
        row.m_text.append(text.mid(start, end - start));
        row.m_ends.push_back(quint32(row.m_text.size()));
        if (tab < 0)
            break;
        start = tab + 1;
    }
    return row;
}

GridRow GridRow::fromParts(QString text, std::vector<quint32> ends)
{
    GridRow row;
    row.m_text = std::move(text);
    row.m_ends = std::move(ends);
    return row;
}

GridRow GridRow::clone() const
{
    GridRow row;
    row.m_text = m_text;
    row.m_ends = m_ends;
    row.m_data = m_data;
    if (m_style)
        row.m_style = std::make_unique<GridRowStyle>(*m_style);
    return row;
}

QStringView GridRow::text(int col) const
{
    if (col < 0 || col >= int(m_ends.size()))
        return {};
    const quint32 begin = col == 0 ? 0 : m_ends[col - 1];
    return QStringView(m_text).mid(begin, m_ends[col] - begin);
}

void GridRow::setText(int col, QStringView text)
{
    if (col < 0)
        return;
    if (col >= int(m_ends.size())) {
        if (text.isEmpty())
            return;
        m_ends.resize(col + 1, quint32(m_text.size()));
    }
    const quint32 begin = col == 0 ? 0 : m_ends[col - 1];
    const quint32 oldLength = m_ends[col] - begin;
    m_text.replace(begin, oldLength, text.toString());
    const qint64 shift = qint64(text.size()) - oldLength;
    for (size_t c = col; c < m_ends.size(); ++c)
        m_ends[c] = quint32(m_ends[c] + shift);
}

void GridRow::truncate(int cols)
{
    if (cols < int(m_ends.size())) {
        m_ends.resize(std::max(cols, 0));
        m_text.truncate(m_ends.empty() ? 0 : m_ends.back());
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
