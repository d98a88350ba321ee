#pragma once

#include <QString>

class QKeyEvent;

// Removes outer spaces, then every line feed, carriage return, tab, quote,
// double quote and square bracket: what users may not store in a text field.
QString CleanText(const QString &text);

// Swallows (sets to 0) the keys that may not be typed into the bill, query,
// password and search boxes: Enter, quote, double quote and square brackets.
void FilterKeyAscii(int &keyAscii);

// Whether FilterKeyAscii swallows the character of this key press (Enter
// reads as 13); an event filter returns true for it, so the key never
// reaches the box.
bool IsFilteredKey(const QKeyEvent *event);
