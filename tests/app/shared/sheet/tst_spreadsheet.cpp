#include "MessageCapture.h"
#include "shared/sheet/SheetPrinter.h"
#include "shared/sheet/Spreadsheet.h"
#include "shared/sheet/Workbook.h"
#include "shared/base/AppPaths.h"
#include "PrintReadBack.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

class TestSpreadsheet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void exportIsReadBackWithNumbersAsNumbers();
    void exportWithoutSpreadsheetApplicationShowsThePath();
    void exportToUnusableFolderLeavesNothing();
    void exportWithInvalidSheetName();

    void billPrintsAtItsPlacesAndTemplateIsUnchanged();
    void longSheetPrintsOnSeveralPages();
    void printFailuresAreShown_data();
    void printFailuresAreShown();

private:
    void setPrinter(const QString &value);
    QString exportFolder() const { return m_home.filePath(QStringLiteral("Documents/Tovik")); }

    QTemporaryDir m_home;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
    QStringList m_opened;
    bool m_openerSucceeds = true;
};

void TestSpreadsheet::initTestCase()
{
    QVERIFY(m_home.isValid());
    // The documents folder, settings and data folder all live in the test's
    // own home.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("TOVIK_DATA_DIR", m_home.filePath(QStringLiteral("data")).toUtf8());
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("config/Orvane"))));
    setPrinter(QString());
    SetExportFileOpener([this](const QString &path) {
        m_opened << path;
        return m_openerSucceeds;
    });
}

void TestSpreadsheet::init()
{
    m_messages.clear();
    m_opened.clear();
    m_openerSucceeds = true;
}

void TestSpreadsheet::cleanup()
{
    QDir(exportFolder()).removeRecursively();
}

void TestSpreadsheet::setPrinter(const QString &value)
{
    QFile ini(m_home.filePath(QStringLiteral("config/Orvane/ov.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[ov]\nprinter=" + value.toUtf8() + "\n");
}

void TestSpreadsheet::exportIsReadBackWithNumbersAsNumbers()
{
    const QString content = QStringLiteral("编号\t品名\t重量\t金额\r\n"
                                           "007\t红布\t25.5\t1,234.50\r\n"
                                           "A1\t\t-3\t0\r\n");
    QVERIFY(ExportRowsToSheet(QStringLiteral("查询"), content));
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(m_opened.size(), 1);
    const QString path = m_opened.first();
    QCOMPARE(QFileInfo(path).absolutePath(), exportFolder());
    QVERIFY(QFileInfo(path).fileName().startsWith(QStringLiteral("查询_")));
    QVERIFY(path.endsWith(QStringLiteral(".xlsx")));
    QCOMPARE(QGuiApplication::clipboard()->text(), content);
    QCOMPARE(QDir(exportFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no partial file left

    // Read back by a program that is not ours.
    const QString script = QStringLiteral(R"(
import json, sys
from openpyxl import load_workbook
wb = load_workbook(sys.argv[1])
ws = wb.active
cells = []
for row in ws.iter_rows():
    for c in row:
        if c.value is not None:
            kind = 'n' if isinstance(c.value, (int, float)) else 's'
            cells.append([c.coordinate, kind, str(c.value)])
print(json.dumps([wb.sheetnames, cells], ensure_ascii=False))
)");
    const QString output = runTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    QVERIFY2(!output.isEmpty(), "Debian's python3-openpyxl is needed to read the export back");
    const QJsonArray result = QJsonDocument::fromJson(output.toUtf8()).array();
    QCOMPARE(result.at(0).toArray(), QJsonArray{QStringLiteral("查询")});
    QStringList cells;
    for (const QJsonValue &cell : result.at(1).toArray()) {
        const QJsonArray c = cell.toArray();
        cells << c.at(0).toString() + QLatin1Char(' ') + c.at(1).toString() + QLatin1Char(' ') + c.at(2).toString();
    }
    const QStringList expected{
        QStringLiteral("A1 s 编号"), QStringLiteral("B1 s 品名"), QStringLiteral("C1 s 重量"), QStringLiteral("D1 s 金额"),
        QStringLiteral("A2 s 007"),  QStringLiteral("B2 s 红布"), QStringLiteral("C2 n 25.5"), QStringLiteral("D2 n 1234.5"),
        QStringLiteral("A3 s A1"),   QStringLiteral("C3 n -3"),   QStringLiteral("D3 n 0"),
    };
    QCOMPARE(cells, expected);
}

void TestSpreadsheet::exportWithoutSpreadsheetApplicationShowsThePath()
{
    m_openerSucceeds = false;
    QVERIFY(ExportRowsToSheet(QStringLiteral("查询"), QStringLiteral("1\t2")));
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().contains(m_opened.first()));
    QVERIFY(QFileInfo::exists(m_opened.first()));
}

void TestSpreadsheet::exportToUnusableFolderLeavesNothing()
{
    // A file where the documents folder should be: the folder cannot be made.
    QTemporaryDir otherHome;
    QFile blocker(otherHome.filePath(QStringLiteral("Documents")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("HOME", otherHome.path().toUtf8());
    const bool exported = ExportRowsToSheet(QStringLiteral("查询"), QStringLiteral("1\t2"));
    qputenv("HOME", m_home.path().toUtf8());

    QVERIFY(!exported);
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(otherHome.filePath(QStringLiteral("Documents/Tovik"))),
             qPrintable(m_messages.first()));
}

void TestSpreadsheet::exportWithInvalidSheetName()
{
    QVERIFY(!ExportRowsToSheet(QStringLiteral("查询/结果"), QStringLiteral("1")));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().contains(QStringLiteral("查询/结果")));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(QDir(exportFolder()).isEmpty());
}

void TestSpreadsheet::billPrintsAtItsPlacesAndTemplateIsUnchanged()
{
    const QString templatePath = FindDataFile(QStringLiteral("Tovik.xltx"));
    QVERIFY2(!templatePath.isEmpty(), "the generated template is missing from the build's share/tovik");
    const QByteArray before = fileChecksum(templatePath);
    const QString pdf = m_home.filePath(QStringLiteral("bill.pdf"));
    setPrinter(QStringLiteral("pdf:") + pdf);

    struct Line
    {
        QString article, product, pieces[3], kg, price, amount;
    };
    const Line lines[3] = {
        {QStringLiteral("A1"), QStringLiteral("棉布-红"), {QStringLiteral("12"), QStringLiteral("13.5"), QString()},
         QStringLiteral("25.5"), QStringLiteral("10.00"), QStringLiteral("255.00")},
        {QStringLiteral("B22"), QStringLiteral("丝绸-白"), {QStringLiteral("20"), QStringLiteral("21"), QStringLiteral("22")},
         QStringLiteral("63"), QStringLiteral("8.00"), QStringLiteral("504.00")},
        {QStringLiteral("C333"), QStringLiteral("麻布-黑"), {QStringLiteral("30"), QString(), QString()},
         QStringLiteral("30"), QStringLiteral("12.50"), QStringLiteral("375.00")},
    };
    const QString capitals = QStringLiteral("壹仟壹佰叁拾肆元整");
    QList<SheetCell> cells{{4, 1, QStringLiteral("客户：甲  前台")},  {4, 11, QStringLiteral("日期：24-03-05")},
                           {4, 15, QStringLiteral("№ 000042")},        {14, 2, capitals},
                           {14, 8, QStringLiteral("6 匹")},            {14, 11, QStringLiteral("143.5 KG")},
                           {14, 14, QStringLiteral("￥1134.00")},      {16, 1, QStringLiteral("制单人：张三")},
                           {16, 3, QStringLiteral("业务员：李四")},    {16, 6, QStringLiteral("收款人：王五")},
                           {16, 10, QStringLiteral("送货人：赵六")}};
    for (int n = 1; n <= 8; ++n) {
        const bool filled = n <= 3;
        const Line &line = lines[filled ? n - 1 : 0];
        cells.append({5 + n, 1, filled ? line.article : QString()});
        cells.append({5 + n, 2, filled ? line.product : QStringLiteral("-")});
        for (int piece = 0; piece < 10; ++piece)
            cells.append({5 + n, 3 + piece, filled && piece < 3 ? line.pieces[piece] : QString()});
        cells.append({5 + n, 13, filled ? line.kg : QString()});
        cells.append({5 + n, 14, filled ? line.price : QString()});
        cells.append({5 + n, 15, filled ? line.amount : QString()});
    }
    const bool printed = PrintTemplatePages(QStringLiteral("Tovik.xltx"), {cells});
    QVERIFY(printed);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(fileChecksum(templatePath), before);

    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(!info.isEmpty(), "pdfinfo (poppler-utils) is needed");
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    QVERIFY(info.contains(QStringLiteral("(A4)")));

    const QStringList text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    auto lineWhere = [&text](const std::function<bool(const QString &)> &test, int from = 0) {
        for (int i = from; i < text.size(); ++i) {
            if (test(text.at(i)))
                return i;
        }
        return -1;
    };
    auto squeezedIs = [](const QStringList &parts) {
        return [expected = squeezed(parts.join(QString()))](const QString &line) { return squeezed(line) == expected; };
    };
    auto wordsAre = [](const QStringList &words) {
        return [expected = wordsOf(words.join(QLatin1Char(' ')))](const QString &line) { return wordsOf(line) == expected; };
    };

    const int heading = lineWhere(squeezedIs({QStringLiteral("送货单")}));
    const int header = lineWhere(squeezedIs({QStringLiteral("客户：甲  前台"), QStringLiteral("日期：24-03-05"),
                                             QStringLiteral("№ 000042")}));
    const int captions = lineWhere(wordsAre({QStringLiteral("编号"), QStringLiteral("品名-色号"), QStringLiteral("1"),
                                             QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                             QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                             QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"),
                                             QStringLiteral("KG"), QStringLiteral("单价"), QStringLiteral("金额")}));
    QVERIFY(heading >= 0);
    QVERIFY2(header > heading, qPrintable(text.join(QLatin1Char('\n'))));
    QVERIFY2(captions > header, qPrintable(text.join(QLatin1Char('\n'))));
    // Each line on its own row, in order, with nothing in the empty piece
    // columns between the last weight and the KG.
    int previous = captions;
    for (const Line &line : lines) {
        QStringList words{line.article, line.product};
        for (const QString &piece : line.pieces) {
            if (!piece.isEmpty())
                words << piece;
        }
        words << line.kg << line.price << line.amount;
        const int row = lineWhere(wordsAre(words), previous + 1);
        QVERIFY2(row == previous + 1, qPrintable(words.join(QLatin1Char(' ')) + QLatin1Char('\n') + text.join(QLatin1Char('\n'))));
        previous = row;
    }
    for (int n = 4; n <= 8; ++n) {
        QCOMPARE(wordsOf(text.value(previous + 1)), QStringList{QStringLiteral("-")});
        ++previous;
    }
    const int totals = lineWhere(squeezedIs({QStringLiteral("合计"), capitals, QStringLiteral("6 匹"),
                                             QStringLiteral("143.5 KG"), QStringLiteral("￥1134.00")}));
    QVERIFY2(totals == previous + 1, qPrintable(text.join(QLatin1Char('\n'))));
    const int staff = lineWhere(squeezedIs({QStringLiteral("制单人：张三"), QStringLiteral("业务员：李四"),
                                            QStringLiteral("收款人：王五"), QStringLiteral("送货人：赵六")}));
    QVERIFY2(staff > totals, qPrintable(text.join(QLatin1Char('\n'))));
}

void TestSpreadsheet::longSheetPrintsOnSeveralPages()
{
    const QString pdf = m_home.filePath(QStringLiteral("long.pdf"));
    setPrinter(QStringLiteral("pdf:") + pdf);
    QString content;
    for (int row = 1; row <= 150; ++row)
        content += QStringLiteral("第%1行\t%2\r\n").arg(row).arg(row * 1.5);
    Workbook workbook;
    workbook.activeSheet().pasteText(content);
    QVERIFY(workbook.printOut(PrintTarget::fromSetting(QStringLiteral("pdf:") + pdf)));
    QVERIFY(m_messages.isEmpty());
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runTool(QStringLiteral("pdfinfo"), {pdf}));
    QVERIFY(pages.hasMatch());
    QVERIFY(pages.captured(1).toInt() >= 3); // 150 rows of 15 points on A4
    const QString text = squeezed(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
    for (int row : {1, 75, 150})
        QVERIFY(text.contains(squeezed(QStringLiteral("第%1行%2").arg(row).arg(row * 1.5))));
}

void TestSpreadsheet::printFailuresAreShown_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QByteArray>("templateContent"); // written into the data folder when set
    QTest::addColumn<QString>("printer");
    QTest::addColumn<QString>("messagePart");
    const QString home = m_home.path();
    QTest::newRow("template missing") << "Missing.xltx" << QByteArray() << QString() << "Missing.xltx";
    QTest::newRow("template damaged") << "Tovik.xltx" << QByteArray("not a workbook") << QString()
                                      << QStringLiteral("%1/data/Tovik.xltx").arg(home);
    QTest::newRow("printer unknown") << "Tovik.xltx" << QByteArray() << "没有这台打印机" << "没有这台打印机";
    QTest::newRow("pdf folder missing") << "Tovik.xltx" << QByteArray()
                                        << QStringLiteral("pdf:%1/no/such/folder/bill.pdf").arg(home)
                                        << QStringLiteral("%1/no/such/folder/bill.pdf").arg(home);
}

void TestSpreadsheet::printFailuresAreShown()
{
    QFETCH(QString, templateName);
    QFETCH(QByteArray, templateContent);
    QFETCH(QString, printer);
    QFETCH(QString, messagePart);
    const QString shadow = DataFolder() + QStringLiteral("/Tovik.xltx");
    if (!templateContent.isNull()) {
        QFile file(shadow);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(templateContent);
    }
    setPrinter(printer);
    const bool done = PrintTemplatePages(templateName, {{{4, 1, QStringLiteral("客户：甲")}}});
    QFile::remove(shadow);
    QVERIFY(!done);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(messagePart), qPrintable(m_messages.first()));
}

QTEST_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
