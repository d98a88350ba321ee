#pragma once

#include "Worksheet.h"

#include <QString>

#include <memory>

struct PrintTarget;

// A workbook of one sheet: new and empty, or read from an OOXML file (a
// template). The file it came from is never written.
class Workbook
{
public:
    Workbook() = default;
    // Reads the file's first sheet; throws SheetError.
    static std::unique_ptr<Workbook> open(const QString &path);

    QString path() const { return m_path; } // empty for a new workbook
    Worksheet &activeSheet() { return m_sheet; }
    const Worksheet &activeSheet() const { return m_sheet; }

    // Prints the active sheet without asking; throws SheetError.
    void printOut(const PrintTarget &target) const;
    // Writes the workbook as a new .xlsx file; throws SheetError.
    void saveCopyAs(const QString &path) const;

private:
    QString m_path;
    Worksheet m_sheet;
};
