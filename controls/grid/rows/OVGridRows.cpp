// OVGrid: adding, removing, copying and numbering rows.

#include "OVGrid_p.h"

#include "appearance/RowFitMarks.h"

#include <QComboBox>
#include <QLabel>

namespace {

const QString Placeholder = QStringLiteral("*");

} // namespace

void OVGridPrivate::applyDefaults(int row)
{
    if (row == 0)
        row = grd->row();
    for (int c = 1; c < grd->cols(); ++c) {
        if (!colSettings.defaultText[c].isEmpty() && model()->textView(row, c).isEmpty())
            grd->setTextMatrix(row, c, colSettings.defaultText[c]);
    }
}

void OVGridPrivate::reformatRow(int row)
{
    if (row == 0)
        row = grd->row();
    for (int c = 1; c < grd->cols(); ++c) {
        if (colSettings.format[c].isEmpty() || model()->textView(row, c).isEmpty())
            continue;
        grd->setTextMatrix(row, c, formatCell(row, c, grd->textMatrix(row, c)));
    }
}

QString OVGridPrivate::gridText() const
{
    QString text;
    for (int r = 0; r < grd->rows(); ++r) {
        if (model()->textView(r, 0) == Placeholder)
            break;
        if (r > 0)
            text += QLatin1String("\r\n");
        bool first = true;
        for (int c = 1; c < grd->cols(); ++c) {
            if (grd->colWidth(c) == 0)
                continue;
            if (!first)
                text += u'\t';
            first = false;
            text += model()->textView(r, c);
        }
    }
    return text;
}

void OVGridPrivate::removeRow(int row)
{
    // The grid keeps at least one data row; removing the last one empties it.
    if (grd->rows() == 2)
        grd->setRows(1);
    else
        grd->removeItem(row);
}

void OVGrid::AddItem(const QString &Item, int Row, bool SetRow)
{
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
    if (d->model()->textView(Row, 0) != Placeholder) {
        d->applyDefaults(Row);
        d->reformatRow(Row);
        if (WordWrap())
            d->fitRowHeight(Row);
    }
    if (noDataRow) {
        d->announceCurrentCell(d->grd->rows(), d->grd->cols());
    } else {
        // The insertion pushed the current data row down: follow it.
        if (d->grd->row() >= Row)
            d->moveInternally(d->grd->row() + 1, d->grd->col());
        if (d->editable)
            d->showDropButton();
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
    d->removeRow(Row);
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
        if (d->editable)
            d->showDropButton();
    }
}

void OVGrid::RemoveRowOne(int Row)
{
    if (Row < 1 || Row > d->grd->rows() - 1)
        return;
    d->removeRow(Row);
    d->grd->refresh();
}

void OVGrid::CopyRow(int Row1, int Row2, int Col1, int Col2)
{
    if (Col1 == 0)
        Col1 = 1;
    if (Col2 == 0)
        Col2 = d->grd->cols() - 1;
    if (d->isOutOfRange(Row1, Col1) || d->isOutOfRange(Row2, Col2) || Col1 > Col2)
        return;
    d->model()->copyCells(Row1, Row2, Col1, Col2);
    d->fitIfMarked(Row1);
    d->fitMarks->take(Row2);
    d->grd->setRowHeightTwips(Row2, d->grd->rowHeightTwips(Row1));
}

void OVGrid::AutoLastRow()
{
    const int last = d->grd->rows() - 1;
    if (last < 1 || d->grd->row() != last || d->grd->rows() >= MaxLoadedRows)
        return;
    d->applyDefaults(last);
    d->reformatRow(last);
    // The new row's alternate colour comes from the grid's colouring of even
    // rows, which covers every row as it is drawn.
    if (!d->allowRowNo) {
        d->grd->addItem(QStringLiteral("\t"));
    } else {
        d->grd->setTextMatrix(last, 0, QString::number(last));
        d->grd->addItem(Placeholder);
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

void OVGrid::AddCboList(int Col, const QString &NewValue)
{
    const QString value = NewValue.trimmed();
    if (value.isEmpty() || !d->colSettings.contains(Col))
        return;
    QComboBox *combo = d->columnCombo(Col);
    d->raiseCombo(combo);
    if (combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        combo->addItem(value);
}
