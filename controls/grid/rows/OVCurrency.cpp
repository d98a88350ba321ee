#include "OVCurrency.h"

#include "model/Decimal.h"

#include <QLocale>
#include <QMetaType>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// QVariant reads a currency value as a double or as its text.
[[maybe_unused]] const bool convertersRegistered = [] {
    QMetaType::registerConverter<OVCurrency, double>(&OVCurrency::toDouble);
    QMetaType::registerConverter<OVCurrency, QString>(&OVCurrency::toString);
    return true;
}();

} // namespace

OVCurrency OVCurrency::fromInt(qint64 units)
{
    return fromRaw(units * Scale);
}

std::optional<OVCurrency> OVCurrency::fromText(QStringView text)
{
    const auto number = Decimal::parse(text);
    if (!number)
        return std::nullopt;
    const auto raw = number->scaled(4, Decimal::Rounding::HalfEven);
    if (!raw)
        return std::nullopt;
    return fromRaw(*raw);
}

OVCurrency OVCurrency::fromLeadingNumber(QStringView text)
{
    return fromRaw(Decimal::parseLeading(text).scaled(4, Decimal::Rounding::HalfEven).value_or(0));
}

std::optional<OVCurrency> OVCurrency::fromDouble(double value)
{
    const double scaled = value * Scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
        return std::nullopt;
    // The shortest decimal text of the double is what the user would see;
    // rounding that exactly avoids 2.675 turning into 2.67499….
    return fromText(QString::number(value, 'g', QLocale::FloatingPointShortest));
}

double OVCurrency::toDouble() const
{
    // Division is correctly rounded, so for raw values a double holds exactly
    // this gives the double nearest to the four-decimal value.
    constexpr qint64 exactLimit = qint64(1) << 53;
    if (m_raw > -exactLimit && m_raw < exactLimit)
        return double(m_raw) / Scale;
    return toString().toDouble();
}

QString OVCurrency::toString() const
{
    const bool negative = m_raw < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(m_raw) : quint64(m_raw);
    QString text = QString::number(magnitude / Scale);
    quint64 fraction = magnitude % Scale;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}

QString OVCurrency::toFixed(int decimals) const
{
    Decimal d;
    d.negative = m_raw < 0;
    d.mantissa = m_raw < 0 ? Decimal::Mantissa(-(__int128)m_raw) : Decimal::Mantissa(m_raw);
    d.exponent = -4;
    return d.toFixed(std::clamp(decimals, 0, 4));
}

std::optional<OVCurrency> OVCurrency::plus(OVCurrency other) const
{
    qint64 sum = 0;
    if (__builtin_add_overflow(m_raw, other.m_raw, &sum))
        return std::nullopt;
    return fromRaw(sum);
}

std::optional<OVCurrency> OVCurrency::dividedBy(qint64 divisor) const
{
    if (divisor == 0)
        return std::nullopt;
    if (m_raw == std::numeric_limits<qint64>::min() && divisor == -1)
        return std::nullopt;
    qint64 quotient = m_raw / divisor;
    const qint64 remainder = m_raw % divisor;
    if (remainder != 0) {
        // Half-to-even on the exact remainder.
        const unsigned __int128 twice = (unsigned __int128)(remainder < 0 ? -(__int128)remainder : remainder) * 2;
        const unsigned __int128 absDivisor = divisor < 0 ? -(__int128)divisor : divisor;
        const bool negative = (m_raw < 0) != (divisor < 0);
        if (twice > absDivisor || (twice == absDivisor && (quotient % 2) != 0))
            quotient += negative ? -1 : 1;
    }
    return fromRaw(quotient);
}
