#pragma once

#include "Worksheet.h"

#include <QString>

#include <deque>
#include <memory>

struct PrintTarget;

// A workbook: new with one empty sheet, or read from an OOXML file (a
// template, of which the first sheet is read). Further sheets are copies
// made while the workbook is open. The file it came from is never written.
class Workbook
{
public:
    Workbook();
    // Reads the file's first sheet; throws SheetError.
    static std::unique_ptr<Workbook> open(const QString &path);

    QString path() const { return m_path; } // empty for a new workbook
    Worksheet &activeSheet() { return m_sheets.front(); }
    const Worksheet &activeSheet() const { return m_sheets.front(); }

    int sheetCount() const { return int(m_sheets.size()); }
    Worksheet &sheet(int index) { return m_sheets.at(index); }
    const Worksheet &sheet(int index) const { return m_sheets.at(index); }
    // Sheets.Copy: a copy of the sheet at index after the last sheet, named
    // as a spreadsheet names copies ("送货单 (2)").
    Worksheet &copySheet(int index);

    // Prints the active sheet, or every sheet in order as one job. False
    // when the user cancelled a print dialog; throws SheetError.
    bool printOut(const PrintTarget &target) const;
    bool printAllSheets(const PrintTarget &target) const;
    // Writes the active sheet as a new .xlsx file; throws SheetError.
    void saveCopyAs(const QString &path) const;

private:
    QString documentName() const;

    QString m_path;
    std::deque<Worksheet> m_sheets; // references stay valid as copies are added
};
