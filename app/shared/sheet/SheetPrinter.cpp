#include "SheetPrinter.h"

#include "SheetError.h"
#include "SheetLayout.h"
#include "SheetPainter.h"
#include "Worksheet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <filesystem>
#include <memory>

namespace {

QString settingHint()
{
    return QStringLiteral("也可以在设置文件 ov.ini 的 [ov] 节用 printer 指定打印位置："
                          "打印机名称、ask（打印前选择打印机和份数）、preview（打印预览）"
                          "或 pdf: 加文件路径（打印成 PDF 文件）。");
}

void applyPageSetup(QPrinter &printer, const PageSetup &page)
{
    printer.setPageSize(page.paper);
    printer.setPageOrientation(page.orientation);
    // A printer that cannot print that close to the edge keeps its own
    // minimum margins.
    printer.setPageMargins(page.margins, QPageLayout::Millimeter);
}

bool samePaper(const PageSetup &a, const PageSetup &b)
{
    return a.paper.isEquivalentTo(b.paper) && a.orientation == b.orientation && a.margins == b.margins;
}

// Paints every page of the sheets onto a printer that has the first sheet's
// page set-up (or what the user chose in a dialog instead).
class SheetPrintJob
{
public:
    explicit SheetPrintJob(const std::vector<const Worksheet *> &sheets)
        : m_sheets(sheets)
    {
    }

    const PageSetup &firstPageSetup() const { return m_sheets.front()->pageSetup(); }

    // where names the printer or file in messages. Throws SheetError.
    void paint(QPrinter &printer, const QString &where) const
    {
        QPainter painter;
        if (!painter.begin(&printer)) {
            throw SheetError(printer.outputFormat() == QPrinter::PdfFormat
                                 ? QStringLiteral("无法写入文件“%1”。").arg(where)
                                 : QStringLiteral("无法开始打印到“%1”。").arg(where));
        }
        // A PDF file or a printer without copy support gets its copies as
        // repeated pages.
        const int copies = printer.outputFormat() == QPrinter::PdfFormat || !printer.supportsMultipleCopies()
                               ? std::max(1, printer.copyCount())
                               : 1;
        bool firstPage = true;
        const Worksheet *previous = nullptr;
        for (int copy = 0; copy < copies; ++copy) {
            for (const Worksheet *sheet : m_sheets) {
                if (previous && !samePaper(previous->pageSetup(), sheet->pageSetup()))
                    applyPageSetup(printer, sheet->pageSetup());
                previous = sheet;
                paintSheet(painter, printer, *sheet, firstPage, where);
            }
        }
        if (!painter.end() || printer.printerState() == QPrinter::Error)
            throw SheetError(QStringLiteral("打印到“%1”时出错。").arg(where));
    }

private:
    static void paintSheet(QPainter &painter, QPrinter &printer, const Worksheet &sheet, bool &firstPage,
                           const QString &where)
    {
        const QRectF printable = printer.pageLayout().paintRectPoints();
        const SheetLayout layout(sheet, printable.size());
        const PageSetup &page = sheet.pageSetup();
        const double pointsToDevice = printer.resolution() / 72.0;
        for (const SheetPage &sheetPage : layout.pages()) {
            if (!firstPage && !printer.newPage()) {
                painter.end();
                throw SheetError(QStringLiteral("打印到“%1”时出错。").arg(where));
            }
            firstPage = false;
            const QSizeF used = layout.pageRect(sheetPage).size() * layout.scale();
            const double dx = page.centerHorizontally ? std::max(0.0, (printable.width() - used.width()) / 2) : 0;
            const double dy = page.centerVertically ? std::max(0.0, (printable.height() - used.height()) / 2) : 0;
            painter.resetTransform();
            painter.scale(pointsToDevice, pointsToDevice);
            painter.translate(dx, dy);
            painter.scale(layout.scale(), layout.scale());
            PaintSheetPage(painter, sheet, layout, sheetPage);
        }
    }

    std::vector<const Worksheet *> m_sheets;
};

void prepare(QPrinter &printer, const SheetPrintJob &job, const QString &documentName)
{
    printer.setDocName(documentName);
    printer.setCreator(QStringLiteral("Tovik"));
    applyPageSetup(printer, job.firstPageSetup());
}

QPrinterInfo defaultPrinterInfo()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull())
        return info;
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty())
        throw SheetError(QStringLiteral("这台电脑上没有打印机，请先安装打印机。") + settingHint());
    throw SheetError(QStringLiteral("没有设置默认打印机（现有的打印机：%1），请先设置默认打印机。").arg(names.join(QStringLiteral("、")))
                     + settingHint());
}

bool printToPrinter(const SheetPrintJob &job, const QPrinterInfo &info, const QString &documentName)
{
    QPrinter printer(info, QPrinter::HighResolution);
    prepare(printer, job, documentName);
    job.paint(printer, printer.printerName());
    return true;
}

// The pages go into a file beside the target first, so that a failure never
// leaves a half-written PDF under the name the user looks for.
bool printToPdf(const SheetPrintJob &job, const QString &path, const QString &documentName)
{
    if (path.isEmpty())
        throw SheetError(QStringLiteral("没有指定 PDF 文件的路径。") + settingHint());
    const QFileInfo target(path);
    if (!target.absoluteDir().exists() || (target.exists() && !target.isWritable()))
        throw SheetError(QStringLiteral("无法写入文件“%1”。").arg(path));
    const QString partial = target.absoluteFilePath() + QStringLiteral(".part");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial);
    prepare(printer, job, documentName);
    try {
        job.paint(printer, path);
    } catch (const SheetError &) {
        QFile::remove(partial);
        throw;
    }
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partial).toStdString(), QFile::encodeName(path).toStdString(), error);
    if (error) {
        QFile::remove(partial);
        throw SheetError(QStringLiteral("无法写入文件“%1”。").arg(path));
    }
    return true;
}

void requireWidgets()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw SheetError(QStringLiteral("无法显示打印对话框。"));
}

QString whereOf(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()
               ? printer.outputFileName()
               : printer.printerName();
}

bool askAndPrint(const SheetPrintJob &job, const QString &documentName)
{
    requireWidgets();
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, job, documentName);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    job.paint(printer, whereOf(printer));
    return true;
}

bool previewAndPrint(const SheetPrintJob &job, const QString &documentName)
{
    requireWidgets();
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, job, documentName);
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    // An error must not pass through Qt's signal delivery; it is kept and
    // reported once the dialog has closed.
    QString failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *target) {
        try {
            job.paint(*target, whereOf(*target));
        } catch (const SheetError &error) {
            failure = error.description();
        }
    });
    const bool printed = dialog.exec() == QDialog::Accepted;
    if (!failure.isEmpty())
        throw SheetError(failure);
    return printed;
}

} // namespace

PrintTarget PrintTarget::fromSetting(const QString &setting)
{
    const QString value = setting.trimmed();
    if (value.isEmpty())
        return {Kind::DefaultPrinter, QString()};
    if (value.startsWith(QLatin1String("pdf:"), Qt::CaseInsensitive))
        return {Kind::PdfFile, value.mid(4).trimmed()};
    if (value.compare(QLatin1String("ask"), Qt::CaseInsensitive) == 0)
        return {Kind::Ask, QString()};
    if (value.compare(QLatin1String("preview"), Qt::CaseInsensitive) == 0)
        return {Kind::Preview, QString()};
    return {Kind::NamedPrinter, value};
}

bool PrintWorksheets(const std::vector<const Worksheet *> &sheets, const PrintTarget &target,
                     const QString &documentName)
{
    if (sheets.empty())
        return true;
    const SheetPrintJob job(sheets);
    switch (target.kind) {
    case PrintTarget::Kind::PdfFile:
        return printToPdf(job, target.name, documentName);
    case PrintTarget::Kind::NamedPrinter: {
        const QPrinterInfo info = QPrinterInfo::printerInfo(target.name);
        if (info.isNull())
            throw SheetError(QStringLiteral("找不到打印机“%1”。").arg(target.name) + settingHint());
        return printToPrinter(job, info, documentName);
    }
    case PrintTarget::Kind::DefaultPrinter:
        return printToPrinter(job, defaultPrinterInfo(), documentName);
    case PrintTarget::Kind::Ask:
        return askAndPrint(job, documentName);
    case PrintTarget::Kind::Preview:
        return previewAndPrint(job, documentName);
    }
    return false;
}
