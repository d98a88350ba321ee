#include "TextMeasure.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

// Qt wraps a run without a break opportunity by scanning the rest of the
// run for every line it breaks, which is quadratic in the run's length
// (100,000 characters took half a minute). A run longer than this gets a
// zero-width break opportunity between its characters instead, which wraps
// it at the same places in linear time; shorter texts are laid out as is.
constexpr qsizetype LongRun = 500;
// No row is drawn higher than this (pixels): lines past it are not laid out.
constexpr qreal MaxHeight = 32767;

bool joinsPrevious(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return c.isLowSurrogate();
    }
}

QString withBreaksInLongRuns(const QString &text)
{
    if (text.size() <= LongRun)
        return text;
    QString out;
    out.reserve(text.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        if (end - start <= LongRun) {
            out += QStringView(text).sliced(start, end - start);
        } else {
            for (qsizetype i = start; i < end; ++i) {
                if (i > start && !joinsPrevious(text.at(i)))
                    out += QChar(0x200B);
                out += text.at(i);
            }
        }
        start = end;
    }
    return out;
}

} // namespace

int wrappedTextHeight(const QFont &font, const QString &text, int width)
{
    const QFontMetricsF metrics(font);
    if (text.isEmpty())
        return int(std::ceil(metrics.height()));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QString laidOut = withBreaksInLongRuns(text);
    laidOut.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    laidOut.replace(u'\n', QChar::LineSeparator);
    laidOut.replace(u'\r', QChar::LineSeparator);
    QTextLayout layout(laidOut, font);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    const qreal lineWidth = std::max(width, 1);
    for (QTextLine line = layout.createLine(); line.isValid() && height < MaxHeight; line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return int(std::ceil(std::min(height, MaxHeight)));
}
