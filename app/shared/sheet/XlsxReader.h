#pragma once

#include "Worksheet.h"

// Reads the first sheet of an OOXML workbook (.xlsx, .xltx) as a spreadsheet
// application saved it: values, cell styles (font, fill, alignment, borders,
// number format), column widths, row heights, merged ranges, print area and
// page set-up. The file is only read. Throws SheetError when the file is
// missing, unreadable, not a workbook or damaged.
Worksheet ReadFirstWorksheet(const QString &path);
