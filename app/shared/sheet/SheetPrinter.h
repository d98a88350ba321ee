#pragma once

#include <QString>

class Worksheet;

// Where printed pages go: the default printer, a printer by name, or a PDF
// file. Read from a setting: empty for the default printer, "pdf:" and a
// file path for a PDF file, anything else a printer's name.
struct PrintTarget
{
    enum class Kind { DefaultPrinter, NamedPrinter, PdfFile };
    Kind kind = Kind::DefaultPrinter;
    QString name; // printer name or file path

    static PrintTarget fromSetting(const QString &setting);
};

// Prints the sheet's print range (or everything it uses) with its page
// set-up, without asking. Throws SheetError when the printer is missing or
// fails, or the file cannot be written.
void PrintWorksheet(const Worksheet &sheet, const PrintTarget &target, const QString &documentName);
