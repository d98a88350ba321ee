#pragma once

#include "model/FormatCell.h"

#include <QString>

#include <vector>

// What the host said about each column, indexed by column 0 … Cols − 1: the
// editor tag and the display format, each kept as written and as read once
// when assigned; the title (kept so that a sort mark can be taken off
// again), the default text, and the word-wrap and special-sort flags.
class ColumnSet
{
public:
    // The editor a column's tag asks for.
    enum class Editor : quint8 { None, Text, Date, Combo, PickList, Tick, Other };

    int count() const { return int(m_columns.size()); }
    bool contains(int col) const { return col >= 0 && col < count(); }
    // Keeps the settings of the surviving columns; new ones are empty.
    void resize(int cols);

    const QString &tag(int col) const { return m_columns[size_t(col)].tag; }
    // None for a column outside the set.
    Editor editor(int col) const { return contains(col) ? m_columns[size_t(col)].editor : Editor::None; }
    // "txt" and "txtdate" columns edit in the text box.
    bool editsAsText(int col) const;
    // A tag with "cbo" in it ("cbo", "cbodata") offers the drop button.
    bool hasDropButton(int col) const { return contains(col) && m_columns[size_t(col)].dropButton; }
    void setTag(int col, const QString &tag);
    // A tag from a layout string, with what it brings: a date column takes
    // the short date format (and sorts by its digits when titles sort), a
    // tick column the tick format. True when the column is to be centred.
    bool assignTag(int col, const QString &tag, bool sortable);

    const QString &formatText(int col) const { return m_columns[size_t(col)].formatText; }
    const CellFormat &format(int col) const { return m_columns[size_t(col)].format; }
    bool hasTickFormat(int col) const { return m_columns[size_t(col)].role == FormatRole::Tick; }
    void setFormat(int col, const QString &format);
    // A format from a layout string: tick and short date columns are centred
    // (true), and a short date column sorts by its digits when titles sort.
    bool assignFormat(int col, const QString &format, bool sortable);
    // The text stored for a value written into a cell (row 0 never formats).
    QString formatCell(int row, int col, const QString &value) const;

    const QString &title(int col) const { return m_columns[size_t(col)].title; }
    void setTitle(int col, const QString &title) { m_columns[size_t(col)].title = title; }
    const QString &defaultText(int col) const { return m_columns[size_t(col)].defaultText; }
    void setDefaultText(int col, const QString &text) { m_columns[size_t(col)].defaultText = text; }
    bool wordWrap(int col) const { return m_columns[size_t(col)].wordWrap; }
    void setWordWrap(int col) { m_columns[size_t(col)].wordWrap = true; }
    bool specialSort(int col) const { return m_columns[size_t(col)].specialSort; }
    void setSpecialSort(int col) { m_columns[size_t(col)].specialSort = true; }

    // The lowest-numbered column 1 … with the pick-list, 0 for none.
    int pickListColumn() const;

private:
    // What a format means beyond its cells' texts.
    enum class FormatRole : quint8 { Plain, Tick, ShortDate };

    struct Column
    {
        QString tag;
        Editor editor = Editor::None;
        bool dropButton = false;
        QString formatText;
        CellFormat format;
        FormatRole role = FormatRole::Plain;
        QString title;
        QString defaultText;
        bool wordWrap = false;
        bool specialSort = false;
    };

    std::vector<Column> m_columns;
};
