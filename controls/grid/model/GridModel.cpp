#include "GridModel.h"

#include "Decimal.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <numeric>

namespace {

constexpr quint32 AlternateGrey = 0xE0E0E0;
// Marks a background a host set, 0 (the normal one) included, apart from
// none at all, where the alternating grey shows.
constexpr quint32 BackColorSet = 0x1000000;
constexpr quint32 ColourBits = 0xFFFFFF;
constexpr quint32 Red = 0x0000FF;

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// A sort key parsed once per cell, so comparing 58,000 rows never re-reads
// the texts as numbers.
struct SortKey
{
    QStringView text;
    double number = 0;
    bool numeric = false;
};

int compareKeys(const SortKey &a, const SortKey &b)
{
    if (a.numeric && b.numeric)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    return a.text.compare(b.text, Qt::CaseInsensitive);
}

} // namespace

GridModel::GridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_boldFont.setBold(true);
    m_rows.emplace_back();
}

GridModel::~GridModel() = default;

void GridModel::setRows(int rows)
{
    rows = std::max(rows, 1);
    const int old = this->rows();
    if (rows > old) {
        beginInsertRows(QModelIndex(), old - 1, rows - 2);
        m_rows.resize(rows);
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows(QModelIndex(), rows - 1, old - 2);
        m_rows.resize(rows);
        endRemoveRows();
    }
}

void GridModel::setCols(int cols)
{
    readRestOfLoad();
    cols = std::max(cols, 1);
    const int old = m_cols;
    if (cols == old)
        return;
    if (cols > old) {
        if (old >= 1)
            beginInsertColumns(QModelIndex(), old - 1, cols - 2);
        m_cols = cols;
        m_colAlignment.resize(cols, 9);
        m_fixedAlignment.resize(cols, 4);
        if (old >= 1)
            endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), cols - 1, old - 2);
        m_cols = cols;
        for (GridRow &row : m_rows)
            row.truncate(cols);
        m_colAlignment.resize(cols);
        m_fixedAlignment.resize(cols);
        endRemoveColumns();
    }
    if (old < 1)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 2);
}

QStringView GridModel::textView(int row, int col) const
{
    if (!has(row, col))
        return {};
    return m_rows[row].text(col);
}

void GridModel::setText(int row, int col, QStringView text)
{
    if (!has(row, col))
        return;
    GridRow &r = m_rows[row];
    if (r.text(col) == text)
        return;
    r.setText(col, text);
    cellChanged(row, col, {Qt::DisplayRole, Qt::TextAlignmentRole});
}

void GridModel::numberRows(int fromRow)
{
    fromRow = std::max(fromRow, 0);
    for (int r = fromRow; r < rows(); ++r) {
        if (m_rows[r].text(0) != EntryRowMark)
            m_rows[r].setText(0, QString::number(r));
    }
    if (fromRow == 0)
        Q_EMIT cornerChanged();
    if (rows() > 1 && fromRow < rows())
        Q_EMIT headerDataChanged(Qt::Vertical, std::max(fromRow - 1, 0), rows() - 2);
}

qint32 GridModel::rowData(int row) const
{
    return row >= 0 && row < rows() ? m_rows[row].data() : 0;
}

void GridModel::setRowData(int row, qint32 data)
{
    if (row >= 0 && row < rows())
        m_rows[row].setData(data);
}

void GridModel::insertRow(int before, QStringView tabText)
{
    before = std::clamp(before, 1, rows());
    beginInsertRows(QModelIndex(), before - 1, before - 1);
    m_rows.insert(m_rows.begin() + before, GridRow::fromTabText(tabText, m_cols));
    if (m_markedRow >= before)
        ++m_markedRow;
    endInsertRows();
}

void GridModel::insertRows(int before, std::vector<GridRow> &&rows)
{
    before = std::clamp(before, 1, this->rows());
    if (rows.empty())
        return;
    const int added = int(rows.size());
    beginInsertRows(QModelIndex(), before - 1, before - 1 + added - 1);
    m_rows.insert(m_rows.begin() + before, std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    if (m_markedRow >= before)
        m_markedRow += added;
    endInsertRows();
    rows.clear();
}

void GridModel::removeRowAt(int row)
{
    if (row < 1 || row >= rows())
        return;
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    m_rows.erase(m_rows.begin() + row);
    if (m_markedRow == row)
        m_markedRow = 0;
    else if (m_markedRow > row)
        --m_markedRow;
    endRemoveRows();
}

void GridModel::copyCells(int fromRow, int toRow, int fromCol, int toCol)
{
    if (!has(fromRow, fromCol) || !has(toRow, toCol) || fromRow == toRow || fromCol > toCol)
        return;
    for (int c = fromCol; c <= toCol; ++c)
        m_rows[toRow].setText(c, m_rows[fromRow].text(c));
    if (toRow == 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, std::max(fromCol - 1, 0), toCol - 1);
    else if (toCol >= 1)
        Q_EMIT dataChanged(index(toRow - 1, std::max(fromCol - 1, 0)), index(toRow - 1, toCol - 1));
    if (fromCol == 0 && toRow >= 1)
        Q_EMIT headerDataChanged(Qt::Vertical, toRow - 1, toRow - 1);
}

quint32 GridModel::storedBackColor(int row, int col) const
{
    if (!inside(row, col))
        return 0;
    const GridRowStyle *s = m_rows[row].style();
    return s && col < int(s->back.size()) ? s->back[col] : 0;
}

quint32 GridModel::backColor(int row, int col) const
{
    readRestOfLoad();
    return storedBackColor(row, col) & ColourBits;
}

void GridModel::setBackColor(int row, int col, quint32 bgr)
{
    const quint32 stored = (bgr & ColourBits) | BackColorSet;
    if (!has(row, col) || storedBackColor(row, col) == stored)
        return;
    m_rows[row].style(m_cols).back[col] = stored;
    cellChanged(row, col, {Qt::BackgroundRole});
}

quint32 GridModel::foreColor(int row, int col) const
{
    readRestOfLoad();
    return storedForeColor(row, col);
}

quint32 GridModel::storedForeColor(int row, int col) const
{
    if (!inside(row, col))
        return 0;
    const GridRowStyle *s = m_rows[row].style();
    return s && col < int(s->fore.size()) ? s->fore[col] : 0;
}

void GridModel::setForeColor(int row, int col, quint32 bgr)
{
    if (!has(row, col) || storedForeColor(row, col) == bgr)
        return;
    m_rows[row].style(m_cols).fore[col] = bgr;
    cellChanged(row, col, {Qt::ForegroundRole});
}

bool GridModel::bold(int row, int col) const
{
    readRestOfLoad();
    return storedBold(row, col);
}

bool GridModel::storedBold(int row, int col) const
{
    if (!inside(row, col))
        return false;
    const GridRowStyle *s = m_rows[row].style();
    return s && col < int(s->bold.size()) && s->bold[col];
}

void GridModel::setBold(int row, int col, bool bold)
{
    if (!has(row, col) || storedBold(row, col) == bold)
        return;
    m_rows[row].style(m_cols).bold[col] = bold;
    cellChanged(row, col, {Qt::FontRole});
}

void GridModel::clearBackColors(int fromRow, int fromCol)
{
    bool any = false;
    for (int r = std::max(fromRow, 0); r < rows(); ++r) {
        GridRow &row = m_rows[r];
        if (!row.style())
            continue;
        auto &back = row.style(m_cols).back;
        for (int c = std::max(fromCol, 0); c < int(back.size()); ++c) {
            any = any || back[c] != 0;
            back[c] = 0;
        }
    }
    if (any && rows() > 1 && m_cols > 1)
        Q_EMIT dataChanged(index(0, 0), index(rows() - 2, m_cols - 2), {Qt::BackgroundRole});
}

void GridModel::setAlternate(bool on)
{
    if (m_alternate == on)
        return;
    m_alternate = on;
    if (count() > 1 && m_cols > 1)
        Q_EMIT dataChanged(index(0, 0), index(count() - 2, m_cols - 2), {Qt::BackgroundRole});
}

void GridModel::setMarkedRow(int row, RowMark mark)
{
    const int old = m_markedRow;
    m_markedRow = mark == RowMark::None ? 0 : row;
    m_mark = mark;
    for (int r : {old, m_markedRow}) {
        if (r >= 1 && r < count()) {
            if (m_cols > 1)
                Q_EMIT dataChanged(index(r - 1, 0), index(r - 1, m_cols - 2));
            Q_EMIT headerDataChanged(Qt::Vertical, r - 1, r - 1);
        }
    }
}

int GridModel::colAlignment(int col) const
{
    return col >= 0 && col < m_cols ? m_colAlignment[col] : 0;
}

void GridModel::setColAlignment(int col, int alignment)
{
    if (col < 0 || col >= m_cols)
        return;
    m_colAlignment[col] = alignment;
    if (col == 0) {
        if (count() > 1)
            Q_EMIT headerDataChanged(Qt::Vertical, 0, count() - 2);
    } else if (count() > 1) {
        Q_EMIT dataChanged(index(0, col - 1), index(count() - 2, col - 1), {Qt::TextAlignmentRole});
    }
}

int GridModel::fixedAlignment(int col) const
{
    return col >= 0 && col < m_cols ? m_fixedAlignment[col] : 0;
}

void GridModel::setFixedAlignment(int col, int alignment)
{
    if (col < 0 || col >= m_cols)
        return;
    m_fixedAlignment[col] = alignment;
    if (col >= 1)
        Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
}

void GridModel::setFont(const QFont &font)
{
    m_boldFont = font;
    m_boldFont.setBold(true);
}

void GridModel::sortRows(int fromRow, int toRow, int fromCol, int toCol, bool ascending,
                         const SortKeyOf &keyOf)
{
    fromRow = std::max(fromRow, 1);
    toRow = std::min(toRow, rows() - 1);
    fromCol = std::max(fromCol, 0);
    toCol = std::min(toCol, m_cols - 1);
    if (toRow - fromRow < 1 || fromCol > toCol)
        return;
    const int count = toRow - fromRow + 1;
    const int keyCols = toCol - fromCol + 1;
    std::vector<SortKey> keys(size_t(count) * keyCols);
    std::vector<QString> keyTexts(keyOf ? keys.size() : 0);
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < keyCols; ++k) {
            const size_t at = size_t(i) * keyCols + k;
            SortKey &key = keys[at];
            key.text = m_rows[fromRow + i].text(fromCol + k);
            if (keyOf) {
                keyTexts[at] = keyOf(key.text);
                key.text = keyTexts[at];
            }
            if (const auto n = Decimal::read(key.text)) {
                key.numeric = true;
                key.number = n->toDouble();
            }
        }
    }
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    // A stable merge sort: text and numbers mixed in one column do not form
    // a strict order, and a merge sort stays safe and predictable with that.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int k = 0; k < keyCols; ++k) {
            const int c = compareKeys(keys[size_t(a) * keyCols + k], keys[size_t(b) * keyCols + k]);
            if (c != 0)
                return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<GridRow> sorted;
    sorted.reserve(count);
    for (int i : order)
        sorted.push_back(std::move(m_rows[fromRow + i]));
    std::move(sorted.begin(), sorted.end(), m_rows.begin() + fromRow);
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        std::vector<int> newPosition(count);
        for (int i = 0; i < count; ++i)
            newPosition[order[i]] = i;
        QModelIndexList moved;
        for (const QModelIndex &index : persistent) {
            const int r = index.row() + 1;
            moved << (r >= fromRow && r <= toRow
                          ? this->index(fromRow + newPosition[r - fromRow] - 1, index.column())
                          : index);
        }
        changePersistentIndexList(persistent, moved);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GridModel::sort(int column, Qt::SortOrder order)
{
    sortRows(1, rows() - 1, column + 1, column + 1, order == Qt::AscendingOrder);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count() - 1;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(m_cols - 1, 0);
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    return cellData(index.row() + 1, index.column() + 1, role);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return cellData(0, section + 1, role);
    return cellData(section + 1, 0, role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_takesText && m_takesText(index.column() + 1))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant GridModel::cellData(int row, int col, int role) const
{
    if (!inside(row, col))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_rows[row].text(col).toString();
    case Qt::TextAlignmentRole: {
        const int setting = row == 0 ? m_fixedAlignment[col] : m_colAlignment[col];
        const bool numeric = setting == 9 && Decimal::read(m_rows[row].text(col)).has_value();
        return QVariant::fromValue(toQtAlignment(setting, numeric));
    }
    case Qt::BackgroundRole: {
        if (const quint32 back = storedBackColor(row, col)) {
            if (back & ColourBits)
                return QBrush(fromBgr(back & ColourBits));
            return {}; // set to 0: the normal background, even on a grey row
        }
        if (m_alternate && row >= 1 && col >= 1 && row % 2 == 0)
            return QBrush(fromBgr(AlternateGrey));
        return {};
    }
    case Qt::ForegroundRole: {
        if (m_mark == RowMark::Red && row == m_markedRow)
            return QBrush(fromBgr(Red));
        if (const quint32 fore = storedForeColor(row, col))
            return QBrush(fromBgr(fore));
        return {};
    }
    case Qt::FontRole:
        if ((m_mark == RowMark::Bold && row == m_markedRow) || storedBold(row, col))
            return m_boldFont;
        return {};
    default:
        return {};
    }
}

void GridModel::cellChanged(int row, int col, const QList<int> &roles)
{
    if (row == 0 && col == 0) {
        Q_EMIT cornerChanged();
    } else if (row == 0) {
        if (col >= 1)
            Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    } else if (col == 0) {
        Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else {
        const QModelIndex i = index(row - 1, col - 1);
        Q_EMIT dataChanged(i, i, roles);
    }
}

Qt::Alignment GridModel::toQtAlignment(int alignment, bool numeric)
{
    if (alignment == 9)
        return (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    const int a = std::clamp(alignment, 0, 8);
    return horizontal[a / 3] | vertical[a % 3];
}
