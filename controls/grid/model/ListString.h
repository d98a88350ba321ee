#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The grammar of the column layout strings. Items are separated by
// "|" and applied from left to right; a faulty item stops the assignment,
// and the items before it stay applied.
namespace ListString {

enum class Error { None, NotANumber, OutOfRange };

struct Result
{
    Error error = Error::None;
    int item = -1;      // index of the faulty item
    QString text;       // the faulty item

    bool ok() const { return error == Error::None; }
    QString message() const;
};

// The items of a value; an empty value has none.
QStringList items(const QString &value);
// A column number or width: a decimal integer, spaces around it allowed.
std::optional<int> number(QStringView text);

// Item i belongs to column i: apply(i, item) for each, up to column cols − 1.
Result applyPositional(const QString &value, int cols,
                       const std::function<void(int col, const QString &item)> &apply);
// Like applyPositional, for lists whose items are numbers (widths).
Result applyPositionalNumbers(const QString &value, int cols,
                              const std::function<void(int col, int number)> &apply);
// Items "n;v" give column n the value v and make n the current column; a
// bare "n" gives column n the value the current column has (currentValue of
// it at that moment). The current column starts at 0; a third ";"-part is
// ignored. assign may refuse a value (a value that must be a number).
Result applyKeyed(const QString &value, int cols,
                  const std::function<QString(int col)> &currentValue,
                  const std::function<Error(int col, const QString &value)> &assign);
// Every item is a column number: apply(n) for each.
Result applyFlags(const QString &value, int cols, const std::function<void(int col)> &apply);

} // namespace ListString
