#include "shared/sheet/SheetError.h"
#include "shared/sheet/XlsxReader.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <xlsxwriter.h>
#include <zip.h>

namespace {

// Replaces (or adds) one part of a zip package.
void replacePart(const QString &path, const char *name, const QByteArray &content)
{
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), 0, &code);
    QVERIFY(archive);
    zip_source_t *source = zip_source_buffer(archive, content.constData(), content.size(), 0);
    QVERIFY(zip_file_add(archive, name, source, ZIP_FL_OVERWRITE) >= 0);
    QCOMPARE(zip_close(archive), 0);
}

} // namespace

class TestXlsxReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsStylesGeometryAndPageSetup();
    void readsInlineStrings();
    void readsAnotherWritersWorkbook();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();

private:
    QString writeStyledWorkbook(bool constantMemory);
    QTemporaryDir m_dir;
};

QString TestXlsxReader::writeStyledWorkbook(bool constantMemory)
{
    const QString path = m_dir.filePath(constantMemory ? QStringLiteral("inline.xlsx") : QStringLiteral("styled.xlsx"));
    lxw_workbook_options options{};
    options.constant_memory = constantMemory;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *first = workbook_add_worksheet(workbook, "码单");
    lxw_worksheet *second = workbook_add_worksheet(workbook, "其它");
    worksheet_write_string(second, 0, 0, "not read", nullptr);

    lxw_format *title = workbook_add_format(workbook);
    format_set_font_name(title, "黑体");
    format_set_font_size(title, 14);
    format_set_bold(title);
    format_set_italic(title);
    format_set_underline(title, LXW_UNDERLINE_SINGLE);
    format_set_font_color(title, 0xFF0000);
    format_set_bg_color(title, 0xFFFF00);
    format_set_pattern(title, LXW_PATTERN_SOLID);
    format_set_align(title, LXW_ALIGN_CENTER);
    format_set_align(title, LXW_ALIGN_VERTICAL_TOP);
    format_set_text_wrap(title);

    lxw_format *boxed = workbook_add_format(workbook);
    format_set_left(boxed, LXW_BORDER_THIN);
    format_set_right(boxed, LXW_BORDER_MEDIUM);
    format_set_top(boxed, LXW_BORDER_DASHED);
    format_set_bottom(boxed, LXW_BORDER_DOUBLE);
    format_set_bottom_color(boxed, 0x0000FF);
    format_set_num_format(boxed, "0.00\"元\"");
    format_set_shrink(boxed);
    format_set_indent(boxed, 2);
    format_set_align(boxed, LXW_ALIGN_RIGHT);

    lxw_format *grouped = workbook_add_format(workbook);
    format_set_num_format_index(grouped, 4); // #,##0.00

    worksheet_set_column(first, 0, 0, 20, nullptr);
    lxw_row_col_options hidden{1, 0, 0};
    worksheet_set_column_opt(first, 1, 2, 12, nullptr, &hidden);
    worksheet_set_row(first, 2, 30, nullptr);
    worksheet_set_default_row(first, 18, LXW_FALSE);

    worksheet_merge_range(first, 0, 0, 0, 4, "送货单", title);
    worksheet_write_number(first, 2, 0, 1234.5, boxed);
    worksheet_write_number(first, 3, 0, 1234567.125, grouped);
    worksheet_write_string(first, 3, 3, "客户：甲", nullptr);
    worksheet_write_formula_num(first, 4, 0, "=1+1", nullptr, 2);
    worksheet_write_boolean(first, 4, 1, 1, nullptr);

    worksheet_set_paper(first, 11); // A5
    worksheet_set_landscape(first);
    worksheet_set_margins(first, 0.5, 0.25, 1, 0.75);
    worksheet_fit_to_pages(first, 1, 0);
    worksheet_center_horizontally(first);
    worksheet_center_vertically(first);
    worksheet_print_area(first, 0, 0, 15, 14);
    worksheet_set_selection(first, 3, 3, 3, 3);
    worksheet_activate(first);
    [&] { QCOMPARE(workbook_close(workbook), LXW_NO_ERROR); }();
    return path;
}

void TestXlsxReader::readsStylesGeometryAndPageSetup()
{
    const Worksheet sheet = ReadFirstWorksheet(writeStyledWorkbook(false));
    QCOMPARE(sheet.name(), QStringLiteral("码单"));

    QCOMPARE(sheet.text(1, 1), QStringLiteral("送货单"));
    QCOMPARE(sheet.merges().size(), std::size_t(1));
    QCOMPARE(sheet.merges().front(), (CellRange{1, 1, 1, 5}));
    const CellStyle &title = sheet.cellStyle(1, 3); // merged cells share the style
    QCOMPARE(title.font.name, QStringLiteral("黑体"));
    QCOMPARE(title.font.size, 14.0);
    QVERIFY(title.font.bold && title.font.italic && title.font.underline);
    QCOMPARE(title.font.color, QColor(Qt::red));
    QCOMPARE(title.fill, QColor(Qt::yellow));
    QCOMPARE(title.horizontal, HorizontalAlignment::Center);
    QCOMPARE(title.vertical, VerticalAlignment::Top);
    QVERIFY(title.wrapText);

    QCOMPARE(sheet.kind(3, 1), CellKind::Number);
    QCOMPARE(sheet.displayText(3, 1), QStringLiteral("1234.50元"));
    const CellStyle &boxed = sheet.cellStyle(3, 1);
    QCOMPARE(boxed.left.style, BorderStyle::Thin);
    QCOMPARE(boxed.right.style, BorderStyle::Medium);
    QCOMPARE(boxed.top.style, BorderStyle::Dashed);
    QCOMPARE(boxed.bottom.style, BorderStyle::Double);
    QCOMPARE(boxed.bottom.color, QColor(Qt::blue));
    QCOMPARE(boxed.horizontal, HorizontalAlignment::Right);
    QVERIFY(boxed.shrinkToFit);
    QCOMPARE(boxed.indent, 2);
    QCOMPARE(sheet.displayText(4, 1), QStringLiteral("1,234,567.13"));
    QCOMPARE(sheet.text(4, 4), QStringLiteral("客户：甲"));
    QCOMPARE(sheet.number(5, 1), 2.0);           // a formula's cached value
    QCOMPARE(sheet.text(5, 2), QStringLiteral("TRUE"));
    QCOMPARE(sheet.cellStyle(5, 1).font.bold, false);

    QCOMPARE(sheet.columnWidth(1), 20.7109375); // as stored: the width plus padding
    QCOMPARE(sheet.columnWidth(2), 0.0);
    QCOMPARE(sheet.columnWidth(3), 0.0);
    QCOMPARE(sheet.rowHeight(3), 30.0);
    QCOMPARE(sheet.rowHeight(7), 18.0);

    const PageSetup &page = sheet.pageSetup();
    QCOMPARE(page.paper.id(), QPageSize::A5);
    QCOMPARE(page.orientation, QPageLayout::Landscape);
    QCOMPARE(page.margins, QMarginsF(12.7, 25.4, 6.35, 19.05));
    QVERIFY(page.fitToPage);
    QCOMPARE(page.fitToWidth, 1);
    QCOMPARE(page.fitToHeight, 0);
    QVERIFY(page.centerHorizontally && page.centerVertically);
    QCOMPARE(sheet.printArea(), std::optional<CellRange>(CellRange{1, 1, 16, 15}));
    QCOMPARE(sheet.selection(), std::make_pair(4, 4));
}

void TestXlsxReader::readsInlineStrings()
{
    const Worksheet sheet = ReadFirstWorksheet(writeStyledWorkbook(true));
    QCOMPARE(sheet.text(4, 4), QStringLiteral("客户：甲"));
    QCOMPARE(sheet.number(3, 1), 1234.5);
}

// openpyxl writes its parts differently (theme colours, its own style
// tables, explicit paper sizes): a second opinion on what a workbook is.
void TestXlsxReader::readsAnotherWritersWorkbook()
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(python))
        QSKIP("Debian's python3 with openpyxl is needed");
    const QString path = m_dir.filePath(QStringLiteral("openpyxl.xlsx"));
    const QString script = QStringLiteral(R"(
import sys
from openpyxl import Workbook
from openpyxl.styles import Font, Border, Side, Alignment, PatternFill, Color
wb = Workbook()
ws = wb.active
ws.title = '查询'
ws['A1'] = '品名'
ws['A1'].font = Font(name='宋体', size=12, bold=True, color=Color(theme=4))
ws['B2'] = 25.5
ws['B2'].number_format = '0.00'
ws['B2'].border = Border(left=Side(style='thin'), bottom=Side(style='thick', color='FF00FF00'))
ws['C3'] = '红色'
ws['C3'].alignment = Alignment(horizontal='distributed', vertical='center', wrap_text=True)
ws['C3'].fill = PatternFill('solid', fgColor=Color(indexed=10))
ws.merge_cells('D1:E2')
ws.column_dimensions['B'].width = 15
ws.row_dimensions[2].height = 40
ws.page_setup.paperSize = ws.PAPERSIZE_A3
ws.page_setup.orientation = 'landscape'
ws.page_setup.scale = 75
ws.print_options.gridLines = True
wb.create_sheet('second')['A1'] = 'x'
wb.save(sys.argv[1])
)");
    QProcess process;
    process.start(python, {QStringLiteral("-c"), script, path});
    QVERIFY(process.waitForFinished(60000));
    if (process.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("openpyxl unavailable: ") + QString::fromUtf8(process.readAllStandardError())));

    const Worksheet sheet = ReadFirstWorksheet(path);
    QCOMPARE(sheet.name(), QStringLiteral("查询"));
    QCOMPARE(sheet.text(1, 1), QStringLiteral("品名"));
    const CellFont &font = sheet.cellStyle(1, 1).font;
    QCOMPARE(font.name, QStringLiteral("宋体"));
    QCOMPARE(font.size, 12.0);
    QVERIFY(font.bold);
    QCOMPARE(font.color, QColor(QRgb(0x4F81BD))); // accent 1 of the theme openpyxl writes
    QCOMPARE(sheet.displayText(2, 2), QStringLiteral("25.50"));
    QCOMPARE(sheet.cellStyle(2, 2).left.style, BorderStyle::Thin);
    QCOMPARE(sheet.cellStyle(2, 2).bottom.style, BorderStyle::Thick);
    QCOMPARE(sheet.cellStyle(2, 2).bottom.color, QColor(Qt::green));
    const CellStyle &c3 = sheet.cellStyle(3, 3);
    QCOMPARE(c3.horizontal, HorizontalAlignment::Distributed);
    QCOMPARE(c3.vertical, VerticalAlignment::Center);
    QVERIFY(c3.wrapText);
    QCOMPARE(c3.fill, QColor(Qt::red)); // indexed colour 10
    QCOMPARE(sheet.merges().front(), (CellRange{1, 4, 2, 5}));
    QCOMPARE(sheet.columnWidth(2), 15.0);
    QCOMPARE(sheet.rowHeight(2), 40.0);
    QCOMPARE(sheet.pageSetup().paper.id(), QPageSize::A3);
    QCOMPARE(sheet.pageSetup().orientation, QPageLayout::Landscape);
    QCOMPARE(sheet.pageSetup().scale, 75);
    QVERIFY(!sheet.pageSetup().fitToPage);
    QVERIFY(sheet.pageSetup().gridLines);
}

void TestXlsxReader::refusesDamagedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");      // the whole file, or
    QTest::addColumn<QByteArray>("sheetContent"); // a replacement for the sheet part of a good one
    QTest::newRow("missing") << "missing.xltx" << QByteArray() << QByteArray();
    QTest::newRow("empty file") << "empty.xltx" << QByteArray("") << QByteArray();
    QTest::newRow("not a zip") << "text.xltx" << QByteArray("客户：甲\r\n") << QByteArray();
    QTest::newRow("truncated zip") << "truncated.xltx" << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8) << QByteArray();
    QTest::newRow("malformed sheet") << "malformed.xltx" << QByteArray() << QByteArray("<worksheet><sheetData><row r=\"1\">");
    QTest::newRow("shared text out of range")
        << "strings.xltx" << QByteArray()
        << QByteArray("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>999</v></c></row></sheetData></worksheet>");
    QTest::newRow("row beyond the sheet")
        << "rows.xltx" << QByteArray()
        << QByteArray("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                      "<row r=\"99999999\"/></sheetData></worksheet>");
}

void TestXlsxReader::refusesDamagedFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, sheetContent);
    const QString path = m_dir.filePath(name);
    if (!sheetContent.isEmpty()) {
        QVERIFY(QFile::copy(writeStyledWorkbook(false), path));
        replacePart(path, "xl/worksheets/sheet1.xml", sheetContent);
    } else if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    try {
        ReadFirstWorksheet(path);
        QFAIL("a damaged workbook was read");
    } catch (const SheetError &error) {
        QVERIFY2(error.description().contains(path), qPrintable(error.description()));
    }
}

QTEST_GUILESS_MAIN(TestXlsxReader)
#include "tst_xlsxreader.moc"
