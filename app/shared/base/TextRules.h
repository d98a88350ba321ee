#pragma once

#include <QString>

// Removes outer spaces, then every line feed, carriage return, tab, quote,
// double quote and square bracket: what users may not store in a text field.
QString CleanText(const QString &text);

// Swallows (sets to 0) the keys that may not be typed into the bill, query,
// password and search boxes: Enter, quote, double quote and square brackets.
void FilterKeyAscii(int &keyAscii);
