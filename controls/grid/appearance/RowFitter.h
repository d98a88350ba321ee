#pragma once

#include <QObject>

class ColumnSet;
class GridView;
class QFont;
class QLabel;
class QWidget;
class RowFitMarks;

// Fits row heights to their word-wrapped text: a row at once, a range
// within a time budget, or — after a large load — the marked rows as they
// come into view. The title row fits all its titles; a data row its
// word-wrapped columns. Text is measured in the measuring label's font.
class RowFitter : public QObject
{
public:
    // The measuring label is made a hidden child of labelParent.
    RowFitter(GridView *grid, const ColumnSet &columns, QWidget *labelParent);
    ~RowFitter() override;

    void setFont(const QFont &font);

    // Row −1 is the current row.
    void fitRow(int row);
    // Rows fromRow … toRow (−1: the first or the last data row), for as long
    // as the budget lasts.
    void fitRows(int fromRow, int toRow);
    // Rows fromRow … toRow wait to be fitted until they come into view.
    void fitLater(int fromRow, int toRow);
    // Fits the marked rows now in view, and those of the last screenful,
    // whose heights set how far the grid scrolls.
    void fitRowsInView();
    // Fits a row that is still marked, before its height is read.
    void fitIfMarked(int row);
    // A row whose height is set otherwise needs no fitting.
    void unmark(int row);

private:
    // Fits the marked rows of a screenful from a row up or down (step −1 or 1).
    void fitScreenful(int fromRow, int step);
    // The width in pixels a cell's text wraps to.
    int textWidthOf(int row, int col) const;

    GridView *const grd;
    const ColumnSet &columns;
    QLabel *lbl;                       // measuring label
    RowFitMarks *marks;
};
