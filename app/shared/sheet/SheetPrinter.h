#pragma once

#include <QString>

#include <vector>

class Worksheet;

// Where printed pages go. Read from the setting "printer": empty for the
// default printer without asking, "ask" for the print dialog (printer and
// copies), "preview" for a print preview with a print button, "pdf:" and a
// file path for a PDF file, anything else a printer's name.
struct PrintTarget
{
    enum class Kind { DefaultPrinter, NamedPrinter, PdfFile, Ask, Preview };
    Kind kind = Kind::DefaultPrinter;
    QString name; // printer name or file path

    static PrintTarget fromSetting(const QString &setting);
};

// Prints the sheets one after another in one job, each sheet's print range
// (or everything it uses) with its page set-up. Returns false when the user
// cancelled a print dialog or preview, true when the pages went out. Throws
// SheetError when the printer is missing or fails, or the file cannot be
// written; a PDF file then is not left behind half-written.
bool PrintWorksheets(const std::vector<const Worksheet *> &sheets, const PrintTarget &target,
                     const QString &documentName);
