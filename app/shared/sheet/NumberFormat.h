#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// How a spreadsheet shows a number under a cell's number format, for the
// formats that bills and lists use: "General", digit placeholders 0 # ?
// with grouping and decimals, percent, scientific, literal text ("元", \x,
// [$¥-804]) and up to three sections (positive;negative;zero). Date and
// time formats fall back to General.
QString FormatCellNumber(double value, const QString &formatCode);

// The format code of a built-in number format id (0 → "General",
// 2 → "0.00", …); General for ids without a fixed code.
QString BuiltInNumberFormat(int id);

// Whether a format keeps whatever is typed into the cell as text ("@").
bool IsTextFormat(const QString &formatCode);

// The number a pasted or assigned text stands for, as a spreadsheet reads
// it: optional spaces and sign, digits with optional "," thousands groups
// and a decimal point. Texts that a number would not give back unchanged
// stay text: leading zeros ("007"), more than 15 significant digits, and
// exponent forms ("3E5"), which in bills are codes rather than numbers.
std::optional<double> NumberFromCellText(QStringView text);
