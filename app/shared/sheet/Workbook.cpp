#include "Workbook.h"

#include "SheetPrinter.h"
#include "XlsxReader.h"
#include "XlsxWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

Workbook::Workbook()
    : m_sheets(1)
{
}

std::unique_ptr<Workbook> Workbook::open(const QString &path)
{
    auto workbook = std::make_unique<Workbook>();
    workbook->m_sheets.front() = ReadFirstWorksheet(path);
    workbook->m_path = path;
    return workbook;
}

Worksheet &Workbook::copySheet(int index)
{
    Worksheet copy = m_sheets.at(index);
    const QString base = copy.name();
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        const QString name = base.left(31 - suffix.size()) + suffix;
        const bool taken = std::any_of(m_sheets.begin(), m_sheets.end(),
                                       [&name](const Worksheet &sheet) { return sheet.name() == name; });
        if (!taken) {
            copy.setName(name);
            break;
        }
    }
    m_sheets.push_back(std::move(copy));
    return m_sheets.back();
}

QString Workbook::documentName() const
{
    return m_path.isEmpty() ? activeSheet().name() : QFileInfo(m_path).completeBaseName();
}

bool Workbook::printOut(const PrintTarget &target) const
{
    return PrintWorksheets({&activeSheet()}, target, documentName());
}

bool Workbook::printAllSheets(const PrintTarget &target) const
{
    std::vector<const Worksheet *> sheets;
    for (const Worksheet &sheet : m_sheets)
        sheets.push_back(&sheet);
    return PrintWorksheets(sheets, target, documentName());
}

void Workbook::saveCopyAs(const QString &path) const
{
    WriteXlsx(activeSheet(), path);
}
