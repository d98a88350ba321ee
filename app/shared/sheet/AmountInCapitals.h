#pragma once

#include <QString>

// A money amount in Chinese capital numerals, as written on commercial
// documents so that the amount cannot be altered: 12.05 → 壹拾贰元零伍分.
//
// The amount is first rounded to fen, halves to the even neighbour, on its
// decimal digits as written (0.125 → 0.12, 0.155 → 0.16). An amount whose
// integer part has more than 13 digits is refused: the message is shown
// through MsgBox and the result is empty. Zero, and any amount that rounds
// to zero, gives "零元整" without a sign.
QString AmountInCapitals(double amount);

// The number of fen in |amount|, rounded as above; -1 when the amount is not
// finite or its integer part has more than 13 digits.
qint64 AmountToFen(double amount);
