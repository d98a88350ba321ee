// OVGrid: size, current cell and cell text.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"

int OVGrid::Rows() const
{
    return d->grd->rows();
}

void OVGrid::setRows(int value)
{
    if (value > MaxRows || value < 1 || value == d->grd->rows())
        return;
    // Fewer rows is a reset or a cut: an open edit belongs to rows that go
    // or to a record being replaced, so it is dropped, never stored.
    if (value < d->grd->rows())
        d->editing->discardEdit();
    const bool noDataRow = d->grd->row() == 0 || d->grd->rows() == 1;
    const int oldRows = d->grd->rows();
    const int oldRow = d->grd->row();
    const int oldCol = d->grd->col();
    d->grd->setRows(value);
    d->markDirty();
    if (d->allowRowNo)
        UpdateRowNo(oldRows);
    if (d->allowAlternate && value > oldRows)
        d->paintAlternateRows(oldRows, 1);
    if (d->grd->row() != oldRow || noDataRow)
        d->announceCurrentCell(value, oldCol);
}

int OVGrid::Cols() const
{
    return d->grd->cols();
}

void OVGrid::setCols(int value)
{
    if (value < 1 || value > MaxCols || value == d->grd->cols())
        return;
    const int oldCols = d->grd->cols();
    const int oldRow = d->grd->row();
    const int oldCol = d->grd->col();
    d->grd->setCols(value);
    d->markDirty();
    d->columns.resize(value);
    for (int c = 0; c < value; ++c)
        d->grd->setFixedAlignment(c, 4);
    d->grd->setColAlignment(0, 4);
    if (d->allowAlternate && value > oldCols)
        d->paintAlternateRows(1, oldCols);
    if (value < oldCols && WordWrap())
        d->fitter->fitRows(1, d->grd->rows() - 1);
    if (d->grd->col() != oldCol) {
        Q_EMIT AfterRowColChange(oldRow, value, Row(), Col());
        d->editing->updateDropButton();
    }
}

int OVGrid::Row() const
{
    return d->grd->rows() == 1 ? 0 : d->grd->row();
}

void OVGrid::setRow(int value)
{
    if (value >= 0 && value < d->grd->rows())
        d->grd->setRow(value);
}

int OVGrid::Col() const
{
    return d->grd->col();
}

void OVGrid::setCol(int value)
{
    if (value >= 0 && value < d->grd->cols())
        d->grd->setCol(value);
}

QString OVGrid::Text() const
{
    return d->grd->text();
}

void OVGrid::setText(const QString &value)
{
    d->grd->setText(d->columns.formatCell(d->grd->row(), d->grd->col(), value));
    if (WordWrap())
        d->fitter->fitRow(-1);
}

QString OVGrid::TextMatrix(int Row, int Col) const
{
    if (!d->grd->contains(Row, Col))
        return QString();
    const QString text = d->grd->textMatrix(Row, Col);
    // A tick column reads as a truth value; its title stays a title.
    if (Row > 0 && d->columns.hasTickFormat(Col))
        return text.isEmpty() ? QStringLiteral("0") : QStringLiteral("-1");
    return text;
}

void OVGrid::setTextMatrix(int Row, int Col, const QString &value)
{
    if (!d->grd->contains(Row, Col))
        return;
    d->grd->setTextMatrix(Row, Col, d->columns.formatCell(Row, Col, value));
    if (WordWrap())
        d->fitter->fitRow(Row);
}
