#pragma once

#include <QString>

#include <optional>

struct Decimal;

// The text stored when a value is written into a cell of a column with this
// display format:
//   ""          the value unchanged;
//   "chk"       "" for "0" or "false" (any case), "√" for anything else;
//   "z"…        "" when the number at the start of the value is 0 (a word or
//               an empty text counts as 0), else the value formatted with the
//               pattern after the z ("z" alone: unchanged);
//   a pattern   numbers: "0.00", "0", "#,##0.00" …; dates: "yy-mm-dd",
//               "yyyy-mm-dd" …. A value the pattern cannot read comes back
//               unchanged.
QString FormatCell(const QString &format, const QString &value);

// A display format read once, for formatting many cells of a column.
class CellFormat
{
public:
    explicit CellFormat(const QString &format = QString());

    bool isNone() const { return m_kind == Kind::None && !m_blankZero; }
    bool isNumber() const { return m_kind == Kind::Number; }
    QString apply(const QString &value) const;
    // The formatted text, or nothing when it is the value itself (most cells
    // of a column already are as the format shows them).
    std::optional<QString> reformat(QStringView value) const;
    // The same into a buffer the caller keeps: true when out (emptied first)
    // holds a text other than the value.
    bool reformat(QStringView value, QString &out) const;
    // For a date format and a value that reads as a date: its text written
    // into out, which has room for DateTextRoom units, and the text's
    // length. -1 (nothing written) where reformat() has to decide.
    static constexpr qsizetype DateTextRoom = 64;
    qsizetype writeDateText(QStringView value, char16_t *out) const;
    // For a number format: the text for a cell holding exactly this number,
    // into out (emptied first), as reformat() gives it for the number's
    // text. False for other formats and numbers too large to write.
    bool formatNumber(const Decimal &number, QString &out) const;

private:
    enum class Kind { None, Tick, Number, Date, Unknown };
    Kind m_kind = Kind::None;
    bool m_blankZero = false; // the "z" prefix
    int m_decimals = 0;
    int m_minIntegerDigits = 1;
    bool m_grouping = false;
    QString m_datePattern; // in QDate's terms
};

// The tick a checked cell shows.
inline constexpr QChar TickMark = QChar(0x221A);
