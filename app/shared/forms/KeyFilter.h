#pragma once

class QKeyEvent;

// Whether FilterKeyAscii swallows the character of this key press (Enter
// reads as 13); an event filter returns true for it, so the key never
// reaches the box.
bool IsFilteredKey(const QKeyEvent *event);
