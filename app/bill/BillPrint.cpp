#include "BillPrint.h"

#include "shared/forms/MessageBox.h"
#include "AmountInCapitals.h"
#include "shared/sheet/Spreadsheet.h"

#include <QLocale>

#include <algorithm>
#include <optional>

namespace {

// Where the template takes each value.
constexpr int kHeaderRow = 4;
constexpr int kFirstLineRow = 6;
constexpr int kTotalsRow = 14;
constexpr int kStaffRow = 16;
constexpr int kClientColumn = 1;
constexpr int kDateColumn = 11;
constexpr int kNumberColumn = 15;
constexpr int kArtnoColumn = 1;
constexpr int kProductColumn = 2;
constexpr int kFirstPieceColumn = 3;
constexpr int kKgColumn = 13;
constexpr int kPriceColumn = 14;
constexpr int kAmountColumn = 15;
constexpr int kCapitalsColumn = 2;
constexpr int kTotalPiecesColumn = 8;
constexpr int kTotalKgColumn = 11;
constexpr int kTotalAmountColumn = 14;
constexpr std::array<int, 4> kStaffColumns{1, 3, 6, 10};
const std::array<QString, 4> kStaffCaptions{QStringLiteral("制单人："), QStringLiteral("业务员："),
                                            QStringLiteral("收款人："), QStringLiteral("送货人：")};

// The amount the label shows; it carries no separators, but a pasted or
// hand-made one might.
std::optional<double> amountOf(const QString &text)
{
    QString plain = text.trimmed();
    plain.remove(QLatin1Char(','));
    bool ok = false;
    const double amount = QLocale::c().toDouble(plain, &ok);
    return ok ? std::optional(amount) : std::nullopt;
}

QString capitalsOf(const QString &amountText)
{
    const std::optional<double> amount = amountOf(amountText);
    return amount ? AmountInCapitals(*amount) : QString();
}

void addLine(QList<SheetCell> &cells, int row, const PrintedBillLine &line)
{
    cells.append({row, kArtnoColumn, line.artno});
    cells.append({row, kProductColumn, line.product + QLatin1Char('-') + line.color});
    for (int piece = 0; piece < int(line.pieces.size()); ++piece)
        cells.append({row, kFirstPieceColumn + piece, line.pieces[piece]});
    cells.append({row, kKgColumn, line.kg});
    cells.append({row, kPriceColumn, line.price});
    cells.append({row, kAmountColumn, line.amount});
}

} // namespace

bool PrintedBillLine::isEmpty() const
{
    return artno.isEmpty() && product.isEmpty() && color.isEmpty() && kg.isEmpty() && price.isEmpty()
           && amount.isEmpty() && std::all_of(pieces.begin(), pieces.end(), [](const QString &p) { return p.isEmpty(); });
}

QList<QList<SheetCell>> BillSheetPages(const PrintedBill &bill)
{
    qsizetype lineCount = bill.lines.size();
    while (lineCount > kBillLinesPerPage && bill.lines.at(lineCount - 1).isEmpty())
        --lineCount;
    const int pageCount = std::max<int>(1, int((lineCount + kBillLinesPerPage - 1) / kBillLinesPerPage));

    const QString number = QStringLiteral("№ ") + QStringLiteral("%1").arg(bill.id, 6, 10, QLatin1Char('0'));
    const QString capitals = capitalsOf(bill.totalAmount);
    QList<QList<SheetCell>> pages;
    for (int page = 0; page < pageCount; ++page) {
        QList<SheetCell> cells;
        cells.append({kHeaderRow, kClientColumn, QStringLiteral("客户：") + bill.client + QStringLiteral("  ") + bill.contact});
        cells.append({kHeaderRow, kDateColumn, QStringLiteral("日期：") + bill.date.toString(QStringLiteral("yy-MM-dd"))});
        // A bill on several sheets says which sheet of how many each is.
        cells.append({kHeaderRow, kNumberColumn,
                      pageCount == 1 ? number : number + QStringLiteral("（%1/%2）").arg(page + 1).arg(pageCount)});
        for (int slot = 0; slot < kBillLinesPerPage; ++slot) {
            const qsizetype index = qsizetype(page) * kBillLinesPerPage + slot;
            addLine(cells, kFirstLineRow + slot, index < lineCount ? bill.lines.at(index) : PrintedBillLine());
        }
        cells.append({kTotalsRow, kCapitalsColumn, capitals});
        cells.append({kTotalsRow, kTotalPiecesColumn, bill.totalPieces + QStringLiteral(" 匹")});
        cells.append({kTotalsRow, kTotalKgColumn, bill.totalKg + QStringLiteral(" KG")});
        cells.append({kTotalsRow, kTotalAmountColumn, QStringLiteral("￥") + bill.totalAmount});
        for (std::size_t i = 0; i < kStaffColumns.size(); ++i)
            cells.append({kStaffRow, kStaffColumns[i], kStaffCaptions[i] + bill.staff[i]});
        pages.append(cells);
    }
    return pages;
}

QString BillTemplateName()
{
    return QStringLiteral("Tovik.xltx");
}

bool PrintBill(const PrintedBill &bill, const QString &templateName)
{
    // Checked before the template opens, so a bad total prints nothing.
    const std::optional<double> amount = amountOf(bill.totalAmount);
    if (!amount) {
        MsgBox(QStringLiteral("合计金额“%1”不是数字，无法打印。").arg(bill.totalAmount), MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    QString error;
    if (AmountInCapitals(*amount, &error).isEmpty()) {
        MsgBox(error, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    return PrintTemplatePages(templateName, BillSheetPages(bill));
}
