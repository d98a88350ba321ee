#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A decimal number read from cell text, kept exactly: (-1)^negative ×
// mantissa × 10^exponent. Cell texts are what users typed, so sums, products
// and rounding work on the digits as written rather than on binary doubles.
struct Decimal
{
    using Mantissa = unsigned __int128;

    bool negative = false;
    Mantissa mantissa = 0;
    int exponent = 0;

    // The whole text (spaces around it aside) as a number: optional sign,
    // digits with at most one decimal point, optional exponent ("1e3").
    // Full-width characters count as their ASCII forms ("１２．５").
    static std::optional<Decimal> parse(QStringView text);
    // The program's one rule for text that reads as a number: parse(), and
    // a size below 1e15, so that every such number stays finite and exact
    // to the cent as a double. Sums, number sorts and formats all use it.
    static std::optional<Decimal> read(QStringView text);
    // The ASCII form of a full-width character as a Chinese input method
    // types it ("１" → "1", "．" → "."; the ideographic space → " ").
    static QChar asciiForm(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            return QChar(char16_t(u - 0xFEE0));
        if (u == 0x3000)
            return QChar(u' ');
        return c;
    }
    // The number at the start of the text, after leading spaces; 0 when the
    // text does not start with one ("12.5kg" → 12.5, "kg" → 0).
    static Decimal parseLeading(QStringView text);
    // Whether parseLeading gives 0, without reading the number.
    static bool leadingIsZero(QStringView text);

    bool isZero() const { return mantissa == 0; }
    double toDouble() const;
    // The exact product, with the mantissa rounded back to 36 digits at most.
    Decimal times(const Decimal &other) const;

    enum class Rounding { HalfEven, HalfAwayFromZero };
    // The value × 10^decimals rounded to a whole number; empty when it does
    // not fit in 64 bits.
    std::optional<qint64> scaled(int decimals, Rounding rounding) const;
    // Fixed-point text with this many decimals, rounded half away from zero,
    // with at least minIntegerDigits before the point and, when grouping, a
    // comma between groups of three.
    QString toFixed(int decimals, int minIntegerDigits = 1, bool grouping = false) const;
    // The same text appended to out; false (nothing appended) when the
    // number is too large to write.
    bool appendFixed(QString &out, int decimals, int minIntegerDigits = 1, bool grouping = false) const;
};
