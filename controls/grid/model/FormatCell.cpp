#include "FormatCell.h"

#include "Decimal.h"

#include <QDate>
#include <QRegularExpression>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads one to four digits at pos.
std::optional<int> readDigits(QStringView text, qsizetype &pos, int maxDigits)
{
    int value = 0;
    int n = 0;
    while (pos < text.size() && n < maxDigits && isDigit(text[pos])) {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++n;
    }
    if (n == 0)
        return std::nullopt;
    return value;
}

// Dates as users and the database write them: year-month-day with "-", "/"
// or "." between, a two-digit year meaning 2000 … 2029 or 1930 … 1999, and an
// optional time after a space or a "T".
struct Ymd
{
    int year;
    int month;
    int day;
};

std::optional<Ymd> readDate(QStringView text)
{
    text = text.trimmed();
    qsizetype pos = 0;
    const qsizetype yearStart = pos;
    const auto year = readDigits(text, pos, 4);
    const qsizetype yearDigits = pos - yearStart;
    if (!year || (yearDigits != 2 && yearDigits != 4) || pos >= text.size())
        return std::nullopt;
    const QChar separator = text[pos];
    if (separator != u'-' && separator != u'/' && separator != u'.')
        return std::nullopt;
    ++pos;
    const auto month = readDigits(text, pos, 2);
    if (!month || pos >= text.size() || text[pos] != separator)
        return std::nullopt;
    ++pos;
    const auto day = readDigits(text, pos, 2);
    if (!day || (pos < text.size() && text[pos] != u' ' && text[pos] != u'T'))
        return std::nullopt;
    int fullYear = *year;
    if (yearDigits == 2)
        fullYear += fullYear < 30 ? 2000 : 1900;
    if (!QDate::isValid(fullYear, *month, *day))
        return std::nullopt;
    return Ymd{fullYear, *month, *day};
}

bool isNumberPattern(QStringView pattern)
{
    bool point = false;
    for (QChar c : pattern) {
        if (c == u'.' && !point)
            point = true;
        else if (c != u'0' && c != u'#' && (c != u',' || point))
            return false;
    }
    return !pattern.isEmpty();
}

// A date in a pattern of yy/yyyy, M/MM and d/dd with separators, written
// directly (QDate::toString goes through the locale machinery, which is slow
// for a column of 58,000 dates); other patterns are left to QDate. The text
// is put together in a local buffer and appended once.
// The text is put together in out, which has room for DateTextRoom units;
// its length, or -1 for a pattern left to QDate.
qsizetype writeDate(const Ymd &date, QStringView pattern, char16_t *out)
{
    qsizetype length = 0;
    const auto number = [&](int value, int width) {
        char16_t digits[12];
        int n = 0;
        do {
            digits[n++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0);
        for (int i = n; i < width; ++i)
            out[length++] = u'0';
        while (n > 0)
            out[length++] = digits[--n];
    };
    // Room for every field written in full: a one-letter field may write two
    // digits.
    static_assert(CellFormat::DateTextRoom >= 2 * 32);
    if (pattern.size() > 32)
        return -1;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == u'y' && run == 2) {
            number(date.year % 100, 2);
        } else if (c == u'y' && run == 4) {
            number(date.year, 4);
        } else if (c == u'M' && run <= 2) {
            number(date.month, int(run));
        } else if (c == u'd' && run <= 2) {
            number(date.day, int(run));
        } else if (c == u'y' || c == u'M' || c == u'd') {
            return -1;
        } else {
            for (qsizetype k = 0; k < run; ++k)
                out[length++] = c.unicode();
        }
        i += run;
    }
    return length;
}

bool isDatePattern(QStringView pattern)
{
    static const QRegularExpression re(QStringLiteral("^(?=.*[yY])(?=.*[dD])[yYmMdD\\-/. ]+$"));
    return re.match(pattern.toString()).hasMatch();
}

} // namespace

CellFormat::CellFormat(const QString &format)
{
    if (format.isEmpty())
        return;
    if (format == QLatin1String("chk")) {
        m_kind = Kind::Tick;
        return;
    }
    QStringView pattern = format;
    if (pattern.startsWith(u'z')) {
        m_blankZero = true;
        pattern = pattern.mid(1);
        if (pattern.isEmpty()) {
            m_kind = Kind::None;
            return;
        }
    }
    if (isNumberPattern(pattern)) {
        m_kind = Kind::Number;
        const qsizetype point = pattern.indexOf(u'.');
        const QStringView integer = point < 0 ? pattern : pattern.first(point);
        m_decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
        m_minIntegerDigits = int(integer.count(u'0'));
        m_grouping = integer.contains(u',');
    } else if (isDatePattern(pattern)) {
        m_kind = Kind::Date;
        // Minutes do not occur in date patterns, so "m" is the month here.
        m_datePattern = pattern.toString().toLower();
        m_datePattern.replace(u'm', u'M');
    } else {
        m_kind = Kind::Unknown;
    }
}

QString CellFormat::apply(const QString &value) const
{
    return reformat(value).value_or(value);
}

std::optional<QString> CellFormat::reformat(QStringView value) const
{
    QString out;
    if (!reformat(value, out))
        return std::nullopt;
    return out;
}

bool CellFormat::reformat(QStringView value, QString &out) const
{
    out.resize(0); // keeps the buffer for the next cell
    switch (m_kind) {
    case Kind::Tick:
        if (value != u"0" && value.compare(u"false", Qt::CaseInsensitive) != 0)
            out += TickMark;
        return out != value;
    default:
        break;
    }
    if (m_blankZero && Decimal::leadingIsZero(value))
        return !value.isEmpty();
    switch (m_kind) {
    case Kind::Number: {
        const auto number = Decimal::read(value);
        return number && number->appendFixed(out, m_decimals, m_minIntegerDigits, m_grouping) && out != value;
    }
    case Kind::Date: {
        const auto date = readDate(value);
        if (!date)
            return false;
        char16_t text[DateTextRoom];
        const qsizetype length = writeDate(*date, m_datePattern, text);
        if (length < 0)
            out = QDate(date->year, date->month, date->day).toString(m_datePattern);
        else
            out.append(reinterpret_cast<const QChar *>(text), length);
        return out != value;
    }
    default:
        return false;
    }
}

qsizetype CellFormat::writeDateText(QStringView value, char16_t *out) const
{
    if (m_kind != Kind::Date || m_blankZero)
        return -1;
    const auto date = readDate(value);
    return date ? writeDate(*date, m_datePattern, out) : -1;
}

bool CellFormat::formatNumber(const Decimal &number, QString &out) const
{
    if (m_kind != Kind::Number)
        return false;
    out.resize(0);
    if (m_blankZero && number.isZero())
        return true;
    return number.appendFixed(out, m_decimals, m_minIntegerDigits, m_grouping);
}

QString FormatCell(const QString &format, const QString &value)
{
    return CellFormat(format).apply(value);
}
