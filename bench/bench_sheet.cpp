// Spreadsheet figures, each beside a baseline measured in the same run:
//   - pasting a 58,000-row query result (19 columns, the grid's clip text)
//     into a sheet, against splitting the text into cell texts;
//   - writing that sheet as .xlsx, against libxlsxwriter writing the same
//     cells straight from the split texts;
//   - printing the bill template, filled, into a PDF, against printing one
//     line of text into a PDF.
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_sheet

#include "BenchTiming.h"

#include "shared/sheet/SheetPrinter.h"
#include "shared/sheet/Workbook.h"
#include "shared/base/AppPaths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QStringTokenizer>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Rows = 58000;
constexpr int Runs = 5;


QString queryText()
{
    QString text;
    text.reserve(Rows * 120);
    text += QStringLiteral("日期\t客户\t货号\t品名\t色号\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\tKG\t单价\t金额\t匹\r\n");
    for (int row = 1; row < Rows; ++row) {
        text += QStringLiteral("24-03-05\t客户%1\tA%2\t全棉平纹\t大红").arg(row % 300).arg(1000 + row % 5000);
        for (int piece = 0; piece < 10; ++piece)
            text += QLatin1Char('\t') + (piece < 4 ? QString::number(20 + (row + piece) % 17 + 0.5) : QString());
        text += QStringLiteral("\t94.0\t10.00\t940.00\t4\r\n");
    }
    return text;
}

void report(const char *what, double ms, const char *baselineWhat, double baselineMs)
{
    std::printf("%-44s %9.1f ms\n%-44s %9.1f ms\nratio %.1f\n\n", what, ms, baselineWhat, baselineMs, ms / baselineMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString text = queryText();

    // Paste: the text into cells, numbers read as numbers; against only
    // splitting it into cell texts.
    Workbook workbook;
    workbook.activeSheet().setName(QStringLiteral("查询"));
    const double pasteMs = timeMs([&] { workbook.activeSheet().pasteText(text); }, Runs);
    QList<QStringList> cells;
    const double splitMs = timeMs([&] {
        cells.clear();
        for (const QStringView line : QStringTokenizer(text, u"\r\n", Qt::SkipEmptyParts)) {
            QStringList row;
            for (const QStringView cell : QStringTokenizer(line, u'\t'))
                row << cell.toString();
            cells << row;
        }
    }, Runs);
    std::printf("%d rows, %lld characters of clip text\n\n", Rows, qint64(text.size()));
    report("paste into a sheet", pasteMs, "baseline: split into cell texts", splitMs);

    // Write: the sheet as .xlsx; against libxlsxwriter writing the same
    // cells straight from the split texts.
    const QString xlsx = dir.filePath(QStringLiteral("export.xlsx"));
    const double writeMs = timeMs([&] { workbook.saveCopyAs(xlsx); }, Runs);
    const double directMs = timeMs([&] {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *direct = workbook_new_opt(QFile::encodeName(dir.filePath(QStringLiteral("direct.xlsx"))).constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(direct, "查询");
        for (qsizetype r = 0; r < cells.size(); ++r) {
            for (qsizetype c = 0; c < cells[r].size(); ++c) {
                const QString &cell = cells[r][c];
                if (cell.isEmpty())
                    continue;
                bool number = false;
                const double value = cell.toDouble(&number);
                if (number)
                    worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), value, nullptr);
                else
                    worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cell.toUtf8().constData(), nullptr);
            }
        }
        workbook_close(direct);
    }, Runs);
    report("write the sheet as .xlsx", writeMs, "baseline: libxlsxwriter straight from texts", directMs);

    const QString templatePath = FindDataFile(QStringLiteral("Tovik.xltx"));
    if (templatePath.isEmpty()) {
        std::fprintf(stderr, "Tovik.xltx not found; build the tovik_template target\n");
        return 1;
    }
    const PrintTarget pdf{PrintTarget::Kind::PdfFile, dir.filePath(QStringLiteral("bill.pdf"))};
    const double printMs = timeMs([&] {
        auto workbook = Workbook::open(templatePath);
        Worksheet &sheet = workbook->activeSheet();
        sheet.setValue(4, 1, QStringLiteral("客户：甲  前台"));
        for (int n = 1; n <= 8; ++n) {
            sheet.setValue(5 + n, 1, QStringLiteral("A%1").arg(n));
            sheet.setValue(5 + n, 2, QStringLiteral("全棉平纹-大红"));
            for (int piece = 3; piece <= 12; ++piece)
                sheet.setValue(5 + n, piece, QStringLiteral("25.5"));
            sheet.setValue(5 + n, 15, QStringLiteral("2550.00"));
        }
        workbook->printOut(pdf);
    }, Runs);
    const double onePageMs = timeMs([&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("plain.pdf")));
        QPainter painter(&printer);
        painter.drawText(QPointF(100, 100), QStringLiteral("客户：甲 A1 25.5"));
    }, Runs);
    report("bill template: open, fill, print to PDF", printMs, "baseline: one line of text to a PDF", onePageMs);
    return 0;
}
