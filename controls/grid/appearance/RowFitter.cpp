#include "RowFitter.h"

#include "appearance/RowFitMarks.h"
#include "appearance/TextMeasure.h"
#include "editing/EditRules.h"
#include "model/ColumnSet.h"
#include "view/GridView.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QStyle>

#include <optional>

namespace {

// Fitting loops give the user the screen back after this long.
constexpr qint64 BudgetMs = 100;
constexpr int RowPadding = 100;   // twips added to a fitted row's text height

} // namespace

RowFitter::RowFitter(GridView *grid, const ColumnSet &columns, QWidget *labelParent)
    : grd(grid)
    , columns(columns)
{
    lbl = new QLabel(labelParent);
    lbl->setObjectName(QStringLiteral("ovgrid_lbl"));
    lbl->setWordWrap(true);
    lbl->hide();
    marks = new RowFitMarks(grd->gridModel(), this);
    connect(grd, &GridView::viewResized, this, &RowFitter::fitRowsInView);
    // The scroll that brings a row into view is worked out from true heights.
    connect(grd, &GridView::aboutToScrollTo, this, [this](int row) {
        fitScreenful(row, -1);
        fitScreenful(row, 1);
    });
    // A removal moves rows up into view; the marks have moved with them.
    connect(grd->gridModel(), &QAbstractItemModel::rowsRemoved, this, &RowFitter::fitRowsInView);
}

RowFitter::~RowFitter() = default;

void RowFitter::setFont(const QFont &font)
{
    lbl->setFont(font);
}

int RowFitter::textWidthOf(int row, int col) const
{
    QStyle *style = grd->style();
    const int margin = row == 0 ? style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grd)
                                : style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grd) + 1;
    return grd->toPixelsX(grd->colWidth(col)) - 2 * margin;
}

void RowFitter::fitRow(int row)
{
    if (row == -1)
        row = grd->row();
    if (row < 0 || row >= grd->rows())
        return;
    marks->take(row);
    int height = 0;
    for (int c = 1; c < grd->cols(); ++c) {
        if (!columns.wordWrap(c) && row != 0)
            continue;
        // Hidden columns show no text to make room for.
        if (grd->colWidth(c) <= EditRules::HiddenWidth)
            continue;
        height = std::max(height, wrappedTextHeight(lbl->font(), grd->gridModel()->text(row, c),
                                                    textWidthOf(row, c)));
    }
    grd->setRowHeightTwips(row, std::max(grd->toTwipsY(height) + RowPadding, grd->rowHeightMin()));
}

void RowFitter::fitRows(int fromRow, int toRow)
{
    if (fromRow == -1)
        fromRow = 1;
    if (toRow == -1)
        toRow = grd->rows() - 1;
    if (fromRow < 0 || fromRow >= grd->rows() || toRow < 0 || toRow >= grd->rows())
        return;
    QElapsedTimer timer;
    timer.start();
    const DrawingPause pause(grd);
    for (int r = fromRow; r <= toRow && timer.elapsed() <= BudgetMs; ++r)
        fitRow(r);
}

void RowFitter::fitLater(int fromRow, int toRow)
{
    marks->mark(fromRow, toRow);
}

void RowFitter::fitRowsInView()
{
    // Only rows in the model matter: rows a load has still to read wait.
    const GridModel::KeepRestPending keep(grd->gridModel());
    if (!marks->any() || grd->rows() <= 1)
        return;
    fitScreenful(grd->topRow(), 1);
    fitScreenful(grd->rows() - 1, -1);
}

void RowFitter::fitScreenful(int fromRow, int step)
{
    if (!marks->any())
        return;
    const GridModel::KeepRestPending keep(grd->gridModel());
    const int viewHeight = std::max(grd->viewport()->height(), 1);
    std::optional<DrawingPause> pause; // only once a row is fitted
    int filled = 0;
    for (int r = fromRow; r >= 1 && r < grd->rows() && filled < viewHeight; r += step) {
        if (marks->take(r)) {
            if (!pause)
                pause.emplace(grd);
            fitRow(r);
        }
        filled += grd->rowHeight(r - 1); // 0 for a hidden row
    }
}

void RowFitter::fitIfMarked(int row)
{
    if (marks->take(row))
        fitRow(row);
}

void RowFitter::unmark(int row)
{
    marks->take(row);
}
