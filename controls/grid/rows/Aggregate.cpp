#include "Aggregate.h"

#include "model/Decimal.h"

namespace Aggregate {

namespace {

struct Accumulator
{
    OVCurrency total;
    bool overflow = false;

    void add(OVCurrency value)
    {
        if (overflow)
            return;
        if (const auto sum = total.plus(value))
            total = *sum;
        else
            overflow = true;
    }
};

// A plain cell text ("1265.36", "-12": up to 14 digits before the point and
// 4 after) in currency units. Most summed cells are such; the general reader
// takes several times longer. Anything else is left to it.
std::optional<qint64> plainCurrencyUnits(QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    const bool negative = p != end && *p == u'-';
    if (negative)
        ++p;
    qint64 units = 0;
    int digits = 0;
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    for (; p != end && isDigit(*p); ++p) {
        if (++digits > 14)
            return std::nullopt;
        units = units * 10 + (*p - u'0');
    }
    if (digits == 0)
        return std::nullopt;
    int decimals = 0;
    if (p != end && *p == u'.') {
        for (++p; p != end && isDigit(*p); ++p) {
            if (++decimals > 4)
                return std::nullopt;
            units = units * 10 + (*p - u'0');
        }
        if (decimals == 0)
            return std::nullopt;
    }
    if (p != end)
        return std::nullopt;
    for (; decimals < 4; ++decimals)
        units *= 10;
    return negative ? -units : units;
}

// A cell's value when its whole text reads as a number; a number too large
// for currency counts as an overflow.
std::optional<OVCurrency> numericValue(QStringView text, bool &overflow)
{
    if (const auto units = plainCurrencyUnits(text))
        return OVCurrency::fromRaw(*units);
    const auto number = Decimal::read(text);
    if (!number)
        return std::nullopt;
    const auto raw = number->scaled(4, Decimal::Rounding::HalfEven);
    if (!raw) {
        overflow = true;
        return std::nullopt;
    }
    return OVCurrency::fromRaw(*raw);
}

Result finish(OVCurrency value, bool overflow)
{
    return overflow ? Result{OVCurrency(), true} : Result{value, false};
}

} // namespace

Result compute(Kind kind, int row1, int col1, int row2, int col2, const CellText &text)
{
    if (kind == Kind::ColXSum) {
        Accumulator sum;
        for (int r = row1; r <= row2; ++r) {
            const Decimal product = Decimal::parseLeading(text(r, col1)).times(Decimal::parseLeading(text(r, col2)));
            const auto raw = product.scaled(4, Decimal::Rounding::HalfEven);
            if (!raw)
                return finish(OVCurrency(), true);
            sum.add(OVCurrency::fromRaw(*raw));
        }
        return finish(sum.total, sum.overflow);
    }

    Accumulator sum;
    qint64 count = 0;
    std::optional<OVCurrency> extreme;
    for (int r = row1; r <= row2; ++r) {
        for (int c = col1; c <= col2; ++c) {
            const QStringView cell = text(r, c);
            if (cell.isEmpty())
                continue;
            ++count;
            if (kind == Kind::Count)
                continue;
            const auto value = numericValue(cell, sum.overflow);
            if (!value)
                continue;
            if (kind == Kind::Max) {
                if (!extreme || *value > *extreme)
                    extreme = value;
            } else if (kind == Kind::Min) {
                if (!extreme || *value < *extreme)
                    extreme = value;
            } else {
                sum.add(*value);
            }
        }
    }
    switch (kind) {
    case Kind::Sum:
        return finish(sum.total, sum.overflow);
    case Kind::Count:
        return finish(OVCurrency::fromInt(count), false);
    case Kind::Average:
        if (count == 0)
            return finish(OVCurrency(), sum.overflow);
        return finish(sum.total.dividedBy(count).value_or(OVCurrency()), sum.overflow);
    case Kind::Max:
    case Kind::Min:
        return finish(extreme.value_or(OVCurrency()), sum.overflow);
    case Kind::ColXSum:
        break;
    }
    return {};
}

} // namespace Aggregate
