#include "MessageCapture.h"
#include "bill/BillPrint.h"
#include "shared/base/AppPaths.h"
#include "bill/AmountInCapitals.h"
#include "shared/sheet/Worksheet.h"
#include "PrintReadBack.h"

#include <QDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

PrintedBillLine makeLine(const QString &artno, const QString &product, const QString &color,
                         const QStringList &pieces, const QString &kg, const QString &price, const QString &amount)
{
    PrintedBillLine line;
    line.artno = artno;
    line.product = product;
    line.color = color;
    for (int i = 0; i < pieces.size(); ++i)
        line.pieces[i] = pieces.at(i);
    line.kg = kg;
    line.price = price;
    line.amount = amount;
    line.pieceCount = QString::number(std::count_if(pieces.begin(), pieces.end(), [](const QString &p) { return !p.isEmpty(); }));
    return line;
}

PrintedBill billHeader()
{
    PrintedBill bill;
    bill.client = QStringLiteral("甲");
    bill.contact = QStringLiteral("前台");
    bill.date = QDate(2024, 3, 5);
    bill.id = 42;
    bill.staff = {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")};
    return bill;
}

// Three lines and the grid's five empty rows, as the bill window shows them.
PrintedBill threeLineBill()
{
    PrintedBill bill = billHeader();
    bill.lines = {
        makeLine(QStringLiteral("A1"), QStringLiteral("棉布"), QStringLiteral("红"), {QStringLiteral("12"), QStringLiteral("13.5")},
                 QStringLiteral("25.5"), QStringLiteral("10.00"), QStringLiteral("255.00")),
        makeLine(QStringLiteral("B22"), QStringLiteral("丝绸"), QStringLiteral("白"),
                 {QStringLiteral("20"), QStringLiteral("21"), QStringLiteral("22")}, QStringLiteral("63"),
                 QStringLiteral("8.00"), QStringLiteral("504.00")),
        makeLine(QStringLiteral("C333"), QStringLiteral("麻布"), QStringLiteral("黑"), {QStringLiteral("30")},
                 QStringLiteral("30"), QStringLiteral("12.50"), QStringLiteral("375.00")),
    };
    for (int i = 0; i < 5; ++i)
        bill.lines.append(PrintedBillLine());
    bill.totalPieces = QStringLiteral("6");
    bill.totalKg = QStringLiteral("118.5");
    bill.totalAmount = QStringLiteral("1134.00");
    return bill;
}

// Lines "L1" … "Ln", then empty grid rows.
PrintedBill longBill(int filled, int emptyAfter = 0)
{
    PrintedBill bill = billHeader();
    for (int n = 1; n <= filled; ++n) {
        bill.lines.append(makeLine(QStringLiteral("L%1").arg(n), QStringLiteral("棉布"), QStringLiteral("色%1").arg(n),
                                   {QStringLiteral("20"), QStringLiteral("%1.5").arg(n)}, QStringLiteral("%1.5").arg(20 + n),
                                   QStringLiteral("10.00"), QStringLiteral("%1.00").arg((20 + n) * 10 + 5)));
    }
    for (int n = 0; n < emptyAfter; ++n)
        bill.lines.append(PrintedBillLine());
    bill.totalPieces = QString::number(2 * filled);
    bill.totalKg = QStringLiteral("9999.9");
    bill.totalAmount = QStringLiteral("99999.00");
    return bill;
}

using CellMap = std::map<std::pair<int, int>, QString>;

CellMap cellMap(const QList<SheetCell> &cells)
{
    CellMap map;
    for (const SheetCell &cell : cells)
        map[{cell.row, cell.column}] = cell.text;
    return map;
}

// A word of `pdftotext -bbox` and where it lies, in points; the pages are
// stacked one below the other so words of different pages stay apart.
struct PdfWord
{
    QString text;
    double left = 0;
    double top = 0;
    double right = 0;

    double centre() const { return (left + right) / 2; }
};

QList<PdfWord> pdfWords(const QString &pdf)
{
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    QList<PdfWord> words;
    int page = -1;
    const QString html = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    for (const QString &line : html.split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("<page ")))
            ++page;
        const QRegularExpressionMatch m = word.match(line);
        if (m.hasMatch())
            words.append({normalised(m.captured(4)), m.captured(1).toDouble(), m.captured(2).toDouble() + page * 10000.0,
                          m.captured(3).toDouble()});
    }
    return words;
}

} // namespace

class TestBillPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void cellsOfOnePage_data();
    void cellsOfOnePage();
    void longBillsGoOnFurtherPages_data();
    void longBillsGoOnFurtherPages();

    void printedBillReadsBack();
    void twentyLinesPrintOnThreePages();
    void largestValuesPrintAlikeFromBothTemplates();
    void failuresPrintNothing_data();
    void failuresPrintNothing();
    void dialogsCanBeCancelled_data();
    void dialogsCanBeCancelled();

private:
    void setPrinter(const QString &value);
    QString pdfPath() const { return m_home.filePath(QStringLiteral("bill.pdf")); }
    QString installCalcTemplate();

    QTemporaryDir m_home;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
};

void TestBillPrint::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("TOVIK_DATA_DIR", m_home.filePath(QStringLiteral("data")).toUtf8());
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("config/Orvane"))));
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("data"))));
    QVERIFY2(!FindDataFile(BillTemplateName()).isEmpty(), "the generated template is missing from the build's share/tovik");
}

void TestBillPrint::init()
{
    m_messages.clear();
    QFile::remove(pdfPath());
    setPrinter(QStringLiteral("pdf:") + pdfPath());
}

void TestBillPrint::cleanup()
{
}

void TestBillPrint::setPrinter(const QString &value)
{
    QFile ini(m_home.filePath(QStringLiteral("config/Orvane/ov.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[ov]\nprinter=" + value.toUtf8() + "\n");
}

// tests/data/Tovik-calc.xlsx is the generated template opened and saved again
// by LibreOffice Calc (soffice --headless --convert-to xlsx); make it again
// whenever make_template changes the layout.
QString TestBillPrint::installCalcTemplate()
{
    const QString source = qEnvironmentVariable("TOVIK_SOURCE_DIR") + QStringLiteral("/tests/data/Tovik-calc.xlsx");
    const QString target = DataFolder() + QStringLiteral("/Tovik-calc.xlsx");
    QFile::remove(target);
    return QFile::copy(source, target) ? QStringLiteral("Tovik-calc.xlsx") : QString();
}

void TestBillPrint::cellsOfOnePage_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("A4 client and contact") << 4 << 1 << QStringLiteral("客户：甲  前台");
    QTest::newRow("K4 date") << 4 << 11 << QStringLiteral("日期：24-03-05");
    QTest::newRow("O4 number") << 4 << 15 << QStringLiteral("№ 000042");
    QTest::newRow("A6 article") << 6 << 1 << QStringLiteral("A1");
    QTest::newRow("B6 product-colour") << 6 << 2 << QStringLiteral("棉布-红");
    QTest::newRow("C6 piece") << 6 << 3 << QStringLiteral("12");
    QTest::newRow("D6 piece") << 6 << 4 << QStringLiteral("13.5");
    for (int column = 5; column <= 12; ++column)
        QTest::addRow("%s6 empty piece", qPrintable(ColumnLetters(column))) << 6 << column << QString();
    QTest::newRow("M6 KG") << 6 << 13 << QStringLiteral("25.5");
    QTest::newRow("N6 price") << 6 << 14 << QStringLiteral("10.00");
    QTest::newRow("O6 amount") << 6 << 15 << QStringLiteral("255.00");
    QTest::newRow("A8 third line") << 8 << 1 << QStringLiteral("C333");
    for (int row = 9; row <= 13; ++row) {
        QTest::addRow("A%d empty row", row) << row << 1 << QString();
        QTest::addRow("B%d empty row", row) << row << 2 << QStringLiteral("-");
        QTest::addRow("O%d empty row", row) << row << 15 << QString();
    }
    QTest::newRow("B14 capitals") << 14 << 2 << QStringLiteral("壹仟壹佰叁拾肆元整");
    QTest::newRow("H14 pieces") << 14 << 8 << QStringLiteral("6 匹");
    QTest::newRow("K14 KG") << 14 << 11 << QStringLiteral("118.5 KG");
    QTest::newRow("N14 amount") << 14 << 14 << QStringLiteral("￥1134.00");
    QTest::newRow("A16 prepared by") << 16 << 1 << QStringLiteral("制单人：张三");
    QTest::newRow("C16 salesman") << 16 << 3 << QStringLiteral("业务员：李四");
    QTest::newRow("F16 payee") << 16 << 6 << QStringLiteral("收款人：王五");
    QTest::newRow("J16 deliverer") << 16 << 10 << QStringLiteral("送货人：赵六");
}

void TestBillPrint::cellsOfOnePage()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    const QList<QList<SheetCell>> pages = BillSheetPages(threeLineBill());
    QCOMPARE(pages.size(), 1);
    // Header, eight rows of fifteen cells, totals, staff: each written once.
    QCOMPARE(pages.first().size(), 3 + 8 * 15 + 4 + 4);
    const CellMap cells = cellMap(pages.first());
    QCOMPARE(qsizetype(cells.size()), pages.first().size());
    const auto it = cells.find({row, column});
    QVERIFY(it != cells.end());
    QCOMPARE(it->second, text);
}

void TestBillPrint::longBillsGoOnFurtherPages_data()
{
    QTest::addColumn<int>("filled");
    QTest::addColumn<int>("emptyAfter");
    QTest::addColumn<int>("pageCount");
    QTest::newRow("no lines") << 0 << 0 << 1;
    QTest::newRow("eight") << 8 << 0 << 1;
    QTest::newRow("eight and an empty grid row") << 8 << 1 << 1;
    QTest::newRow("nine") << 9 << 0 << 2;
    QTest::newRow("sixteen") << 16 << 0 << 2;
    QTest::newRow("twenty") << 20 << 0 << 3;
    QTest::newRow("twenty and empty grid rows") << 20 << 4 << 3;
}

void TestBillPrint::longBillsGoOnFurtherPages()
{
    QFETCH(int, filled);
    QFETCH(int, emptyAfter);
    QFETCH(int, pageCount);
    const QList<QList<SheetCell>> pages = BillSheetPages(longBill(filled, emptyAfter));
    QCOMPARE(pages.size(), pageCount);
    const CellMap first = cellMap(pages.first());
    for (int page = 0; page < pageCount; ++page) {
        const CellMap cells = cellMap(pages.at(page));
        for (const auto &[place, text] : cells) {
            const int row = place.first;
            QVERIFY2(row == 4 || (row >= 6 && row <= 13) || row == 14 || row == 16, qPrintable(QString::number(row)));
            // Header, totals and staff hold the whole bill's values on every page.
            if (row == 14 || row == 16 || (row == 4 && place.second != 15))
                QCOMPARE(text, first.at(place));
        }
        const QString number = cells.at({4, 15});
        QCOMPARE(number, pageCount == 1 ? QStringLiteral("№ 000042")
                                        : QStringLiteral("№ 000042（%1/%2）").arg(page + 1).arg(pageCount));
        for (int slot = 0; slot < 8; ++slot) {
            const int line = page * 8 + slot + 1;
            QCOMPARE(cells.at({6 + slot, 1}), line <= filled ? QStringLiteral("L%1").arg(line) : QString());
            QCOMPARE(cells.at({6 + slot, 2}), line <= filled ? QStringLiteral("棉布-色%1").arg(line) : QStringLiteral("-"));
        }
    }
}

void TestBillPrint::printedBillReadsBack()
{
    const QString templatePath = FindDataFile(BillTemplateName());
    const QByteArray before = fileChecksum(templatePath);
    QVERIFY(PrintBill(threeLineBill()));
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(fileChecksum(templatePath), before);
    QCOMPARE(pdfPageCount(pdfPath()), 1);

    // The form's rows as the layout reads them, one after the other.
    const QStringList text = pdfLines(pdfPath());
    const QStringList rows{
        QStringLiteral("客户：甲  前台 日期：24-03-05 № 000042"),
        QStringLiteral("编号 品名-色号 1 2 3 4 5 6 7 8 9 10 KG 单价 金额"),
        QStringLiteral("A1 棉布-红 12 13.5 25.5 10.00 255.00"),
        QStringLiteral("B22 丝绸-白 20 21 22 63 8.00 504.00"),
        QStringLiteral("C333 麻布-黑 30 30 12.50 375.00"),
        QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
        QStringLiteral("合计 壹仟壹佰叁拾肆元整 6 匹 118.5 KG ￥1134.00"),
    };
    const qsizetype header = std::find_if(text.begin(), text.end(),
                                          [&](const QString &line) { return squeezed(line) == squeezed(rows.first()); })
                             - text.begin();
    QVERIFY2(header < text.size(), qPrintable(text.join(QLatin1Char('\n'))));
    for (qsizetype i = 1; i < rows.size(); ++i)
        QCOMPARE(squeezed(text.value(header + i)), squeezed(rows.at(i)));
    QCOMPARE(squeezed(text.value(header + rows.size())), squeezed(QStringLiteral("制单人：张三业务员：李四收款人：王五送货人：赵六")));
    // The worked line's pieces sit under their own captions: 12 under "1",
    // 13.5 under "2", and nothing under "3" to "10".
    const QList<PdfWord> words = pdfWords(pdfPath());
    auto find = [&words](const QString &text, double top = -1) {
        for (const PdfWord &w : words) {
            if (w.text == text && (top < 0 || std::abs(w.top - top) < 3))
                return w;
        }
        return PdfWord{};
    };
    const double captionTop = find(QStringLiteral("KG")).top;
    const double lineTop = find(QStringLiteral("A1")).top;
    QVERIFY(captionTop > 0 && lineTop > captionTop);
    QVERIFY(std::abs(find(QStringLiteral("12"), lineTop).centre() - find(QStringLiteral("1"), captionTop).centre()) < 2);
    QVERIFY(std::abs(find(QStringLiteral("13.5"), lineTop).centre() - find(QStringLiteral("2"), captionTop).centre()) < 2);
    const double from = find(QStringLiteral("3"), captionTop).left - 5;
    const double to = find(QStringLiteral("10"), captionTop).right + 5;
    for (const PdfWord &w : words) {
        if (std::abs(w.top - lineTop) < 3)
            QVERIFY2(w.centre() < from || w.centre() > to, qPrintable(w.text));
    }
}

void TestBillPrint::twentyLinesPrintOnThreePages()
{
    const PrintedBill bill = longBill(20);
    QVERIFY(PrintBill(bill));
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(pdfPageCount(pdfPath()), 3);
    const QString totals = squeezed(QStringLiteral("合计") + AmountInCapitals(99999) + QStringLiteral("40匹9999.9KG￥99999.00"));
    for (int page = 1; page <= 3; ++page) {
        const QStringList text = pdfLines(pdfPath(), page);
        const QString dump = text.join(QLatin1Char('\n'));
        QVERIFY2(squeezed(dump).contains(squeezed(QStringLiteral("№ 000042（%1/3）").arg(page))), qPrintable(dump));
        int lineRows = 0;
        int totalsRow = -1;
        for (int i = 0; i < text.size(); ++i) {
            const QStringList words = wordsOf(text.at(i));
            if (!words.isEmpty() && (words.first().startsWith(QLatin1Char('L')) || words.first() == QStringLiteral("-"))) {
                QVERIFY2(totalsRow < 0, "a line printed below the totals");
                ++lineRows;
            }
            if (squeezed(text.at(i)) == totals)
                totalsRow = i;
        }
        QCOMPARE(lineRows, 8);
        QVERIFY2(totalsRow >= 0, qPrintable(dump));
        const int firstLine = (page - 1) * 8 + 1;
        const int lastLine = std::min(page * 8, 20);
        QVERIFY2(squeezed(dump).contains(squeezed(QStringLiteral("L%1棉布-色%1").arg(firstLine))), qPrintable(dump));
        QVERIFY2(squeezed(dump).contains(squeezed(QStringLiteral("L%1棉布-色%1").arg(lastLine))), qPrintable(dump));
        QVERIFY(squeezed(dump).contains(squeezed(QStringLiteral("送货人：赵六"))));
    }
}

void TestBillPrint::largestValuesPrintAlikeFromBothTemplates()
{
    const QString calcTemplate = installCalcTemplate();
    QVERIFY2(!calcTemplate.isEmpty(), "tests/data/Tovik-calc.xlsx is missing");
    const QString calcPath = DataFolder() + QLatin1Char('/') + calcTemplate;
    const QByteArray calcBefore = fileChecksum(calcPath);
    // Two pages: the largest values a bill holds, a weight that once showed
    // as "####", and nine more lines.
    PrintedBill bill = longBill(11);
    bill.lines[0] = makeLine(QStringLiteral("WX-2024-0001"), QStringLiteral("全棉平纹"), QStringLiteral("大红"),
                             QStringList(10, QStringLiteral("9999.9")), QStringLiteral("99999"),
                             QStringLiteral("9999.99"), QStringLiteral("9999999.99"));
    bill.lines[1].pieces[0] = QStringLiteral("112.5");
    bill.totalKg = QStringLiteral("99999.9");
    bill.totalAmount = QStringLiteral("9999999.99");

    QVERIFY(PrintBill(bill));
    const QString dump = pdfLines(pdfPath()).join(QLatin1Char('\n'));
    QVERIFY2(!dump.contains(QLatin1Char('#')), qPrintable(dump));
    const QStringList words = wordsOf(dump);
    QCOMPARE(words.count(QStringLiteral("9999.9")), 10);
    for (const QString &value : {QStringLiteral("WX-2024-0001"), QStringLiteral("99999"), QStringLiteral("9999.99"),
                                 QStringLiteral("9999999.99"), QStringLiteral("112.5"), QStringLiteral("￥9999999.99")})
        QVERIFY2(words.contains(normalised(value)), qPrintable(value + QLatin1Char('\n') + dump));
    QVERIFY(squeezed(dump).contains(squeezed(AmountInCapitals(9999999.99))));

    // The copy re-saved by Calc puts every word in the same place.
    const QList<PdfWord> expected = pdfWords(pdfPath());
    QVERIFY(PrintBill(bill, calcTemplate));
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(fileChecksum(calcPath), calcBefore);
    const QList<PdfWord> printed = pdfWords(pdfPath());
    QVERIFY(expected.size() > 100);
    QCOMPARE(printed.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString where = QStringLiteral("%1 at %2,%3 / %4 at %5,%6")
                                  .arg(expected[i].text).arg(expected[i].left).arg(expected[i].top)
                                  .arg(printed[i].text).arg(printed[i].left).arg(printed[i].top);
        QVERIFY2(printed[i].text == expected[i].text, qPrintable(where));
        QVERIFY2(std::abs(printed[i].left - expected[i].left) < 1.5 && std::abs(printed[i].top - expected[i].top) < 1.5,
                 qPrintable(where));
    }
}

void TestBillPrint::failuresPrintNothing_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QByteArray>("damaged"); // written as the template into the data folder when set
    QTest::addColumn<QString>("printer");    // empty: PDF into pdfPath()
    QTest::addColumn<QString>("totalAmount");
    QTest::addColumn<QString>("messagePart");
    const QString tovik = BillTemplateName();
    QTest::newRow("template missing") << "Missing.xltx" << QByteArray() << QString() << "1134.00" << "Missing.xltx";
    QTest::newRow("template damaged") << tovik << QByteArray("PK\x03\x04 not a workbook") << QString() << "1134.00"
                                      << QStringLiteral("/data/Tovik.xltx");
    QTest::newRow("printer unknown") << tovik << QByteArray() << "没有这台打印机" << "1134.00" << "没有这台打印机";
    QTest::newRow("no printer at all") << tovik << QByteArray() << "" << "1134.00" << "printer";
    QTest::newRow("pdf folder missing") << tovik << QByteArray() << QStringLiteral("pdf:%1/no/such/bill.pdf").arg(m_home.path())
                                        << "1134.00" << "/no/such/bill.pdf";
    QTest::newRow("total not a number") << tovik << QByteArray() << QString() << "一千" << "一千";
    QTest::newRow("total too big to spell") << tovik << QByteArray() << QString() << "10000000000000.00" << "13";
}

void TestBillPrint::failuresPrintNothing()
{
    QFETCH(QString, templateName);
    QFETCH(QByteArray, damaged);
    QFETCH(QString, printer);
    QFETCH(QString, totalAmount);
    QFETCH(QString, messagePart);
    if (QTest::currentDataTag() == QLatin1String("no printer at all") && !QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("this machine has a printer; the bill would really print");
    const QString shipped = FindDataFile(BillTemplateName());
    const QByteArray shippedBefore = fileChecksum(shipped);
    const QString shadow = DataFolder() + QLatin1Char('/') + BillTemplateName();
    if (!damaged.isNull()) {
        QFile file(shadow);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    if (QTest::currentDataTag() == QLatin1String("no printer at all") || !printer.isEmpty())
        setPrinter(printer);
    PrintedBill bill = longBill(12);
    bill.totalAmount = totalAmount;

    const bool printed = PrintBill(bill, templateName);
    const QByteArray damagedAfter = damaged.isNull() ? QByteArray() : fileChecksum(shadow);
    QFile::remove(shadow);
    QVERIFY(!printed);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(messagePart), qPrintable(m_messages.first()));
    QVERIFY(!QFileInfo::exists(pdfPath()));
    QVERIFY(!QFileInfo::exists(m_home.filePath(QStringLiteral("no/such"))));
    QCOMPARE(QDir(m_home.path()).entryList({QStringLiteral("*.part")}, QDir::Files), QStringList());
    QCOMPARE(fileChecksum(shipped), shippedBefore);
    if (!damaged.isNull())
        QCOMPARE(damagedAfter, QCryptographicHash::hash(damaged, QCryptographicHash::Sha256));
}

void TestBillPrint::dialogsCanBeCancelled_data()
{
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("previewPages"); // -1: no preview
    QTest::newRow("ask") << "ask" << -1;
    QTest::newRow("preview") << "preview" << 3;
}

void TestBillPrint::dialogsCanBeCancelled()
{
    QFETCH(QString, printer);
    QFETCH(int, previewPages);
    setPrinter(printer);
    QString dialogClass;
    int pages = -1;
    QTimer closer;
    closer.setInterval(50);
    connect(&closer, &QTimer::timeout, this, [&] {
        QDialog *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialogClass = QString::fromLatin1(dialog->metaObject()->className());
        if (const auto *preview = dialog->findChild<QPrintPreviewWidget *>())
            pages = preview->pageCount();
        dialog->reject();
    });
    closer.start();
    QVERIFY(!PrintBill(longBill(20)));
    closer.stop();
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(dialogClass, previewPages < 0 ? QStringLiteral("QPrintDialog") : QStringLiteral("QPrintPreviewDialog"));
    QCOMPARE(pages, previewPages);
    QVERIFY(!QFileInfo::exists(pdfPath()));
}

QTEST_MAIN(TestBillPrint)
#include "tst_billprint.moc"
