#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// Small rules of in-place editing that need no widgets.
namespace EditRules {

// A column narrower than this (twips) counts as hidden.
constexpr int HiddenWidth = 50;

// The key a special-sort column sorts by: the text without " ", "-", "/"
// and ":", so that 23-01-05 sorts by its digits.
QString sortKey(QStringView text);

// The first column wider than HiddenWidth from current + direction towards
// column 1 (direction −1) or column cols − 1 (direction +1); current when
// there is none.
int nextVisibleCol(int current, int direction, int cols, const std::function<int(int)> &colWidth);

// The typing aid of date columns: after an edit that added text and left
// the caret at the end, "yy" and "yy-mm" get their dash. Returns the new
// text, or nothing when the text stays as it is.
std::optional<QString> dateWithDash(const QString &text, int caret, int previousLength);

// A tick cell's text after a toggle.
QString toggledTick(QStringView text);

} // namespace EditRules
