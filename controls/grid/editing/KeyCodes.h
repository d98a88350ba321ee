#pragma once

#include <QString>
#include <Qt>

class QKeyEvent;

// The key numbering the grid's events speak: key-down codes are the
// classic virtual-key codes (Enter 13, Left 37, 'A' 65 …) and the shift
// argument is a mask of Shift 1, Ctrl 2 and Alt 4, so host code written
// against those numbers keeps working. Character codes are Unicode code
// points.
namespace KeyCodes {

constexpr short Backspace = 8;
constexpr short Tab = 9;
constexpr short Enter = 13;
constexpr short Escape = 27;
constexpr short Space = 32;
constexpr short Left = 37;
constexpr short Up = 38;
constexpr short Right = 39;
constexpr short Down = 40;
// What a key pressed into an input method reports; the grid uses it for
// the start of a composition.
constexpr short InputMethod = 229;

constexpr short ShiftMask = 1;
constexpr short CtrlMask = 2;
constexpr short AltMask = 4;

// The key-down code of a Qt key; 0 for keys without one.
short virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
short virtualKey(const QKeyEvent &event);
short shiftMask(Qt::KeyboardModifiers modifiers);

// The character a key press types, as the grid's editing sees it: Enter
// 13, Backspace 8, Esc 27, Ctrl+A … Ctrl+Z 1 … 26, otherwise the code point
// of the first typed character (space is 32); 0 when the key types nothing.
char32_t characterCode(const QKeyEvent &event);

} // namespace KeyCodes
