#pragma once

class QString;
class Worksheet;

// Writes the sheet's values into a new .xlsx workbook at path, under the
// sheet's name: texts as texts, numbers as numbers, with its selected cell.
// The file appears complete or not at all (it is written beside the target
// and renamed). Throws SheetError when it cannot be written.
void WriteXlsx(const Worksheet &sheet, const QString &path);
