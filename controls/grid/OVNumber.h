#pragma once

#include "ovgrid_export.h"

#include <QString>

#include <optional>

// The one rule for "reads as a number", shared by the grid (sums, number
// sorts, formats) and by the program's checks of typed numbers (prices,
// piece weights).
//
// Read as a number: blanks around it, an optional "+" or "-", digits with at
// most one decimal point ("12", "12.", ".5"), an optional exponent ("1e3");
// full-width digits, point and signs as a Chinese input method types them
// ("１２．５"). The value must be finite and below 1e15 in size, so that it
// keeps its cents through any sum the program makes.
// Not a number: empty text, "inf", "nan", thousands separators ("1,234"),
// anything after the number ("12kg").
OVGRID_EXPORT std::optional<double> ovReadNumber(const QString &text);

// The text as the program stores it: trimmed, full-width characters in ASCII
// ("　１２．５ " → "12.5"); empty when the text does not read as a number.
OVGRID_EXPORT QString ovNumberText(const QString &text);
