#include "Workbook.h"

#include "SheetPrinter.h"
#include "XlsxReader.h"
#include "XlsxWriter.h"

#include <QFileInfo>

std::unique_ptr<Workbook> Workbook::open(const QString &path)
{
    auto workbook = std::make_unique<Workbook>();
    workbook->m_sheet = ReadFirstWorksheet(path);
    workbook->m_path = path;
    return workbook;
}

void Workbook::printOut(const PrintTarget &target) const
{
    const QString name = m_path.isEmpty() ? m_sheet.name() : QFileInfo(m_path).completeBaseName();
    PrintWorksheet(m_sheet, target, name);
}

void Workbook::saveCopyAs(const QString &path) const
{
    WriteXlsx(m_sheet, path);
}
