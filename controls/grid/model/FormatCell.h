#pragma once

#include <QString>

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

// A display pattern applied to a value; unreadable values come back unchanged.
QString FormatWithPattern(const QString &pattern, const QString &value);

// The tick a checked cell shows.
inline constexpr QChar TickMark = QChar(0x221A);
