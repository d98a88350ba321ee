// Printing a bill: a 20-line bill (three copies of the template sheet)
// through PrintBill into a PDF, against printing one line of text into a
// PDF, both in the same run.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_billprint

#include "BenchTiming.h"

#include "bill/BillPrint.h"
#include "shared/base/AppPaths.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Runs = 7;

double medianMs(const std::function<void()> &work)
{
    return timeMs(work, Runs);
}

PrintedBill twentyLineBill()
{
    PrintedBill bill;
    bill.client = QStringLiteral("客户甲");
    bill.contact = QStringLiteral("前台");
    bill.date = QDate(2024, 3, 5);
    bill.id = 42;
    bill.staff = {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")};
    for (int n = 1; n <= 20; ++n) {
        PrintedBillLine line;
        line.artno = QStringLiteral("A%1").arg(1000 + n);
        line.product = QStringLiteral("全棉平纹");
        line.color = QStringLiteral("大红");
        for (int piece = 0; piece < 10; ++piece)
            line.pieces[piece] = QStringLiteral("%1.5").arg(20 + piece);
        line.kg = QStringLiteral("245");
        line.price = QStringLiteral("10.00");
        line.amount = QStringLiteral("2450.00");
        bill.lines.append(line);
    }
    bill.totalPieces = QStringLiteral("200");
    bill.totalKg = QStringLiteral("4900");
    bill.totalAmount = QStringLiteral("49000.00");
    return bill;
}

} // namespace

int main(int argc, char *argv[])
{
    // Settings and data in a folder of the run's own, the bill printing into
    // a PDF there.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("TOVIK_DATA_DIR", home.filePath(QStringLiteral("data")).toUtf8());
    QDir().mkpath(home.filePath(QStringLiteral("config/Orvane")));
    QFile ini(home.filePath(QStringLiteral("config/Orvane/ov.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("[ov]\nprinter=pdf:" + QFile::encodeName(home.filePath(QStringLiteral("bill.pdf"))) + "\n");
    ini.close();

    QApplication app(argc, argv);
    if (FindDataFile(BillTemplateName()).isEmpty()) {
        std::fprintf(stderr, "%s not found; build the tovik_template target\n", qPrintable(BillTemplateName()));
        return 1;
    }
    const PrintedBill bill = twentyLineBill();
    bool ok = true;
    const double billMs = medianMs([&] { ok = PrintBill(bill) && ok; });
    const double lineMs = medianMs([&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(home.filePath(QStringLiteral("plain.pdf")));
        QPainter painter(&printer);
        painter.drawText(QPointF(100, 100), QStringLiteral("客户：甲 A1 25.5"));
    });
    if (!ok) {
        std::fprintf(stderr, "the bill did not print\n");
        return 1;
    }
    std::printf("%-44s %9.1f ms\n%-44s %9.1f ms\nratio %.1f\n", "20-line bill, 3 pages, PrintBill to PDF", billMs,
                "baseline: one line of text to a PDF", lineMs, billMs / lineMs);
    return 0;
}
