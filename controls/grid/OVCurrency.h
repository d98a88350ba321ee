#pragma once

#include "ovgrid_export.h"

#include <QMetaType>
#include <QString>

#include <optional>

// A money amount with exactly four decimals, held as a signed 64-bit count of
// ten-thousandths. Totals are added up in this type so that a column of
// prices sums to the same figure a bookkeeper gets by hand; QVariant converts
// it to double and to QString ("1234.5", "-0.0001"), so hosts can read it
// like any number.
class OVGRID_EXPORT OVCurrency
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr OVCurrency() = default;
    static constexpr OVCurrency fromRaw(qint64 raw) { OVCurrency c; c.m_raw = raw; return c; }
    static OVCurrency fromInt(qint64 units);

    // The decimal text rounded half-to-even to four decimals; the whole text
    // (spaces around it aside) must be a number. Empty when it is not, or when
    // it does not fit.
    static std::optional<OVCurrency> fromText(QStringView text);
    // The number at the start of the text ("12.5kg" → 12.5, "kg" → 0).
    static OVCurrency fromLeadingNumber(QStringView text);
    // Half-to-even rounding of a double to four decimals; empty when out of range.
    static std::optional<OVCurrency> fromDouble(double value);

    constexpr qint64 raw() const { return m_raw; }
    double toDouble() const;
    // Shortest decimal text: no trailing zeros, no decimal point for whole
    // amounts ("12", "12.5", "-0.0001").
    QString toString() const;
    // Text with exactly this many decimals (0 … 4), rounded half away from
    // zero as number formats round ("0.00": 12.345 → "12.35").
    QString toFixed(int decimals) const;

    // Checked arithmetic: empty on overflow.
    std::optional<OVCurrency> plus(OVCurrency other) const;
    // The quotient rounded half-to-even to four decimals; empty for a zero divisor.
    std::optional<OVCurrency> dividedBy(qint64 divisor) const;

    friend constexpr bool operator==(OVCurrency a, OVCurrency b) { return a.m_raw == b.m_raw; }
    friend constexpr auto operator<=>(OVCurrency a, OVCurrency b) { return a.m_raw <=> b.m_raw; }

private:
    qint64 m_raw = 0;
};

Q_DECLARE_METATYPE(OVCurrency)
