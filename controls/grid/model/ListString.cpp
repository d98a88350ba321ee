#include "ListString.h"

namespace ListString {

namespace {

Result failure(Error error, int item, const QString &text)
{
    return Result{error, item, text};
}

// The column an item names, or the failure it causes.
std::optional<int> column(QStringView text, int cols, int item, Result &result)
{
    const auto n = number(text);
    if (!n) {
        result = failure(Error::NotANumber, item, text.toString());
        return std::nullopt;
    }
    if (*n < 0 || *n >= cols) {
        result = failure(Error::OutOfRange, item, text.toString());
        return std::nullopt;
    }
    return n;
}

} // namespace

QString Result::message() const
{
    switch (error) {
    case Error::None:
        return QString();
    case Error::NotANumber:
        return QStringLiteral("item %1 \"%2\" is not a number").arg(item + 1).arg(text);
    case Error::OutOfRange:
        return QStringLiteral("item %1 \"%2\" names a column outside the grid").arg(item + 1).arg(text);
    }
    return QString();
}

QStringList items(const QString &value)
{
    if (value.isEmpty())
        return {};
    return value.split(u'|');
}

std::optional<int> number(QStringView text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

Result applyPositional(const QString &value, int cols,
                       const std::function<void(int, const QString &)> &apply)
{
    const QStringList list = items(value);
    for (int i = 0; i < list.size(); ++i) {
        if (i >= cols)
            return failure(Error::OutOfRange, i, list.at(i));
        apply(i, list.at(i));
    }
    return {};
}

Result applyPositionalNumbers(const QString &value, int cols,
                              const std::function<void(int, int)> &apply)
{
    const QStringList list = items(value);
    for (int i = 0; i < list.size(); ++i) {
        const auto n = number(list.at(i));
        if (!n)
            return failure(Error::NotANumber, i, list.at(i));
        if (i >= cols)
            return failure(Error::OutOfRange, i, list.at(i));
        apply(i, *n);
    }
    return {};
}

Result applyKeyed(const QString &value, int cols,
                  const std::function<QString(int)> &currentValue,
                  const std::function<Error(int, const QString &)> &assign)
{
    const QStringList list = items(value);
    int current = 0;
    Result result;
    for (int i = 0; i < list.size(); ++i) {
        const QStringList parts = list.at(i).split(u';');
        const auto col = column(parts.at(0), cols, i, result);
        if (!col)
            return result;
        const bool keyed = parts.size() >= 2;
        const Error error = assign(*col, keyed ? parts.at(1) : currentValue(current));
        if (error != Error::None)
            return failure(error, i, list.at(i));
        if (keyed)
            current = *col;
    }
    return {};
}

Result applyFlags(const QString &value, int cols, const std::function<void(int)> &apply)
{
    const QStringList list = items(value);
    Result result;
    for (int i = 0; i < list.size(); ++i) {
        const auto col = column(list.at(i), cols, i, result);
        if (!col)
            return result;
        apply(*col);
    }
    return {};
}

} // namespace ListString
