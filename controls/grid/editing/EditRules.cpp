#include "EditRules.h"

namespace EditRules {

QString sortKey(QStringView text)
{
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'-' && c != u'/' && c != u':')
            key.append(c);
    }
    return key;
}

int nextVisibleCol(int current, int direction, int cols, const std::function<int(int)> &colWidth)
{
    for (int c = current + direction; c >= 1 && c <= cols - 1; c += direction) {
        if (colWidth(c) > HiddenWidth)
            return c;
    }
    return current;
}

std::optional<QString> dateWithDash(const QString &text, int caret, int previousLength)
{
    // Only typing adds a dash: deleting back over one must not put it back.
    if (text.size() <= previousLength || caret != text.size())
        return std::nullopt;
    if (text.size() == 2 || (text.size() == 5 && text.at(2) == u'-'))
        return text + u'-';
    return std::nullopt;
}

QString toggledTick(QStringView text)
{
    return text.isEmpty() ? QStringLiteral("\u221A") : QString();
}

} // namespace EditRules
