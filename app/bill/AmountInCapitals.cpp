#include "AmountInCapitals.h"


#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

constexpr double kAmountLimit = 1e13;          // the integer part has at most 13 digits
constexpr qint64 kFenLimit = 1'000'000'000'000'000; // 10^13 yuan in fen

// Rounds the decimal digits of |amount| as written (the shortest text that
// reads back as the same double) to fen, halves to even. Going through the
// text keeps 0.155 a half (the double is 0.15499…) and avoids truncating a
// floating-point product.
qint64 roundedFen(double amount)
{
    std::array<char, 400> buffer{}; // fixed notation of the smallest double fits
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      std::fabs(amount), std::chars_format::fixed);
    const std::string_view text(buffer.data(), result.ptr - buffer.data());
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);

    qint64 fen = 0;
    for (char c : whole)
        fen = fen * 10 + (c - '0');
    for (std::size_t i = 0; i < 2; ++i)
        fen = fen * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);

    const std::string_view rest = fraction.size() > 2 ? fraction.substr(2) : std::string_view();
    if (!rest.empty()) {
        const int first = rest.front() - '0';
        const bool beyondHalf = rest.find_first_not_of('0', 1) != std::string_view::npos;
        if (first > 5 || (first == 5 && (beyondHalf || fen % 2 == 1)))
            ++fen;
    }
    return fen;
}

QString rawCapitals(qint64 fen)
{
    static const QString digits = QStringLiteral("零壹贰叁肆伍陆柒捌玖拾");
    static const QString units = QStringLiteral("分角元拾佰仟万拾佰仟亿拾佰仟万拾佰");
    const QString s = QString::number(fen);
    const qsizetype n = s.size();
    QString raw;
    raw.reserve(2 * n);
    for (qsizetype i = n; i >= 1; --i) {
        raw += digits.at(s.at(n - i).digitValue());
        raw += units.at(i - 1);
    }
    return raw;
}

// The collapsing of zeros and units, in order, each on the result of the
// one before. "亿万" → "亿零" keeps a zero 万 group behind a non-zero 亿 from
// leaving a stray 万 (壹亿万零壹元整); the steps after it tidy the zeros.
QString collapse(QString text)
{
    static const std::array<std::pair<const char16_t *, const char16_t *>, 19> steps{{
        {u"零拾", u"零"},
        {u"零佰", u"零"},
        {u"零仟", u"零"},
        {u"零零零", u"零"},
        {u"零零", u"零"},
        {u"零角零分", u"整"},
        {u"零分", u"整"},
        {u"零角", u"零"},
        {u"零亿零万", u"亿"},
        {u"零亿零万零元", u"亿元"},
        {u"亿零万零元", u"亿元"},
        {u"零亿零万", u"亿"},
        {u"零万零元", u"万元"},
        {u"万零元", u"万元"},
        {u"零亿", u"亿"},
        {u"零万", u"万"},
        {u"亿万", u"亿零"},
        {u"零元", u"元"},
        {u"零零", u"零"},
    }};
    for (const auto &[find, replacement] : steps)
        text.replace(QString::fromUtf16(find), QString::fromUtf16(replacement));
    return text;
}

} // namespace

qint64 AmountToFen(double amount)
{
    if (!std::isfinite(amount) || std::fabs(amount) >= kAmountLimit)
        return -1;
    const qint64 fen = roundedFen(amount);
    // 9999999999999.996 rounds up to a fourteenth integer digit.
    return fen < kFenLimit ? fen : -1;
}

QString AmountInCapitals(double amount, QString *error)
{
    const qint64 fen = std::isnan(amount) ? -1 : AmountToFen(amount);
    if (fen < 0) {
        if (error)
            *error = std::isnan(amount) ? QStringLiteral("输入的不是有效的数值。")
                                        : QStringLiteral("输入的数值的整数位数不能超过 13 位。");
        return QString();
    }
    if (fen == 0)
        return QStringLiteral("零元整");
    const QString text = collapse(rawCapitals(fen));
    return amount < 0 ? QStringLiteral("负") + text : text;
}
