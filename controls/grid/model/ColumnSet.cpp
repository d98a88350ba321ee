#include "ColumnSet.h"

#include <algorithm>

namespace {

const QString TagText = QStringLiteral("txt");
const QString TagDate = QStringLiteral("txtdate");
const QString TagCombo = QStringLiteral("cbo");
const QString TagPickList = QStringLiteral("cbodata");
const QString TagTick = QStringLiteral("chk");
// The tick tag's format has the tag's name; date columns show the short date.
const QString &TickFormat = TagTick;
const QString ShortDateFormat = QStringLiteral("yy-mm-dd");

ColumnSet::Editor editorOf(const QString &tag)
{
    using Editor = ColumnSet::Editor;
    if (tag.isEmpty())
        return Editor::None;
    if (tag == TagText)
        return Editor::Text;
    if (tag == TagDate)
        return Editor::Date;
    if (tag == TagCombo)
        return Editor::Combo;
    if (tag == TagPickList)
        return Editor::PickList;
    if (tag == TagTick)
        return Editor::Tick;
    return Editor::Other;
}

} // namespace

void ColumnSet::resize(int cols)
{
    m_columns.resize(size_t(std::max(cols, 0)));
}

bool ColumnSet::editsAsText(int col) const
{
    const Editor e = editor(col);
    return e == Editor::Text || e == Editor::Date;
}

void ColumnSet::setTag(int col, const QString &tag)
{
    Column &column = m_columns[size_t(col)];
    column.tag = tag;
    column.editor = editorOf(tag);
    column.dropButton = tag.contains(TagCombo);
}

bool ColumnSet::assignTag(int col, const QString &tag, bool sortable)
{
    setTag(col, tag);
    switch (editor(col)) {
    case Editor::Date:
        setFormat(col, ShortDateFormat);
        if (sortable)
            setSpecialSort(col);
        return true;
    case Editor::Tick:
        setFormat(col, TickFormat);
        return true;
    default:
        return false;
    }
}

void ColumnSet::setFormat(int col, const QString &format)
{
    Column &column = m_columns[size_t(col)];
    column.formatText = format;
    column.format = CellFormat(format);
    column.role = format == TickFormat          ? FormatRole::Tick
                  : format == ShortDateFormat   ? FormatRole::ShortDate
                                                : FormatRole::Plain;
}

bool ColumnSet::assignFormat(int col, const QString &format, bool sortable)
{
    setFormat(col, format);
    const FormatRole role = m_columns[size_t(col)].role;
    if (role == FormatRole::ShortDate && sortable)
        setSpecialSort(col);
    return role != FormatRole::Plain;
}

QString ColumnSet::formatCell(int row, int col, const QString &value) const
{
    if (row == 0 || !contains(col))
        return value;
    return format(col).apply(value);
}

int ColumnSet::pickListColumn() const
{
    for (int c = 1; c < count(); ++c) {
        if (m_columns[size_t(c)].editor == Editor::PickList)
            return c;
    }
    return 0;
}
