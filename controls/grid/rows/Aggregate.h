#pragma once

#include "OVCurrency.h"

#include <QStringView>

#include <functional>

// The figures OVGrid::Aggregate gives over a block of cells, in exact
// four-decimal currency. Cells come through `text`, so the arithmetic is
// tested without a grid.
namespace Aggregate {

enum class Kind { Sum, Count, Average, Max, Min, ColXSum };

using CellText = std::function<QStringView(int row, int col)>;

struct Result
{
    OVCurrency value;
    bool overflow = false; // the figure does not fit; value is then 0
};

// Over rows row1 … row2 and columns col1 … col2 (ColXSum: the product of
// columns col1 and col2, row by row; the columns between are not used).
Result compute(Kind kind, int row1, int col1, int row2, int col2, const CellText &text);

} // namespace Aggregate
