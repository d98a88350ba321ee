#pragma once

#include <QString>

// A money amount in Chinese capital numerals, as written on commercial
// documents so that the amount cannot be altered: 12.05 → 壹拾贰元零伍分.
//
// The amount is first rounded to fen, halves to the even neighbour, on its
// decimal digits as written (0.125 → 0.12, 0.155 → 0.16). An amount that is
// no number, or whose integer part has more than 13 digits, cannot be
// spelled: the result is empty and error, when given, says why. Zero, and
// any amount that rounds to zero, gives "零元整" without a sign.
QString AmountInCapitals(double amount, QString *error = nullptr);

// The number of fen in |amount|, rounded as above; -1 when the amount is not
// finite or its integer part has more than 13 digits.
qint64 AmountToFen(double amount);
