#include "TextRules.h"

#include <QKeyEvent>

QString CleanText(const QString &text)
{
    // Only spaces are trimmed, and before the removals: a space behind a
    // leading tab stays.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;

    QString result;
    result.reserve(end - begin);
    for (qsizetype i = begin; i < end; ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\n': case '\r': case '\t': case '\'': case '[': case ']': case '"':
            break;
        default:
            result.append(c);
        }
    }
    return result;
}

void FilterKeyAscii(int &keyAscii)
{
    switch (keyAscii) {
    case 13: case 39: case 34: case 91: case 93:
        keyAscii = 0;
        break;
    default:
        break;
    }
}

bool IsFilteredKey(const QKeyEvent *event)
{
    int keyAscii = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        keyAscii = 13;
    else if (event->text().size() == 1)
        keyAscii = event->text().at(0).unicode();
    if (keyAscii == 0)
        return false;
    FilterKeyAscii(keyAscii);
    return keyAscii == 0;
}
