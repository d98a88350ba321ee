#include "SheetPrinter.h"

#include "SheetError.h"
#include "SheetLayout.h"
#include "SheetPainter.h"
#include "Worksheet.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace {

std::unique_ptr<QPrinter> makePrinter(const PrintTarget &target)
{
    switch (target.kind) {
    case PrintTarget::Kind::PdfFile: {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(target.name);
        return printer;
    }
    case PrintTarget::Kind::NamedPrinter: {
        const QPrinterInfo info = QPrinterInfo::printerInfo(target.name);
        if (info.isNull())
            throw SheetError(QStringLiteral("找不到打印机“%1”。").arg(target.name));
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    case PrintTarget::Kind::DefaultPrinter: {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            throw SheetError(QStringLiteral("没有默认打印机，请先安装打印机。"));
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    }
    return nullptr;
}

QString targetName(const PrintTarget &target, const QPrinter &printer)
{
    return target.kind == PrintTarget::Kind::PdfFile ? target.name : printer.printerName();
}

} // namespace

PrintTarget PrintTarget::fromSetting(const QString &setting)
{
    const QString value = setting.trimmed();
    if (value.isEmpty())
        return {Kind::DefaultPrinter, QString()};
    if (value.startsWith(QLatin1String("pdf:"), Qt::CaseInsensitive))
        return {Kind::PdfFile, value.mid(4).trimmed()};
    return {Kind::NamedPrinter, value};
}

void PrintWorksheet(const Worksheet &sheet, const PrintTarget &target, const QString &documentName)
{
    if (target.kind == PrintTarget::Kind::PdfFile && target.name.isEmpty())
        throw SheetError(QStringLiteral("没有指定 PDF 文件的路径。"));
    const std::unique_ptr<QPrinter> printer = makePrinter(target);
    printer->setDocName(documentName);
    printer->setCreator(QStringLiteral("Tovik"));

    const PageSetup &page = sheet.pageSetup();
    printer->setPageSize(page.paper);
    printer->setPageOrientation(page.orientation);
    // A printer that cannot print that close to the edge keeps its own
    // minimum margins.
    printer->setPageMargins(page.margins, QPageLayout::Millimeter);

    const QRectF printable = printer->pageLayout().paintRectPoints();
    const SheetLayout layout(sheet, printable.size());

    QPainter painter;
    if (!painter.begin(printer.get())) {
        throw SheetError(target.kind == PrintTarget::Kind::PdfFile
                             ? QStringLiteral("无法写入文件“%1”。").arg(target.name)
                             : QStringLiteral("无法开始打印到“%1”。").arg(printer->printerName()));
    }
    const double pointsToDevice = printer->resolution() / 72.0;
    const auto &pages = layout.pages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer->newPage()) {
            painter.end();
            throw SheetError(QStringLiteral("打印到“%1”时出错。").arg(targetName(target, *printer)));
        }
        const QSizeF used = layout.pageRect(pages[i]).size() * layout.scale();
        const double dx = page.centerHorizontally ? std::max(0.0, (printable.width() - used.width()) / 2) : 0;
        const double dy = page.centerVertically ? std::max(0.0, (printable.height() - used.height()) / 2) : 0;
        painter.resetTransform();
        painter.scale(pointsToDevice, pointsToDevice);
        painter.translate(dx, dy);
        painter.scale(layout.scale(), layout.scale());
        PaintSheetPage(painter, sheet, layout, pages[i]);
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        throw SheetError(QStringLiteral("打印到“%1”时出错。").arg(targetName(target, *printer)));
}
