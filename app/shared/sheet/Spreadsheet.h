#pragma once

#include <QList>
#include <QString>

#include <functional>

// The program's two uses of a spreadsheet, on our own workbook component:
// printing a template with pages of values, and exporting rows to a new
// .xlsx file. Each shows its own failure in a message box and leaves
// nothing behind.

// One value for a sheet, by row and column from 1.
struct SheetCell
{
    int row = 0;
    int column = 0;
    QString text;

    bool operator==(const SheetCell &) const = default;
};

// Prints the template templateName (looked for in the data folder, then the
// installed share folder): one copy of its first sheet per page, each filled
// with its page's cells, as one job to where the setting "printer" says. The
// template file never changes. True when the pages went out; false on a
// failure or when the user cancelled the print dialog.
bool PrintTemplatePages(const QString &templateName, const QList<QList<SheetCell>> &pages);

// Writes the tab- and line-separated rows (a cell that reads as a number
// becomes one) as the sheet sheetName of a new .xlsx file in ExportFolder(),
// named after the sheet and the time, and leaves the text on the clipboard;
// then opens the file with the user's spreadsheet application, or shows its
// path where none opens it. True when the file was written.
bool ExportRowsToSheet(const QString &sheetName, const QString &rows);

// QStandardPaths' documents folder + "/Tovik", created when missing; throws
// SheetError when it cannot be.
QString ExportFolder();

// Opens a file with the desktop's application for it; false when none does.
// Tests replace it; an empty one restores the desktop's.
using FileOpener = std::function<bool(const QString &path)>;
FileOpener SetExportFileOpener(FileOpener opener);
