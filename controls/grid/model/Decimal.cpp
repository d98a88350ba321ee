#include "Decimal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

using Mantissa = Decimal::Mantissa;

// 10^38 fits in 128 bits; keep mantissas below 10^36 so a product of two
// 18-digit mantissas never overflows.
constexpr int MaxDigits = 36;

// Powers of ten up to 10^38, the largest a 128-bit mantissa holds.
const Mantissa *powersOfTen()
{
    static const auto table = [] {
        std::array<Mantissa, 39> p{};
        p[0] = 1;
        for (size_t i = 1; i < p.size(); ++i)
            p[i] = p[i - 1] * 10;
        return p;
    }();
    return table.data();
}

Mantissa pow10(int n)
{
    return powersOfTen()[n];
}

int digitCount(Mantissa m)
{
    int n = 0;
    while (n < 39 && m >= powersOfTen()[n])
        ++n;
    return n;
}

// Divides by 10^n, rounding the dropped digits as asked.
Mantissa shiftRight(Mantissa m, int n, Decimal::Rounding rounding)
{
    if (n <= 0)
        return m;
    if (n > 38)
        return 0;
    const Mantissa divisor = pow10(n);
    const Mantissa quotient = m / divisor;
    const Mantissa remainder = m % divisor;
    const Mantissa half = divisor / 2;
    bool up = remainder > half;
    if (remainder == half && remainder != 0)
        up = rounding == Decimal::Rounding::HalfAwayFromZero || (quotient % 2) == 1;
    return up ? quotient + 1 : quotient;
}

// Drops trailing zeros into the exponent; most mantissas fit 64 bits, where
// this is cheap.
void stripZeros(Decimal &d)
{
    if (d.mantissa <= std::numeric_limits<quint64>::max()) {
        quint64 m = quint64(d.mantissa);
        while (m % 10 == 0) {
            m /= 10;
            ++d.exponent;
        }
        d.mantissa = m;
        return;
    }
    while (d.mantissa % 10 == 0) {
        d.mantissa /= 10;
        ++d.exponent;
    }
}

void normalize(Decimal &d)
{
    const int excess = digitCount(d.mantissa) - MaxDigits;
    if (excess > 0) {
        d.mantissa = shiftRight(d.mantissa, excess, Decimal::Rounding::HalfEven);
        d.exponent += excess;
    }
    if (d.mantissa == 0) {
        d.exponent = 0;
        d.negative = false;
        return;
    }
    stripZeros(d);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads a number at pos; returns the position after it, or -1 when no digit
// was read.
qsizetype readNumber(QStringView text, qsizetype pos, Decimal &out)
{
    // Full-width digits, point, signs and exponent read as their ASCII forms.
    const auto at = [text](qsizetype i) { return Decimal::asciiForm(text[i]); };
    Decimal d;
    if (pos < text.size() && (at(pos) == u'+' || at(pos) == u'-')) {
        d.negative = at(pos) == u'-';
        ++pos;
    }
    bool anyDigit = false;
    bool point = false;
    int digits = 0;  // significant digits kept in the mantissa
    int dropped = 0; // digits beyond what the mantissa keeps
    for (; pos < text.size(); ++pos) {
        const QChar c = at(pos);
        if (isDigit(c)) {
            anyDigit = true;
            const int digit = c.unicode() - u'0';
            if (digits < MaxDigits) {
                d.mantissa = d.mantissa * 10 + digit;
                if (d.mantissa != 0)
                    ++digits;
                if (point)
                    --d.exponent;
            } else if (!point) {
                ++dropped;
            }
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return -1;
    d.exponent += dropped;
    if (pos < text.size() && (at(pos) == u'e' || at(pos) == u'E')) {
        qsizetype p = pos + 1;
        bool negativeExponent = false;
        if (p < text.size() && (at(p) == u'+' || at(p) == u'-')) {
            negativeExponent = at(p) == u'-';
            ++p;
        }
        if (p < text.size() && isDigit(at(p))) {
            int e = 0;
            for (; p < text.size() && isDigit(at(p)); ++p)
                e = std::min(e * 10 + (at(p).unicode() - u'0'), 100000);
            d.exponent += negativeExponent ? -e : e;
            pos = p;
        }
    }
    normalize(d);
    out = d;
    return pos;
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

} // namespace

std::optional<Decimal> Decimal::parse(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    Decimal d;
    const qsizetype after = readNumber(text.first(end), begin, d);
    if (after != end)
        return std::nullopt;
    return d;
}

std::optional<Decimal> Decimal::read(QStringView text)
{
    auto number = parse(text);
    // Below 1e15 in size: at most 15 digits before the point.
    if (number && !number->isZero() && digitCount(number->mantissa) + number->exponent > 15)
        return std::nullopt;
    return number;
}

bool Decimal::leadingIsZero(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    if (pos < text.size() && (asciiForm(text[pos]) == u'+' || asciiForm(text[pos]) == u'-'))
        ++pos;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = asciiForm(text[pos]);
        if (c == u'.' && !point)
            point = true;
        else if (c >= u'1' && c <= u'9')
            return false;
        else if (c != u'0')
            break;
    }
    return true;
}

Decimal Decimal::parseLeading(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    Decimal d;
    if (readNumber(text, pos, d) < 0)
        return Decimal();
    return d;
}

double Decimal::toDouble() const
{
    if (mantissa == 0)
        return 0.0;
    // Exact enough to order and to hand over; the digits stay exact here.
    const double m = double(mantissa);
    const double value = exponent >= 0 ? m * std::pow(10.0, exponent) : m / std::pow(10.0, -exponent);
    return negative ? -value : value;
}

Decimal Decimal::times(const Decimal &other) const
{
    Decimal a = *this;
    Decimal b = other;
    // Keep each factor within 18 digits so the product fits.
    for (Decimal *f : {&a, &b}) {
        const int excess = digitCount(f->mantissa) - MaxDigits / 2;
        if (excess > 0) {
            f->mantissa = shiftRight(f->mantissa, excess, Rounding::HalfEven);
            f->exponent += excess;
        }
    }
    Decimal product;
    product.mantissa = a.mantissa * b.mantissa;
    product.exponent = a.exponent + b.exponent;
    product.negative = a.negative != b.negative;
    normalize(product);
    return product;
}

std::optional<qint64> Decimal::scaled(int decimals, Rounding rounding) const
{
    const int shift = exponent + decimals;
    Mantissa m = mantissa;
    if (shift >= 0) {
        if (shift > 19 || m > Mantissa(std::numeric_limits<quint64>::max()) / pow10(shift))
            return std::nullopt;
        m *= pow10(shift);
    } else {
        m = shiftRight(m, -shift, rounding);
    }
    const Mantissa limit = Mantissa(std::numeric_limits<qint64>::max());
    if (m > limit + (negative ? 1 : 0))
        return std::nullopt;
    if (negative)
        return m == limit + 1 ? std::numeric_limits<qint64>::min() : -qint64(m);
    return qint64(m);
}

QString Decimal::toFixed(int decimals, int minIntegerDigits, bool grouping) const
{
    QString text;
    appendFixed(text, decimals, minIntegerDigits, grouping);
    return text;
}

bool Decimal::appendFixed(QString &out, int decimals, int minIntegerDigits, bool grouping) const
{
    const int shift = exponent + decimals;
    Mantissa m = mantissa;
    if (shift >= 0) {
        if (shift > 38 || m > std::numeric_limits<Mantissa>::max() / pow10(shift))
            return false; // beyond any amount this program shows
        m *= pow10(shift);
    } else {
        m = shiftRight(m, -shift, Rounding::HalfAwayFromZero);
    }
    // Written backwards from the last decimal into one buffer.
    char buffer[128];
    char *const end = buffer + sizeof buffer;
    char *p = end;
    int written = 0;
    auto digit = [&](int value) {
        *--p = char('0' + value);
        ++written;
    };
    const int minDigits = decimals + std::max(minIntegerDigits, 0);
    int integerWritten = 0;
    while ((m != 0 || written < minDigits) && p - buffer > 4) {
        if (written == decimals && decimals > 0)
            *--p = '.';
        if (written >= decimals) {
            if (grouping && integerWritten > 0 && integerWritten % 3 == 0)
                *--p = ',';
            ++integerWritten;
        }
        if (m <= std::numeric_limits<quint64>::max()) {
            const quint64 v = quint64(m);
            digit(int(v % 10));
            m = v / 10;
        } else {
            digit(int(m % 10));
            m /= 10;
        }
    }
    if (written == decimals && decimals > 0) // no integer digit asked for
        *--p = '.';
    if (negative && mantissa != 0 && std::any_of(p, end, [](char c) { return c >= '1' && c <= '9'; }))
        *--p = '-';
    out.append(QLatin1StringView(p, end - p));
    return true;
}
