#pragma once

#include "Workbook.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The program's spreadsheet: our own workbook component, standing where a
// spreadsheet application driven by automation would. It holds the open
// workbooks (the last one opened is the active one), prints a sheet through
// Qt's printing system and hands finished new workbooks to the user as
// .xlsx files in the documents folder.
//
// Operations throw SheetError; the procedures below (and RunSheetGuarded)
// catch it and show its description.
class SpreadsheetApplication
{
public:
    // Workbooks.Add: a new workbook with one empty sheet, now the active one.
    Workbook &AddWorkbook();
    // Workbooks.Open: reads an .xltx/.xlsx file, now the active workbook.
    Workbook &OpenWorkbook(const QString &path);
    // Opens a data file shipped with the program (the bill template), looked
    // for in the data folder, then the installed share folder.
    Workbook &OpenDataWorkbook(const QString &fileName);

    Workbook *ActiveWorkbook() const;
    Worksheet &ActiveSheet() const; // throws when no workbook is open

    // Prints to where the setting "printer" in [ov] says (PrintTarget): the
    // default printer without asking when empty. PrintOut prints the active
    // sheet, PrintOutWorkbook every sheet of the active workbook in order, as
    // one job. False when the user cancelled the print dialog or preview.
    bool PrintOut() const;
    bool PrintOutWorkbook() const;

    // ActiveWorkbook.Close without saving: the file it came from never
    // changes.
    void CloseActiveWorkbook();
    int WorkbookCount() const { return int(m_workbooks.size()); }

    // Whether finished new workbooks are shown to the user.
    bool Visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    // Writes the workbook into ExportFolder(), named after its sheet and the
    // time, and when Visible opens it with the user's spreadsheet
    // application; where none opens it, a message shows the file's path.
    // Returns the file's path.
    QString ShowWorkbook(const Workbook &workbook);

    // QStandardPaths' documents folder + "/Tovik", created when missing.
    static QString ExportFolder();

    // Opens a file with the desktop's application for it; false when none
    // does. Tests replace it.
    using FileOpener = std::function<bool(const QString &path)>;
    static FileOpener SetFileOpener(FileOpener opener);

private:
    Workbook &requireActiveWorkbook() const; // throws when none is open

    std::vector<std::unique_ptr<Workbook>> m_workbooks;
    bool m_visible = false;
};

// The process's spreadsheet object; null until EnsureSpreadsheetApp.
SpreadsheetApplication *SpreadsheetApp();

// Creates SpreadsheetApp when it is not there yet; true when it exists.
bool EnsureSpreadsheetApp();

// EnsureSpreadsheetApp, then PasteTextToNewSheet.
bool ExportTextToSheet(const QString &sheetName, const QString &content);

// A new workbook whose sheet, named sheetName, gets the tab- and
// line-separated content (numbers as numbers), also left on the clipboard as
// plain text; the workbook is then shown to the user (ShowWorkbook). True
// when the file was written; a failure is shown and nothing is left behind.
bool PasteTextToNewSheet(const QString &sheetName, const QString &content);

// Runs a sequence of spreadsheet operations (open a template, set cells,
// PrintOut, close). A SheetError ends it: its description is shown, and the
// workbooks it opened are closed unsaved. Returns whether op ran to its end.
bool RunSheetGuarded(const std::function<void(SpreadsheetApplication &app)> &op);
