#include "KeyCodes.h"

#include <QKeyEvent>

#include <algorithm>
#include <iterator>
#include <utility>

namespace KeyCodes {

namespace {

// Keys whose code does not follow from a range below; punctuation maps to
// the key that carries it on a US keyboard, shifted or not.
constexpr std::pair<int, short> FixedKeys[] = {
    {Qt::Key_Backspace, Backspace}, {Qt::Key_Tab, Tab}, {Qt::Key_Backtab, Tab},
    {Qt::Key_Clear, 12}, {Qt::Key_Return, Enter}, {Qt::Key_Enter, Enter},
    {Qt::Key_Shift, 16}, {Qt::Key_Control, 17}, {Qt::Key_Alt, 18}, {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, Escape}, {Qt::Key_Space, Space},
    {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35}, {Qt::Key_Home, 36},
    {Qt::Key_Left, Left}, {Qt::Key_Up, Up}, {Qt::Key_Right, Right}, {Qt::Key_Down, Down},
    {Qt::Key_Print, 44}, {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46}, {Qt::Key_Help, 47},
    {Qt::Key_Meta, 91}, {Qt::Key_Menu, 93}, {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186}, {Qt::Key_Equal, 187}, {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188}, {Qt::Key_Less, 188}, {Qt::Key_Minus, 189}, {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190}, {Qt::Key_Greater, 190}, {Qt::Key_Slash, 191}, {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222}, {Qt::Key_Exclam, 49}, {Qt::Key_At, 50}, {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52}, {Qt::Key_Percent, 53}, {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55}, {Qt::Key_ParenLeft, 57}, {Qt::Key_ParenRight, 48},
};

short keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return short(96 + qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

} // namespace

short virtualKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const short code = keypadKey(qtKey))
            return code;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return short(48 + qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return short(65 + qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return short(112 + qtKey - Qt::Key_F1);
    if (qtKey == Qt::Key_Asterisk)
        return 56;
    const auto it = std::find_if(std::begin(FixedKeys), std::end(FixedKeys),
                                 [qtKey](const auto &entry) { return entry.first == qtKey; });
    return it == std::end(FixedKeys) ? 0 : it->second;
}

short virtualKey(const QKeyEvent &event)
{
    return virtualKey(event.key(), event.modifiers());
}

short shiftMask(Qt::KeyboardModifiers modifiers)
{
    short mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        mask |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        mask |= AltMask;
    return mask;
}

char32_t characterCode(const QKeyEvent &event)
{
    const int key = event.key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return Enter;
    if (key == Qt::Key_Backspace)
        return Backspace;
    if (key == Qt::Key_Escape)
        return Escape;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return char32_t(key - Qt::Key_A + 1);
        return 0;
    }
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const char32_t first = text.toUcs4().value(0);
    // Delete and the other control characters type nothing into a cell.
    if (first < 32 || first == 127)
        return 0;
    return first;
}

} // namespace KeyCodes
