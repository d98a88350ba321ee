#include "OVNumber.h"

#include "Decimal.h"

QString ovNumberText(const QString &text)
{
    QString ascii;
    ascii.reserve(text.size());
    for (const QChar c : text)
        ascii.append(Decimal::asciiForm(c));
    ascii = ascii.trimmed();
    return Decimal::read(ascii) ? ascii : QString();
}

std::optional<double> ovReadNumber(const QString &text)
{
    // The limit of the rule keeps every value finite.
    if (const auto number = Decimal::read(text))
        return number->toDouble();
    return std::nullopt;
}
