#pragma once

#include <QString>

class OVGrid;

// Figures shown beside a grid, read through its public interface.

// The sum of a column's data rows as text ("1234.5"); with a number format
// such as "0.00", formatted with it ("1234.50"). A grid without data rows
// gives "0" (or "0.00").
QString GridColumnSumText(const OVGrid *grid, int column, const QString &format = QString());

// How many different numbers the column holds in its data rows. Cells that
// do not read as a number are left out.
int CountDistinctInColumn(const OVGrid *grid, int column);
