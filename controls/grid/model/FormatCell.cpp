#include "FormatCell.h"

#include "Decimal.h"

#include <QDate>
#include <QRegularExpression>

namespace {

bool isNumberPattern(const QString &pattern)
{
    static const QRegularExpression re(QStringLiteral("^[#0,]*(\\.[#0]*)?$"));
    return !pattern.isEmpty() && re.match(pattern).hasMatch();
}

QString formatNumber(const QString &pattern, const QString &value)
{
    const auto number = Decimal::parse(value);
    if (!number)
        return value;
    const qsizetype point = pattern.indexOf(u'.');
    const QString integerPart = point < 0 ? pattern : pattern.left(point);
    const QString fractionPart = point < 0 ? QString() : pattern.mid(point + 1);
    const int decimals = int(fractionPart.size());
    const int minIntegerDigits = int(integerPart.count(u'0'));
    const QString text = number->toFixed(decimals, minIntegerDigits, integerPart.contains(u','));
    return text.isEmpty() ? value : text;
}

// Dates as users and the database write them: year-month-day with "-", "/"
// or "." between, a two-digit year meaning 2000 … 2029 or 1930 … 1999, and an
// optional time after a space or a "T".
std::optional<QDate> readDate(const QString &value)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{4}|\\d{2})([-/.])(\\d{1,2})\\2(\\d{1,2})(?:[ T].*)?\\s*$"));
    const QRegularExpressionMatch m = re.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(1).toInt();
    if (m.captured(1).size() == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, m.captured(3).toInt(), m.captured(4).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool isDatePattern(const QString &pattern)
{
    static const QRegularExpression re(QStringLiteral("^(?=.*[yY])(?=.*[dD])[yYmMdD\\-/. ]+$"));
    return re.match(pattern).hasMatch();
}

QString formatDate(const QString &pattern, const QString &value)
{
    const auto date = readDate(value);
    if (!date)
        return value;
    // Minutes do not occur in date patterns, so "m" is the month here.
    QString qtPattern = pattern.toLower();
    qtPattern.replace(u'm', u'M');
    return date->toString(qtPattern);
}

} // namespace

QString FormatWithPattern(const QString &pattern, const QString &value)
{
    if (isNumberPattern(pattern))
        return formatNumber(pattern, value);
    if (isDatePattern(pattern))
        return formatDate(pattern, value);
    return value;
}

QString FormatCell(const QString &format, const QString &value)
{
    if (format.isEmpty())
        return value;
    if (format == QLatin1String("chk")) {
        if (value == QLatin1String("0") || value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return QString();
        return QString(TickMark);
    }
    if (format.startsWith(u'z')) {
        if (Decimal::parseLeading(value).isZero())
            return QString();
        return format.size() == 1 ? value : FormatWithPattern(format.mid(1), value);
    }
    return FormatWithPattern(format, value);
}
