#include "TextMeasure.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

int wrappedTextHeight(const QFont &font, const QString &text, int width)
{
    const QFontMetricsF metrics(font);
    if (text.isEmpty())
        return int(std::ceil(metrics.height()));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QString laidOut = text;
    laidOut.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    laidOut.replace(u'\n', QChar::LineSeparator);
    laidOut.replace(u'\r', QChar::LineSeparator);
    QTextLayout layout(laidOut, font);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    const qreal lineWidth = std::max(width, 1);
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return int(std::ceil(height));
}
