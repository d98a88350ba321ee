#pragma once

// The columns of the bill window's line grid.
namespace BillCol {
enum : int {
    RowNo = 0,    // row number, kept by the grid
    Mark = 1,     // "0" once the line was edited since it was loaded or saved (hidden)
    LineId = 2,   // billsub.id; empty for a line never saved (hidden)
    Artno = 3,
    Product = 4,
    Color = 5,
    Piece1 = 6,   // piece weights, Piece1 … Piece10
    Piece10 = 15,
    Kg = 16,      // sum of the pieces
    Price = 17,   // unit price
    Amount = 18,  // Kg × Price
    Pieces = 19,  // number of non-empty piece cells (hidden)
    Count = 20
};
constexpr int PieceCount = Piece10 - Piece1 + 1;
} // namespace BillCol
