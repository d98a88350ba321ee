#include "WheelRule.h"

#include "view/GridView.h"

#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int Notch = 120;
constexpr int RowsPerNotch = 3;

} // namespace

std::optional<int> wheelTopRow(int delta, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                               int topRow, bool lastRowVisible)
{
    if (modifiers != Qt::NoModifier || buttons != Qt::NoButton)
        return std::nullopt;
    if (delta == -Notch)
        return lastRowVisible ? topRow : topRow + RowsPerNotch;
    if (delta == Notch) {
        if (topRow > RowsPerNotch)
            return topRow - RowsPerNotch;
        return 1;
    }
    return std::nullopt;
}

bool scrollByWheel(GridView *grid, QWheelEvent *event)
{
    if (!grid->hasFocus() || grid->rows() <= 1)
        return false;
    const auto top = wheelTopRow(event->angleDelta().y(), event->modifiers(), event->buttons(),
                                 grid->topRow(), grid->rowIsVisible(grid->rows() - 1));
    if (!top)
        return false;
    if (*top != grid->topRow())
        grid->setTopRow(std::min(*top, grid->rows() - 1));
    event->accept();
    return true;
}
