#include "BillLineRules.h"

#include "BillColumns.h"
#include "shared/base/TextRules.h"

#include <OVNumber.h>

namespace BillLineRules {

namespace {

// A cell that was accepted as a number, or 0 when empty.
double numberOf(const QString &text)
{
    return ovReadNumber(text).value_or(0.0);
}

bool isNumberColumn(int col)
{
    return col >= BillCol::Piece1;
}

// The decimal text of value / 10^decimals, without trailing zeros.
QString scaledText(__int128 value, int decimals)
{
    const bool negative = value < 0;
    unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(value)
                                           : static_cast<unsigned __int128>(value);
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals - digits.size() + 1, u'0'));
    QString whole = digits.left(digits.size() - decimals);
    QString fraction = digits.right(decimals);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    QString text = fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
    if (negative && text != QLatin1String("0"))
        text.prepend(u'-');
    return text;
}

} // namespace

bool mayEdit(int row, int col, const QString &artno, const QString &artnoAbove)
{
    if (col == BillCol::Artno)
        return row == 1 || !artnoAbove.isEmpty();
    if (col == BillCol::Piece1)
        return row == 1 ? !artno.isEmpty() : !artnoAbove.isEmpty();
    return !artno.isEmpty();
}

CellCheck checkCell(int col, const QString &typed, bool keptRow)
{
    CellCheck check{CleanText(typed), QString()};
    if (col == BillCol::Artno) {
        if (keptRow && check.text.isEmpty())
            check.message = QStringLiteral("编号 必填，或删除该行。");
    } else if (isNumberColumn(col) && !check.text.isEmpty()) {
        const QString number = ovNumberText(check.text);
        if (number.isEmpty())
            check.message = QStringLiteral("数字格式！");
        else
            check.text = number;
    }
    return check;
}

QString kgText(OVCurrency kg)
{
    return kg.toString();
}

QString amountText(OVCurrency kg, const QString &priceText)
{
    // Both factors have four decimals at most, so their product in units of
    // 10^-8 is exact; a double would lose the half cent that decides rounding.
    const OVCurrency price = OVCurrency::fromText(ovNumberText(priceText)).value_or(OVCurrency());
    const __int128 product = static_cast<__int128>(kg.raw()) * price.raw();
    return scaledText(product, 8);
}

QString countText(OVCurrency count)
{
    return QString::number(count.raw() / OVCurrency::Scale);
}

Cell nextOnEnter(int row, int col)
{
    if (col == BillCol::Artno)
        return {row, BillCol::Piece1};
    if (col < BillCol::Piece10)
        return {row, col + 1};
    return {row + 1, BillCol::Piece1};
}

BillLine lineOfRow(int row, const std::function<QString(int col)> &cell)
{
    BillLine line;
    line.row = row;
    line.id = cell(BillCol::LineId).toInt();
    line.artno = CleanText(cell(BillCol::Artno));
    line.product = CleanText(cell(BillCol::Product));
    line.color = CleanText(cell(BillCol::Color));
    for (int i = 0; i < BillCol::PieceCount; ++i)
        line.pieces[i] = numberOf(cell(BillCol::Piece1 + i));
    line.quantity = numberOf(cell(BillCol::Kg));
    line.price = numberOf(cell(BillCol::Price));
    line.pi = numberOf(cell(BillCol::Pieces));
    return line;
}

} // namespace BillLineRules
