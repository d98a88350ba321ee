#include "GridLayout.h"

#include <OVGrid.h>

#include <QStringList>

#include <functional>

namespace {

// The columns whose value is set, with that value.
QList<std::pair<int, QString>> valuesOf(const QList<GridColumn> &columns,
                                        const std::function<QString(const GridColumn &)> &value)
{
    QList<std::pair<int, QString>> values;
    for (int col = 0; col < columns.size(); ++col) {
        const QString v = value(columns.at(col));
        if (!v.isEmpty())
            values.append({col, v});
    }
    return values;
}

// Every column's value in column order ("700|0|1600").
QString positional(const QList<GridColumn> &columns, const std::function<QString(const GridColumn &)> &value)
{
    QStringList items;
    for (const GridColumn &column : columns)
        items << value(column);
    return items.join(QLatin1Char('|'));
}

} // namespace

QString ColumnValues(const QList<std::pair<int, QString>> &values)
{
    QStringList order;
    for (const auto &[col, value] : values) {
        if (!order.contains(value))
            order << value;
    }
    QStringList items;
    for (const QString &value : std::as_const(order)) {
        bool first = true;
        for (const auto &[col, v] : values) {
            if (v != value)
                continue;
            items << (first ? QString::number(col) + QLatin1Char(';') + value : QString::number(col));
            first = false;
        }
    }
    return items.join(QLatin1Char('|'));
}

void LayOutGrid(OVGrid *grid, const QList<GridColumn> &columns)
{
    QStringList wrapped;
    for (int col = 0; col < columns.size(); ++col) {
        if (columns.at(col).wordWrap)
            wrapped << QString::number(col);
    }
    if (!wrapped.isEmpty())
        grid->setListWordWrap(wrapped.join(QLatin1Char('|')));
    grid->setListWidth(positional(columns, [](const GridColumn &c) { return QString::number(c.width); }));
    grid->setListTitle(positional(columns, [](const GridColumn &c) { return c.title; }));
    const auto assign = [&](bool (OVGrid::*setter)(const QString &), const QString &list) {
        if (!list.isEmpty())
            (grid->*setter)(list);
    };
    assign(&OVGrid::setListTag, ColumnValues(valuesOf(columns, [](const GridColumn &c) { return c.tag; })));
    assign(&OVGrid::setListFormat, ColumnValues(valuesOf(columns, [](const GridColumn &c) { return c.format; })));
    assign(&OVGrid::setListDefault, ColumnValues(valuesOf(columns, [](const GridColumn &c) { return c.defaultText; })));
    assign(&OVGrid::setListAlignment, ColumnValues(valuesOf(columns, [](const GridColumn &c) {
               return c.alignment < 0 ? QString() : QString::number(c.alignment);
           })));
}
