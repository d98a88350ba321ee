// OVGrid: adding, removing, copying and numbering rows.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"

#include <optional>

namespace {


// A new row's empty cells take their column's default text.
void applyDefaults(GridView *grd, const ColumnSet &columns, int row)
{
    for (int c = 1; c < grd->cols(); ++c) {
        if (!columns.defaultText(c).isEmpty() && grd->gridModel()->textView(row, c).isEmpty())
            grd->setTextMatrix(row, c, columns.defaultText(c));
    }
}

void reformatRow(GridView *grd, const ColumnSet &columns, int row)
{
    for (int c = 1; c < grd->cols(); ++c) {
        if (columns.formatText(c).isEmpty() || grd->gridModel()->textView(row, c).isEmpty())
            continue;
        grd->setTextMatrix(row, c, columns.formatCell(row, c, grd->textMatrix(row, c)));
    }
}

// Removes a data row, or empties the grid when it is the only one.
void removeRow(GridView *grd, int row)
{
    // The grid keeps at least one data row; removing the last one empties it.
    if (grd->rows() == 2)
        grd->setRows(1);
    else
        grd->removeItem(row);
}

} // namespace

void OVGrid::AddItem(const QString &Item, int Row, bool SetRow)
{
    // A row appended behind a load still being read (the entry row), with
    // no cell event to raise, leaves the rest pending: it goes in before
    // the new row, and rows past the limit are dropped then. Events to the
    // host come after, on the whole grid.
    std::optional<GridModel::KeepRestPending> keep;
    if (Row == 0 && !SetRow && d->grd->row() != 0)
        keep.emplace(d->model());
    if (Row < 0 || Row > d->grd->rows() - 1 || d->grd->rows() >= MaxLoadedRows)
        return;
    const bool noDataRow = d->grd->row() == 0 || d->grd->rows() == 1;
    d->grd->addItem(Item, Row);
    if (Row == 0)
        Row = d->grd->rows() - 1;
    if (d->allowRowNo)
        UpdateRowNo(Row);
    if (d->allowAlternate)
        d->paintAlternateRows(Row, 1);
    if (d->model()->textView(Row, 0) != GridModel::EntryRowMark) {
        applyDefaults(d->grd, d->columns, Row);
        reformatRow(d->grd, d->columns, Row);
        if (WordWrap())
            d->fitter->fitRow(Row);
    }
    keep.reset();
    if (noDataRow) {
        d->announceCurrentCell(d->grd->rows(), d->grd->cols());
    } else {
        // The insertion pushed the current data row down: follow it.
        if (d->grd->row() >= Row)
            d->moveInternally(d->grd->row() + 1, d->grd->col());
        d->editing->updateDropButton();
    }
    if (SetRow) {
        d->grd->setRow(Row);
        d->grd->showCurrentCell();
    }
}

void OVGrid::RemoveItem(int Row)
{
    const int current = d->grd->rows() == 1 ? 0 : d->grd->row();
    if (Row == 0)
        Row = current;
    if (Row < 1 || Row > d->grd->rows() - 1)
        return;
    const bool noDataRow = current == 0;
    const bool aboveCurrent = Row < current;
    const bool isCurrent = Row == current;
    const bool currentIsLast = current == d->grd->rows() - 1;
    removeRow(d->grd, Row);
    if (d->allowRowNo)
        UpdateRowNo(Row);
    if (d->allowAlternate)
        d->paintAlternateRows(Row, 1);
    if (noDataRow || isCurrent) {
        d->announceCurrentCell(d->grd->rows(), d->grd->cols());
    } else {
        // A row above went away: the same data row stays current.
        if (aboveCurrent && !currentIsLast)
            d->moveInternally(d->grd->row() - 1, d->grd->col());
        d->editing->updateDropButton();
    }
}

void OVGrid::RemoveRowOne(int Row)
{
    if (Row < 1 || Row > d->grd->rows() - 1)
        return;
    removeRow(d->grd, Row);
    d->grd->refresh();
}

void OVGrid::CopyRow(int Row1, int Row2, int Col1, int Col2)
{
    if (Col1 == 0)
        Col1 = 1;
    if (Col2 == 0)
        Col2 = d->grd->cols() - 1;
    if (!d->grd->contains(Row1, Col1) || !d->grd->contains(Row2, Col2) || Col1 > Col2)
        return;
    d->model()->copyCells(Row1, Row2, Col1, Col2);
    d->fitter->fitIfMarked(Row1);
    d->fitter->unmark(Row2);
    d->grd->setRowHeightTwips(Row2, d->grd->rowHeightTwips(Row1));
}

void OVGrid::AutoLastRow()
{
    const int last = d->grd->rows() - 1;
    if (last < 1 || d->grd->row() != last || d->grd->rows() >= MaxLoadedRows)
        return;
    applyDefaults(d->grd, d->columns, last);
    reformatRow(d->grd, d->columns, last);
    // The new row's alternate colour comes from the grid's colouring of even
    // rows, which covers every row as it is drawn.
    if (!d->allowRowNo) {
        d->grd->addItem(QStringLiteral("\t"));
    } else {
        d->grd->setTextMatrix(last, 0, QString::number(last));
        d->grd->addItem(GridModel::EntryRowMark.toString());
    }
}

void OVGrid::RowVisible(int Row)
{
    if (Row == 0)
        Row = d->grd->rows() - 1;
    if (Row < 1 || Row > d->grd->rows() - 1)
        return;
    d->grd->setRow(Row);
    d->grd->showCurrentCell();
}

void OVGrid::UpdateRowNo(int Row)
{
    if (Row < 0 || Row > d->grd->rows() - 1)
        return;
    d->model()->numberRows(Row);
}

bool OVGrid::AllowRowDelete() const
{
    return d->allowRowDelete;
}

void OVGrid::setAllowRowDelete(bool value)
{
    d->allowRowDelete = value;
    d->markDirty();
}

bool OVGrid::AllowRowNo() const
{
    return d->allowRowNo;
}

void OVGrid::setAllowRowNo(bool value)
{
    d->allowRowNo = value;
    d->markDirty();
}
