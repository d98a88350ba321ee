#pragma once

#include <QList>
#include <QString>

#include <utility>

class OVGrid;

// A grid's layout written once, as one entry per column (from column 0, the
// row numbers), instead of List* strings whose column numbers must be kept
// in step with the window's column names by hand.
struct GridColumn
{
    QString title;
    int width = 0;          // twips; 0 hides the column
    QString tag;            // the editor: "txt", "cbo", …; empty for none
    QString format;         // "0.00", "z", "yy-mm-dd", …
    QString defaultText;    // put into the cell of a new row
    int alignment = -1;     // the grid's alignment number; -1 leaves its own
    bool wordWrap = false;
};

// Assigns the List* strings made from columns, in the order the grid takes
// them: ListWordWrap, ListWidth, ListTitle, ListTag, ListFormat, ListDefault,
// ListAlignment; a property no column sets is left alone.
void LayOutGrid(OVGrid *grid, const QList<GridColumn> &columns);

// The grid's short form of per-column values: the columns sharing a value
// listed together after the first of them ("3;txt|6|7|4;cbo|5"), values in
// the order they first appear.
QString ColumnValues(const QList<std::pair<int, QString>> &values);
