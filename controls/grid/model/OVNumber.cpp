#include "OVNumber.h"

#include "Decimal.h"

#include <cmath>

namespace {

constexpr double Limit = 1e15;

// Full-width forms (U+FF01…U+FF5E) map to ASCII by a fixed offset; the
// ideographic space is a blank.
QChar toAscii(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - 0xFEE0));
    if (u == 0x3000)
        return QLatin1Char(' ');
    return c;
}

} // namespace

QString ovNumberText(const QString &text)
{
    QString ascii;
    ascii.reserve(text.size());
    for (const QChar c : text)
        ascii.append(toAscii(c));
    ascii = ascii.trimmed();
    const auto number = Decimal::parse(ascii);
    if (!number)
        return QString();
    const double value = number->toDouble();
    if (!std::isfinite(value) || std::abs(value) >= Limit)
        return QString();
    return ascii;
}

std::optional<double> ovReadNumber(const QString &text)
{
    const QString ascii = ovNumberText(text);
    if (ascii.isEmpty())
        return std::nullopt;
    return Decimal::parse(ascii)->toDouble();
}
