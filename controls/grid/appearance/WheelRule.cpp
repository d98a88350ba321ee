#include "WheelRule.h"

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
