#include "TextRules.h"


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
