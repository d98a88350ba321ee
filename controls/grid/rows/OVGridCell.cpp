// OVGrid: Aggregate and Cell.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"
#include "rows/Aggregate.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcCell, "tovik.grid.cell")

constexpr quint32 ColourMask = 0xFFFFFF;

// Cell's corners: a missing first corner is the current cell, a missing
// second one the first. False when either lies outside the grid.
bool cellRange(const OVGridPrivate &d, int &row1, int &col1, int &row2, int &col2)
{
    if (row1 == 0)
        row1 = d.grd->row();
    if (col1 == 0)
        col1 = d.grd->col();
    if (row2 == 0)
        row2 = row1;
    if (col2 == 0)
        col2 = col1;
    return d.grd->contains(row1, col1) && d.grd->contains(row2, col2);
}

// The grid's text: its rows up to the entry row, the cells of the columns
// that show, tab between cells and CR-LF between rows.
QString gridText(const GridView *grd)
{
    const GridModel *model = grd->gridModel();
    QString text;
    for (int r = 0; r < grd->rows(); ++r) {
        if (model->textView(r, 0) == GridModel::EntryRowMark)
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
            text += model->textView(r, c);
        }
    }
    return text;
}

} // namespace

OVCurrency OVGrid::Aggregate(SubTotalSettings setting, int Row1, int Col1, int Row2, int Col2) const
{
    const int rows = d->grd->rows();
    if (rows <= 1)
        return {};
    if (Row1 == 0)
        Row1 = 1;
    if (Col1 == 0)
        Col1 = d->grd->col();
    if (Row2 == 0)
        Row2 = rows - 1;
    if (Col2 == 0)
        Col2 = Col1;
    if (!d->grd->contains(Row1, Col1) || !d->grd->contains(Row2, Col2))
        return {};
    static constexpr Aggregate::Kind kinds[] = {
        Aggregate::Kind::Sum, Aggregate::Kind::Count, Aggregate::Kind::Average,
        Aggregate::Kind::Max, Aggregate::Kind::Min, Aggregate::Kind::ColXSum,
    };
    if (setting < ovSTSum || setting > ovSTColXSum)
        return {};
    const GridModel *model = d->model();
    const auto result = Aggregate::compute(kinds[setting], Row1, Col1, Row2, Col2,
                                           [model](int r, int c) { return model->textView(r, c); });
    if (result.overflow)
        qCWarning(lcCell, "OVGrid Aggregate: the figure does not fit in a currency value; 0 given");
    return result.value;
}

QVariant OVGrid::Cell(CellPropertySettings setting, int Row1, int Col1, int Row2, int Col2) const
{
    if (!cellRange(*d, Row1, Col1, Row2, Col2))
        return {};
    switch (setting) {
    case ovCPText:
        return gridText(d->grd);
    case ovcpforecolor:
        return qint32(d->model()->foreColor(Row1, Col1));
    case ovCPValue:
        return d->model()->rowData(Row1);
    case ovCPClip: {
        QString text;
        for (int r = std::min(Row1, Row2); r <= std::max(Row1, Row2); ++r) {
            if (r != std::min(Row1, Row2))
                text += QLatin1String("\r\n");
            for (int c = std::min(Col1, Col2); c <= std::max(Col1, Col2); ++c) {
                if (c != std::min(Col1, Col2))
                    text += u'\t';
                text += d->model()->textView(r, c);
            }
        }
        return text;
    }
    case ovCPBackColor:
    case ovCPFontBold:
        break;
    }
    return {};
}

void OVGrid::setCell(CellPropertySettings setting, const QVariant &value)
{
    setCell(setting, 0, 0, 0, 0, value);
}

void OVGrid::setCell(CellPropertySettings setting, int Row1, int Col1, const QVariant &value)
{
    setCell(setting, Row1, Col1, 0, 0, value);
}

void OVGrid::setCell(CellPropertySettings setting, int Row1, int Col1, int Row2, int Col2,
                     const QVariant &value)
{
    if (!cellRange(*d, Row1, Col1, Row2, Col2))
        return;
    const int r1 = std::min(Row1, Row2), r2 = std::max(Row1, Row2);
    const int c1 = std::min(Col1, Col2), c2 = std::max(Col1, Col2);
    GridModel *model = d->model();
    auto forRange = [&](auto &&f) {
        DrawingPause pause(d->grd);
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c)
                f(r, c);
    };
    switch (setting) {
    case ovCPText:
        break;
    case ovCPBackColor: {
        const quint32 colour = quint32(value.toLongLong()) & ColourMask;
        d->customBackColour = true;
        forRange([&](int r, int c) { model->setBackColor(r, c, colour); });
        break;
    }
    case ovcpforecolor: {
        const quint32 colour = quint32(value.toLongLong()) & ColourMask;
        forRange([&](int r, int c) { model->setForeColor(r, c, colour); });
        break;
    }
    case ovCPFontBold: {
        const bool bold = value.toBool();
        forRange([&](int r, int c) { model->setBold(r, c, bold); });
        break;
    }
    case ovCPValue: {
        const qint32 id = value.toInt();
        model->setRowData(Row1, id);
        if (const int col = d->columns.pickListColumn())
            model->setText(Row1, col, d->editing->pickListText(id));
        break;
    }
    case ovCPClip: {
        const QStringList lines = value.toString().split(QLatin1String("\r\n"));
        for (int i = 0; i < lines.size() && r1 + i <= r2; ++i) {
            const QStringList cells = lines.at(i).split(u'\t');
            for (int j = 0; j < cells.size() && c1 + j <= c2; ++j)
                model->setText(r1 + i, c1 + j, cells.at(j));
        }
        if (WordWrap())
            d->fitter->fitRows(r1, r2);
        break;
    }
    }
}
