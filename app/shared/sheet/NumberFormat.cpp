#include "NumberFormat.h"

#include <QList>
#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>

namespace {

QString trimFraction(QString text, int minimumDecimals)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text;
    qsizetype end = text.size();
    while (end > point + 1 + minimumDecimals && text.at(end - 1) == QLatin1Char('0'))
        --end;
    if (end == point + 1)
        end = point; // no decimals left: no point either
    text.truncate(end);
    return text;
}

QString generalFormat(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e11 || magnitude < 1e-9) {
        QString text = QString::number(value, 'E', 5);
        const qsizetype e = text.indexOf(QLatin1Char('E'));
        return trimFraction(text.left(e), 0) + text.mid(e);
    }
    // About ten significant digits, as a default-width column shows them.
    const int integerDigits = std::max(1, int(std::floor(std::log10(magnitude))) + 1);
    return trimFraction(QString::number(value, 'f', std::max(0, 10 - integerDigits)), 0);
}

// Splits at ";" outside quotes, escapes and brackets.
QStringList splitSections(const QString &code)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (!quoted && !bracket && c == QLatin1Char('\\') && i + 1 < code.size()) {
            current += c;
            current += code.at(++i);
            continue;
        }
        if (c == QLatin1Char('"') && !bracket)
            quoted = !quoted;
        else if (c == QLatin1Char('[') && !quoted)
            bracket = true;
        else if (c == QLatin1Char(']') && !quoted)
            bracket = false;
        else if (c == QLatin1Char(';') && !quoted && !bracket) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

// One section of a number format, parsed into the literal text around the
// number and the shape of the number itself.
struct NumberPattern
{
    QString prefix;
    QString suffix;
    int minimumIntegerDigits = 0;
    int minimumDecimals = 0;
    int maximumDecimals = 0;
    bool hasPoint = false;
    bool grouping = false;
    bool percent = false;
    bool scientific = false;
    int thousandsScale = 0;
    bool hasDigits = false;
    bool isDate = false;
    bool isGeneral = false;
    bool textPlaceholder = false;
};

bool isDigitPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?');
}

NumberPattern parseSection(const QString &section)
{
    NumberPattern pattern;
    if (section.trimmed().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
        pattern.isGeneral = true;
        return pattern;
    }
    bool afterPoint = false;
    int pendingCommas = 0;
    auto literal = [&](QStringView text) {
        (pattern.hasDigits ? pattern.suffix : pattern.prefix) += text;
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('"')) {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            literal(QStringView(section).mid(i + 1, (end < 0 ? section.size() : end) - i - 1));
            i = end < 0 ? section.size() : end;
        } else if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            literal(QStringView(section).mid(++i, 1));
        } else if (c == QLatin1Char('_') && i + 1 < section.size()) {
            ++i;
            literal(u" ");
        } else if (c == QLatin1Char('*') && i + 1 < section.size()) {
            ++i; // repeat-to-fill: a printed cell keeps its text as is
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = section.indexOf(QLatin1Char(']'), i + 1);
            const QStringView inner = QStringView(section).mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            if (inner.startsWith(QLatin1Char('$'))) { // currency: [$¥-804]
                const qsizetype dash = inner.indexOf(QLatin1Char('-'));
                literal(inner.mid(1, dash < 0 ? -1 : dash - 1));
            }
            i = end < 0 ? section.size() : end;
        } else if (isDigitPlaceholder(c)) {
            if (pendingCommas > 0 && !afterPoint)
                pattern.grouping = true;
            pendingCommas = 0;
            pattern.hasDigits = true;
            if (afterPoint) {
                ++pattern.maximumDecimals;
                if (c != QLatin1Char('#'))
                    pattern.minimumDecimals = pattern.maximumDecimals;
            } else if (c == QLatin1Char('0')) {
                ++pattern.minimumIntegerDigits;
            }
        } else if (c == QLatin1Char('.') && !afterPoint && !pattern.scientific) {
            afterPoint = true;
            pattern.hasPoint = true;
            pattern.hasDigits = true;
        } else if (c == QLatin1Char(',') && pattern.hasDigits) {
            ++pendingCommas;
        } else if (c == QLatin1Char('%')) {
            pattern.percent = true;
            literal(u"%");
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && pattern.hasDigits && i + 1 < section.size()
                   && (section.at(i + 1) == QLatin1Char('+') || section.at(i + 1) == QLatin1Char('-'))) {
            pattern.scientific = true;
            ++i;
            while (i + 1 < section.size() && isDigitPlaceholder(section.at(i + 1)))
                ++i;
        } else if (QStringLiteral("yYmMdDhHsS").contains(c)) {
            pattern.isDate = true;
        } else if (c == QLatin1Char('@')) {
            pattern.textPlaceholder = true;
        } else {
            literal(QStringView(section).mid(i, 1));
        }
    }
    pattern.thousandsScale = pendingCommas; // commas after the last digit scale by 1000 each
    return pattern;
}

// magnitude (>= 0) with the given decimals, rounding halves up on the
// number as written (255.005 → 255.01), as a spreadsheet shows it.
QString roundedFixed(double magnitude, int decimals)
{
    const QString shortest = QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = shortest.indexOf(QLatin1Char('.'));
    if (point < 0 || shortest.size() - point - 1 <= decimals)
        return QString::number(magnitude, 'f', decimals);
    QString digits = shortest.left(point) + shortest.mid(point + 1, decimals);
    if (shortest.at(point + 1 + decimals) >= QLatin1Char('5')) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits.at(i) == QLatin1Char('9'); --i)
            digits[i] = QLatin1Char('0');
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[i] = QChar(digits.at(i).unicode() + 1);
    }
    if (decimals == 0)
        return digits;
    return digits.left(digits.size() - decimals) + QLatin1Char('.') + digits.right(decimals);
}

QString groupThousands(const QString &digits)
{
    QString grouped;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += digits.at(i);
    }
    return grouped;
}

QString formatMagnitude(double magnitude, const NumberPattern &pattern)
{
    if (pattern.percent)
        magnitude *= 100;
    magnitude /= std::pow(1000.0, pattern.thousandsScale);
    if (pattern.scientific) {
        const QString text = QString::number(magnitude, 'E', pattern.maximumDecimals);
        const qsizetype e = text.indexOf(QLatin1Char('E'));
        return trimFraction(text.left(e), pattern.minimumDecimals) + text.mid(e);
    }
    const QString fixed = trimFraction(roundedFixed(magnitude, pattern.maximumDecimals), pattern.minimumDecimals);
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? fixed : fixed.left(point);
    const QString fraction = point < 0 ? QString() : fixed.mid(point + 1);
    if (integer == QLatin1String("0") && pattern.minimumIntegerDigits == 0)
        integer.clear();
    else if (integer.size() < pattern.minimumIntegerDigits)
        integer = integer.rightJustified(pattern.minimumIntegerDigits, QLatin1Char('0'));
    if (pattern.grouping)
        integer = groupThousands(integer);
    QString text = integer;
    if (pattern.hasPoint && pattern.maximumDecimals > 0 && !fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    else if (pattern.hasPoint && pattern.minimumDecimals == 0 && pattern.maximumDecimals > 0)
        text += QLatin1Char('.'); // "0.##" shows 12 as "12."
    return text;
}

} // namespace

QString FormatCellNumber(double value, const QString &formatCode)
{
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const QStringList sections = splitSections(formatCode.isEmpty() ? QStringLiteral("General") : formatCode);
    // One section serves every number (negatives get a minus); with more,
    // the second is for negatives (shown without the sign) and the third
    // for zero.
    qsizetype index = 0;
    if (value < 0 && sections.size() >= 2)
        index = 1;
    else if (value == 0 && sections.size() >= 3)
        index = 2;
    const NumberPattern pattern = parseSection(sections.at(index));
    const bool minus = value < 0 && index == 0;
    if (pattern.isGeneral)
        return pattern.prefix + generalFormat(index == 0 ? value : std::fabs(value)) + pattern.suffix;
    if (pattern.isDate || (pattern.textPlaceholder && !pattern.hasDigits))
        return generalFormat(value); // dates are not shown as dates; "@" shows a number plainly
    if (!pattern.hasDigits)
        return pattern.prefix; // literal text only; an empty section hides the number
    QString number = formatMagnitude(std::fabs(value), pattern);
    const bool showsZero = number.count(QLatin1Char('0')) + number.count(QLatin1Char(',')) + number.count(QLatin1Char('.'))
                           == number.size();
    return (minus && !showsZero ? QStringLiteral("-") : QString()) + pattern.prefix + number + pattern.suffix;
}

QString BuiltInNumberFormat(int id)
{
    switch (id) {
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 37: return QStringLiteral("#,##0 ;(#,##0)");
    case 38: return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: return QStringLiteral("General");
    }
}

bool IsTextFormat(const QString &formatCode)
{
    return formatCode == QLatin1String("@");
}

std::optional<double> NumberFromCellText(QStringView text)
{
    text = text.trimmed();
    // Longer texts would hold more digits than a double keeps.
    constexpr qsizetype kMaxLength = 48;
    if (text.isEmpty() || text.size() > kMaxLength)
        return std::nullopt;
    std::array<char, kMaxLength + 1> buffer;
    int length = 0;
    auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };

    qsizetype i = 0;
    if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')) {
        if (text.at(0) == QLatin1Char('-'))
            buffer[length++] = '-';
        ++i;
    }
    // Integer part: digits, optionally grouped by commas in threes.
    const qsizetype integerStart = i;
    int integerDigits = 0;
    int groupLength = -1; // digits since the last comma; -1 before any comma
    int firstSignificant = -1;
    int lastSignificant = -1;
    int position = 0; // of the digit among all digits
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isDigit(c)) {
            buffer[length++] = char(c.unicode());
            if (c != QLatin1Char('0') && firstSignificant < 0)
                firstSignificant = position;
            ++position;
            ++integerDigits;
            if (groupLength >= 0)
                ++groupLength;
        } else if (c == QLatin1Char(',') && integerDigits > 0 && (groupLength < 0 ? integerDigits <= 3 : groupLength == 3)) {
            groupLength = 0;
        } else {
            break;
        }
    }
    if (groupLength >= 0 && groupLength != 3)
        return std::nullopt;
    if (integerDigits > 1 && text.at(integerStart) == QLatin1Char('0'))
        return std::nullopt; // "007" is a code; as a number it would lose its zeros
    if (integerDigits > 0)
        lastSignificant = position - 1; // an integer's trailing zeros count
    int fractionDigits = 0;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        buffer[length++] = '.';
        for (++i; i < text.size() && isDigit(text.at(i)); ++i) {
            buffer[length++] = char(text.at(i).unicode());
            if (text.at(i) != QLatin1Char('0')) {
                if (firstSignificant < 0)
                    firstSignificant = position;
                lastSignificant = position;
            }
            ++position;
            ++fractionDigits;
        }
    }
    if (i != text.size() || integerDigits + fractionDigits == 0)
        return std::nullopt;
    // A double holds 15 significant digits; more would come back altered.
    if (firstSignificant >= 0 && lastSignificant - firstSignificant + 1 > 15)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(buffer.data(), buffer.data() + length, value);
    if (result.ec != std::errc() || result.ptr != buffer.data() + length)
        return std::nullopt;
    return value;
}
