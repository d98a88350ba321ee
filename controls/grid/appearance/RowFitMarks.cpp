#include "RowFitMarks.h"

#include <QAbstractItemModel>

#include <algorithm>

RowFitMarks::RowFitMarks(QAbstractItemModel *model, QObject *parent)
    : QObject(parent)
    , m_marked(size_t(model->rowCount()), false)
{
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { inserted(first, last); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { removed(first, last); });
    connect(model, &QAbstractItemModel::modelReset, this, [this, model] {
        m_marked.assign(size_t(model->rowCount()), false);
        m_count = 0;
    });
}

void RowFitMarks::mark(int fromRow, int toRow)
{
    const int first = std::max(fromRow, 1) - 1;
    const int last = std::min(toRow, int(m_marked.size()));
    for (int i = first; i < last; ++i) {
        if (!m_marked[size_t(i)]) {
            m_marked[size_t(i)] = true;
            ++m_count;
        }
    }
}

bool RowFitMarks::take(int row)
{
    if (m_count == 0 || row < 1 || row > int(m_marked.size()) || !m_marked[size_t(row - 1)])
        return false;
    m_marked[size_t(row - 1)] = false;
    --m_count;
    return true;
}

void RowFitMarks::inserted(int first, int last)
{
    m_marked.insert(m_marked.begin() + first, size_t(last - first + 1), false);
}

void RowFitMarks::removed(int first, int last)
{
    const auto from = m_marked.begin() + first;
    const auto to = m_marked.begin() + last + 1;
    m_count -= int(std::count(from, to, true));
    m_marked.erase(from, to);
}
