// OVGrid: sorting by a click on a column title.

#include "OVGrid_p.h"

#include "editing/EditRules.h"
#include "editing/GridEditing.h"

namespace {

const QString AscendingMark = QStringLiteral("/");
const QString DescendingMark = QStringLiteral("\\");

} // namespace

void OVGridPrivate::sortByColumn()
{
    const int rows = grd->rows();
    if (rows < 3)
        return;
    const int col = grd->col();
    if (!columns.contains(col))
        return;
    {
        const DrawingPause pause(grd);
        if (col == sortCol) {
            sortAscending = !sortAscending;
        } else {
            if (sortCol > 0 && columns.contains(sortCol))
                grd->setTextMatrix(0, sortCol, columns.title(sortCol));
            sortCol = col;
            sortAscending = true;
        }
        grd->setTextMatrix(0, col, columns.title(col) + (sortAscending ? AscendingMark : DescendingMark));

        // The entry row stays last: it is left out of the sort.
        int last = rows - 1;
        if (model()->textView(last, 0) == GridModel::EntryRowMark)
            --last;
        if (last >= 2) {
            moveInternally(1, col);
            grd->setRowSel(last);
            grd->setColSel(col);
            // A special-sort column sorts by its text without separators;
            // the texts themselves stay as they are.
            const bool special = columns.specialSort(col) && allowRowNo;
            grd->sort(sortAscending ? 1 : 2,
                      special ? GridModel::SortKeyOf(&EditRules::sortKey) : GridModel::SortKeyOf());
        }
        grd->setTopRow(1);
        moveInternally(1, col);
    }
    Q_EMIT q->AfterRowColChange(rows, grd->cols(), 1, grd->col());
    if (currentRowMode != OVGrid::ovCRNone)
        markCurrentRow(true);
    editing->updateDropButton();
    if (allowRowNo)
        q->UpdateRowNo(1);
    if (allowAlternate)
        paintAlternateRows(1, 1);
}

bool OVGrid::AllowSort() const
{
    return d->allowSort;
}

void OVGrid::setAllowSort(bool value)
{
    d->allowSort = value;
    d->markDirty();
}
