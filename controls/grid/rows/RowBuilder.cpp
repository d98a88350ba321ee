#include "RowBuilder.h"

#include "model/Decimal.h"
#include "model/FormatCell.h"

#include <QLocale>

#include <charconv>
#include <cmath>

void RowBuilder::start()
{
    m_text.clear();
    m_ends.clear();
    m_cellStart = 0;
}

void RowBuilder::append(QStringView text)
{
    m_text.insert(m_text.end(), text.utf16(), text.utf16() + text.size());
}

void RowBuilder::appendLatin1(const char *text, qsizetype length)
{
    const size_t start = m_text.size();
    m_text.resize(start + size_t(length));
    char16_t *out = m_text.data() + start;
    for (qsizetype i = 0; i < length; ++i)
        out[i] = char16_t(uchar(text[i]));
}

namespace {

// The length of the well-formed UTF-8 sequence at text[i] and its code
// point, or 0 when the bytes there are ill-formed (overlong forms,
// surrogates, values past U+10FFFF, cut-off sequences).
int decodeSequence(const uchar *text, qsizetype i, qsizetype length, char32_t &code)
{
    const uchar lead = text[i];
    int size;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (length - i < size)
        return 0;
    for (int k = 1; k < size; ++k) {
        const uchar byte = text[i + k];
        if (byte < low || byte > high)
            return 0;
        low = 0x80;
        high = 0xBF;
        code = (code << 6) | (byte & 0x3F);
    }
    return size;
}

} // namespace

bool RowBuilder::appendWellFormedUtf8(const char *text, qsizetype length)
{
    const auto *bytes = reinterpret_cast<const uchar *>(text);
    const size_t start = m_text.size();
    // Well-formed UTF-8 never needs more UTF-16 units than bytes.
    m_text.resize(start + size_t(length));
    char16_t *out = m_text.data() + start;
    for (qsizetype i = 0; i < length;) {
        if (bytes[i] < 0x80) {
            *out++ = char16_t(bytes[i++]);
            continue;
        }
        // Most text here is Chinese: three-byte sequences whose lead byte
        // allows any continuation bytes (all but E0 and ED) are decoded here.
        const uchar lead = bytes[i];
        if (lead >= 0xE1 && lead != 0xED && lead <= 0xEF && length - i >= 3
            && (bytes[i + 1] & 0xC0) == 0x80 && (bytes[i + 2] & 0xC0) == 0x80) {
            const auto unit = char16_t(((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F));
            if (unit == 0xFFFE || unit == 0xFFFF) {
                m_text.resize(start);
                return false;
            }
            *out++ = unit;
            i += 3;
            continue;
        }
        char32_t code = 0;
        const int size = decodeSequence(bytes, i, length, code);
        if (size == 0 || code == 0xFFFE || code == 0xFFFF) {
            m_text.resize(start);
            return false;
        }
        i += size;
        if (code > 0xFFFF) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = char16_t(code);
        }
    }
    m_text.resize(size_t(out - m_text.data()));
    return true;
}

void RowBuilder::appendUtf8(const char *text, qsizetype length)
{
    if (!appendWellFormedUtf8(text, length))
        append(QString::fromUtf8(text, length));
}

namespace {

int digitCount(quint64 value)
{
    int n = 1;
    while (value >= 10) {
        value /= 10;
        ++n;
    }
    return n;
}

// Weights, prices and amounts have a few decimals: the value as the decimal
// of at most four decimals that reads back as it, trailing zeros dropped.
// Division is correctly rounded, so equality means the four-decimal number
// reads back as the value; dropping its trailing zeros then gives the fewest
// decimals that do, which is the value's shortest text.
std::optional<Decimal> fourDecimals(double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e11))
        return std::nullopt;
    quint64 digits = quint64(magnitude * 1e4 + 0.5); // below 2^53: exact
    if (double(digits) / 1e4 != magnitude)
        return std::nullopt;
    int decimals = 4;
    while (decimals > 0 && digits % 10 == 0) {
        digits /= 10;
        --decimals;
    }
    return Decimal{value < 0, digits, -decimals};
}

} // namespace

// Returns false for values with more decimals, and where the exponent form
// would be shorter (the general algorithm then decides).
bool RowBuilder::appendShortDecimal(double value)
{
    const std::optional<Decimal> number = fourDecimals(value);
    if (!number)
        return false;
    quint64 digits = quint64(number->mantissa);
    const int decimals = -number->exponent;
    int significant = digitCount(digits);
    const int exponent = significant - decimals - 1;
    for (quint64 d = digits; d % 10 == 0; d /= 10)
        --significant;
    const int integerDigits = std::max(exponent + 1, 1);
    const int fixedLength = integerDigits + (decimals > 0 ? decimals + 1 : 0);
    const int exponentLength = significant + (significant > 1 ? 1 : 0) + 4;
    if (exponentLength <= fixedLength)
        return false;
    char buffer[32];
    char *const end = buffer + sizeof buffer;
    char *p = end;
    for (int i = 0; i < decimals; ++i) {
        *--p = char('0' + digits % 10);
        digits /= 10;
    }
    if (decimals > 0)
        *--p = '.';
    do {
        *--p = char('0' + digits % 10);
        digits /= 10;
    } while (digits != 0);
    if (value < 0)
        *--p = '-';
    appendLatin1(p, end - p);
    return true;
}

bool RowBuilder::appendFormatted(double value, const CellFormat &format)
{
    // The value's text would read back as this same decimal, so formatting
    // it gives the same text as formatting that text.
    const std::optional<Decimal> number = fourDecimals(value);
    if (!number || !format.formatNumber(*number, m_formatted))
        return false;
    append(m_formatted);
    return true;
}

void RowBuilder::appendNumber(double value)
{
    if (value == 0) { // -0 reads "0" too
        m_text.push_back(u'0');
        return;
    }
    if (appendShortDecimal(value))
        return;
    // Outside the amounts and weights a grid shows, Qt pads long numbers
    // with zeros where the shortest form gives digits: leave those to Qt.
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e15)) {
        append(QString::number(value, 'g', QLocale::FloatingPointShortest));
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendLatin1(buffer, result.ptr - buffer);
}

void RowBuilder::appendNumber(qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendLatin1(buffer, result.ptr - buffer);
}

void RowBuilder::appendValue(const QVariant &value)
{
    if (value.isNull())
        return;
    switch (value.typeId()) {
    case QMetaType::Double:
        appendNumber(value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
        appendNumber(value.toLongLong());
        break;
    case QMetaType::QString:
        append(*static_cast<const QString *>(value.constData()));
        break;
    default:
        append(value.toString());
        break;
    }
}

void RowBuilder::endCell(const CellFormat *format)
{
    if (format) {
        const QStringView cell(m_text.data() + m_cellStart, qsizetype(m_text.size() - m_cellStart));
        // Dates, a column in most lists, skip the string in between.
        char16_t date[CellFormat::DateTextRoom];
        if (const qsizetype length = format->writeDateText(cell, date); length >= 0) {
            m_text.resize(m_cellStart);
            m_text.insert(m_text.end(), date, date + length);
        } else if (format->reformat(cell, m_formatted)) {
            m_text.resize(m_cellStart);
            append(m_formatted);
        }
    }
    m_ends.push_back(quint32(m_text.size()));
    m_cellStart = m_text.size();
}

GridRow RowBuilder::finish(qint32 data)
{
    GridRow row = GridRow::fromParts(QStringView(m_text.data(), qsizetype(m_text.size())), m_ends.data(),
                                     int(m_ends.size()));
    row.setData(data);
    return row;
}
