#pragma once

#include <QFont>
#include <QString>

// The height in pixels of a text wrapped to a width in pixels, laid out
// the way the grid's cells wrap it (at word boundaries, or anywhere when a
// word is wider than the cell). An empty text is one line high.
int wrappedTextHeight(const QFont &font, const QString &text, int width);
