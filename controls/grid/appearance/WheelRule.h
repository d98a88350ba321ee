#pragma once

#include <Qt>

#include <optional>

// How one mouse-wheel message scrolls the focused grid: exactly one notch,
// with no key or button held, moves three rows; the top never goes past
// row 1 and a grid whose last row shows does not scroll further down.
// Returns the new first visible row, or nothing when the message is left
// to the grid's ordinary wheel handling.
std::optional<int> wheelTopRow(int delta, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                               int topRow, bool lastRowVisible);

class GridView;
class QWheelEvent;

// Scrolls the focused grid by that rule; true when the message was taken.
bool scrollByWheel(GridView *grid, QWheelEvent *event);
