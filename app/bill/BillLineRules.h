#pragma once

#include "BillStore.h"

#include <OVCurrency.h>

#include <QString>

#include <functional>

// The rules of one bill line that need no window: which cells may be edited,
// what a typed cell must satisfy, the KG, amount and piece-count texts, where
// Enter goes next, and the stored form of a grid row.
namespace BillLineRules {

// Lines are filled from the top without gaps, and a line's other cells need
// its article number. artno and artnoAbove are the article numbers of the
// row and of the row above it (empty for row 1).
bool mayEdit(int row, int col, const QString &artno, const QString &artnoAbove);

struct CellCheck
{
    QString text;    // the cleaned text, to be written back into the editor
    QString message; // why the text is refused; empty when it is accepted
};

// Cleans a typed cell and checks it. keptRow: the row is stored or was
// edited already, so its article number may not be emptied. A number is
// written back in the form it is stored in ("１２" → "12").
CellCheck checkCell(int col, const QString &typed, bool keptRow);

// KG as plain text without trailing zeros ("25.5").
QString kgText(OVCurrency kg);

// KG × unit price, written exactly, so that the amount column's "0.00"
// rounds the true product (12653.625 shows 12653.63). An empty or
// non-numeric price counts as 0.
QString amountText(OVCurrency kg, const QString &priceText);

// The piece count as a whole number.
QString countText(OVCurrency count);

// The cell Enter moves to from (row, col): the first piece after the article
// number, the next column up to the last piece, and from there (or from the
// price) the first piece of the next row.
struct Cell
{
    int row;
    int col;
};
Cell nextOnEnter(int row, int col);

// The stored form of grid row `row`; cell(col) gives its texts. Empty piece,
// KG, price and count cells are stored as 0.
BillLine lineOfRow(int row, const std::function<QString(int col)> &cell);

} // namespace BillLineRules
