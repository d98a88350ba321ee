#include "Worksheet.h"

#include "NumberFormat.h"
#include "SheetError.h"

#include <algorithm>

namespace {

void checkCell(int row, int column)
{
    if (row < 1 || row > kMaxSheetRows || column < 1 || column > kMaxSheetColumns)
        throw SheetError(QStringLiteral("单元格超出工作表范围：第 %1 行第 %2 列").arg(row).arg(column));
}

bool isVisiblyStyled(const CellStyle &style)
{
    return style.fill.isValid() || style.left.style != BorderStyle::None || style.right.style != BorderStyle::None
           || style.top.style != BorderStyle::None || style.bottom.style != BorderStyle::None;
}

} // namespace

std::optional<CellRange> CellRange::fromReference(QStringView reference)
{
    auto parseCell = [](QStringView text) -> std::optional<std::pair<int, int>> {
        qsizetype i = 0;
        if (i < text.size() && text.at(i) == QLatin1Char('$'))
            ++i;
        qint64 column = 0;
        while (i < text.size() && text.at(i).isLetter() && text.at(i).unicode() < 128) {
            column = column * 26 + (text.at(i).toUpper().unicode() - 'A' + 1);
            if (column > kMaxSheetColumns)
                return std::nullopt;
            ++i;
        }
        if (i < text.size() && text.at(i) == QLatin1Char('$'))
            ++i;
        bool ok = false;
        const int row = text.mid(i).toInt(&ok);
        if (!ok || column == 0 || row < 1 || row > kMaxSheetRows || !text.mid(i).front().isDigit())
            return std::nullopt;
        return std::pair<int, int>(row, int(column));
    };
    const qsizetype colon = reference.indexOf(QLatin1Char(':'));
    const auto first = parseCell(colon < 0 ? reference : reference.left(colon));
    const auto last = colon < 0 ? first : parseCell(reference.mid(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return CellRange{std::min(first->first, last->first), std::min(first->second, last->second),
                     std::max(first->first, last->first), std::max(first->second, last->second)};
}

QString ColumnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

Worksheet::Worksheet(const QString &name)
    : m_name(name)
{
}

void Worksheet::setName(const QString &name)
{
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    const bool valid = !name.isEmpty() && name.size() <= 31 && !name.startsWith(QLatin1Char('\''))
                       && !name.endsWith(QLatin1Char('\''))
                       && std::none_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
    if (!valid)
        throw SheetError(QStringLiteral("工作表名称无效：“%1”").arg(name));
    m_name = name;
}

const Worksheet::Cell *Worksheet::findCell(int row, int column) const
{
    const auto it = m_rows.find(row);
    if (it == m_rows.end() || column < 1 || std::size_t(column) > it->second.size())
        return nullptr;
    const Cell &cell = it->second[column - 1];
    return cell.stored ? &cell : nullptr;
}

Worksheet::Cell &Worksheet::cellForWriting(int row, int column)
{
    checkCell(row, column);
    std::vector<Cell> &cells = m_rows[row];
    if (cells.size() < std::size_t(column))
        cells.resize(column);
    Cell &cell = cells[column - 1];
    if (!cell.stored) {
        cell.style = styleIndex(row, column);
        cell.stored = true;
    }
    return cell;
}

void Worksheet::setValue(int row, int column, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        setNumber(row, column, value.toDouble());
        return;
    default:
        break;
    }
    setFromText(row, column, value.toString());
}

void Worksheet::setFromText(int row, int column, QStringView text)
{
    if (!IsTextFormat(cellStyle(row, column).numberFormat)) {
        if (const auto number = NumberFromCellText(text)) {
            setNumber(row, column, *number);
            return;
        }
    }
    setText(row, column, text.toString());
}

void Worksheet::setText(int row, int column, const QString &text)
{
    Cell &cell = cellForWriting(row, column);
    cell.kind = text.isEmpty() ? CellKind::Empty : CellKind::Text;
    cell.text = text;
    cell.number = 0;
}

void Worksheet::setNumber(int row, int column, double number)
{
    Cell &cell = cellForWriting(row, column);
    cell.kind = CellKind::Number;
    cell.text.clear();
    cell.number = number;
}

CellKind Worksheet::kind(int row, int column) const
{
    const Cell *cell = findCell(row, column);
    return cell ? cell->kind : CellKind::Empty;
}

QString Worksheet::text(int row, int column) const
{
    const Cell *cell = findCell(row, column);
    return cell ? cell->text : QString();
}

double Worksheet::number(int row, int column) const
{
    const Cell *cell = findCell(row, column);
    return cell ? cell->number : 0;
}

QVariant Worksheet::value(int row, int column) const
{
    const Cell *cell = findCell(row, column);
    if (!cell || cell->kind == CellKind::Empty)
        return QVariant();
    return cell->kind == CellKind::Number ? QVariant(cell->number) : QVariant(cell->text);
}

QString Worksheet::displayText(int row, int column) const
{
    const Cell *cell = findCell(row, column);
    if (!cell)
        return QString();
    switch (cell->kind) {
    case CellKind::Empty: return QString();
    case CellKind::Text: return cell->text;
    case CellKind::Number: return FormatCellNumber(cell->number, style(cell->style).numberFormat);
    }
    return QString();
}

void Worksheet::pasteText(const QString &text, int row, int column)
{
    int r = row;
    int c = column;
    qsizetype start = 0;
    const qsizetype n = text.size();
    auto putCell = [&](qsizetype end) {
        if (end > start)
            setFromText(r, c, QStringView(text).mid(start, end - start));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\t')) {
            putCell(i);
            ++c;
            start = i + 1;
        } else if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            putCell(i);
            if (ch == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++r;
            c = column;
            start = i + 1;
        }
    }
    putCell(n);
}

int Worksheet::addStyle(const CellStyle &style)
{
    m_styles.push_back(style);
    return int(m_styles.size()) - 1;
}

void Worksheet::setStyle(int index, const CellStyle &style)
{
    if (index >= 0 && std::size_t(index) < m_styles.size())
        m_styles[index] = style;
}

const CellStyle &Worksheet::style(int index) const
{
    return index >= 0 && std::size_t(index) < m_styles.size() ? m_styles[index] : m_styles.front();
}

int Worksheet::styleIndex(int row, int column) const
{
    if (const Cell *cell = findCell(row, column))
        return cell->style;
    const auto rowFormat = m_rowFormats.find(row);
    if (rowFormat != m_rowFormats.end() && rowFormat->second.style >= 0)
        return rowFormat->second.style;
    if (const ColumnFormat *format = columnFormat(column); format && format->style >= 0)
        return format->style;
    return 0;
}

void Worksheet::setStyleIndex(int row, int column, int index)
{
    cellForWriting(row, column).style = index;
}

const Worksheet::ColumnFormat *Worksheet::columnFormat(int column) const
{
    // Later definitions win, as they would when a file lists overlapping ones.
    for (auto it = m_columnFormats.rbegin(); it != m_columnFormats.rend(); ++it) {
        if (column >= it->first && column <= it->last)
            return &*it;
    }
    return nullptr;
}

double Worksheet::columnWidth(int column) const
{
    const ColumnFormat *format = columnFormat(column);
    if (!format)
        return m_defaultColumnWidth;
    if (format->hidden)
        return 0;
    return format->width >= 0 ? format->width : m_defaultColumnWidth;
}

void Worksheet::setColumnFormat(int first, int last, double width, bool hidden, int style)
{
    first = std::clamp(first, 1, kMaxSheetColumns);
    last = std::clamp(last, first, kMaxSheetColumns);
    m_columnFormats.push_back(ColumnFormat{first, last, width, hidden, style});
}

double Worksheet::rowHeight(int row) const
{
    const auto it = m_rowFormats.find(row);
    if (it == m_rowFormats.end())
        return m_defaultRowHeight;
    if (it->second.hidden)
        return 0;
    return it->second.height >= 0 ? it->second.height : m_defaultRowHeight;
}

void Worksheet::setRowFormat(int row, double points, bool hidden, int style)
{
    checkCell(row, 1);
    m_rowFormats[row] = RowFormat{points, hidden, style};
}

void Worksheet::addMerge(const CellRange &range)
{
    checkCell(range.top, range.left);
    checkCell(range.bottom, range.right);
    // An overlapping merge is refused, as a spreadsheet refuses it.
    for (const CellRange &other : m_merges) {
        if (range.left <= other.right && range.right >= other.left && range.top <= other.bottom
            && range.bottom >= other.top)
            return;
    }
    if (range.top != range.bottom || range.left != range.right)
        m_merges.push_back(range);
}

const CellRange *Worksheet::mergeAt(int row, int column) const
{
    for (const CellRange &range : m_merges) {
        if (range.contains(row, column))
            return &range;
    }
    return nullptr;
}

CellRange Worksheet::usedRange() const
{
    std::optional<CellRange> used;
    auto include = [&used](int top, int left, int bottom, int right) {
        if (!used) {
            used = CellRange{top, left, bottom, right};
            return;
        }
        used->top = std::min(used->top, top);
        used->left = std::min(used->left, left);
        used->bottom = std::max(used->bottom, bottom);
        used->right = std::max(used->right, right);
    };
    forEachCell([&](int row, int column, CellKind kind, const QString &, double, int styleIndex) {
        if (kind != CellKind::Empty || isVisiblyStyled(style(styleIndex)))
            include(row, column, row, column);
    });
    for (const CellRange &range : m_merges)
        include(range.top, range.left, range.bottom, range.right);
    return used.value_or(CellRange());
}

void Worksheet::select(int row, int column)
{
    checkCell(row, column);
    m_selection = {row, column};
}
