#include "GridSummary.h"

#include "OVGrid.h"
#include "OVNumber.h"

#include <QRegularExpression>
#include <QSet>

namespace {

// Decimals of a plain number format ("0", "0.00", "#,##0.0"); -1 for any
// other format.
int formatDecimals(const QString &format)
{
    static const QRegularExpression re(QStringLiteral("^[#0,]*0(?:\\.(0{1,4}))?$"));
    const QRegularExpressionMatch m = re.match(format);
    return m.hasMatch() ? int(m.capturedLength(1)) : -1;
}

} // namespace

QString GridColumnSumText(const OVGrid *grid, int column, const QString &format)
{
    const OVCurrency sum = grid->Aggregate(OVGrid::ovSTSum, 0, column);
    if (format.isEmpty())
        return sum.toString();
    const int decimals = formatDecimals(format);
    return decimals < 0 ? sum.toString() : sum.toFixed(decimals);
}

int CountDistinctInColumn(const OVGrid *grid, int column)
{
    // A hash set: the query's line grid holds tens of thousands of rows.
    QSet<double> seen;
    for (int row = 1; row < grid->Rows(); ++row) {
        if (const std::optional<double> value = ovReadNumber(grid->TextMatrix(row, column)))
            seen.insert(*value);
    }
    return int(seen.size());
}
