#pragma once

#include "shared/sheet/Spreadsheet.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>

// A bill as the bill window shows it, for the printed tally sheet: every
// text is the displayed one (empty zero pieces, two-decimal prices), so
// paper and screen agree.
struct PrintedBillLine
{
    QString artno;
    QString product;
    QString color;
    std::array<QString, 10> pieces; // piece columns "1" … "10"
    QString kg;
    QString price;
    QString amount;
    QString pieceCount; // the hidden "匹" column; not printed per line

    bool isEmpty() const;
};

struct PrintedBill
{
    QString client;
    QString contact;
    QDate date;
    qint32 id = 0;
    QList<PrintedBillLine> lines; // the grid's rows 1 … last, empty ones included
    QString totalPieces;   // lblPi
    QString totalKg;       // lblQuantity
    QString totalAmount;   // lblPrice
    std::array<QString, 4> staff; // prepared by, salesman, payee, deliverer
};

// The template holds eight line rows; a longer bill goes on further copies
// of the sheet.
constexpr int kBillLinesPerPage = 8;

// The cells of each printed page, in writing order: header, lines, totals,
// staff. Every page repeats the header, the whole bill's totals and the
// staff names; its eight line rows take the next eight lines, rows without
// a line showing "-" as the grid's empty rows do. Empty lines after the last
// filled one beyond the first page are dropped, so they never make a blank
// page. A total amount that is no number (or too big to spell) leaves the
// amount in capitals empty.
QList<QList<SheetCell>> BillSheetPages(const PrintedBill &bill);

// The file name of the template, looked for by FindDataFile.
QString BillTemplateName();

// Prints the bill through the template (BillTemplateName unless another is
// named) to where the setting "printer" says, then closes the template
// unsaved. Any failure (template missing or damaged, no printer, a printer
// error) is shown in a message box and prints nothing. True when the pages
// went out; false on a failure or when the user cancelled the print dialog.
bool PrintBill(const PrintedBill &bill, const QString &templateName = BillTemplateName());
