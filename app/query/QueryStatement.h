#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

// What the query window asks for. Texts are kept as typed; an empty text or
// a null date leaves that criterion out.
struct QueryCriteria
{
    QDate from;         // first date, inclusive
    QDate to;           // last date, inclusive
    QString client;
    QString artno;      // lines only
    int field = -1;     // position in FieldNames(): 0 product, 1 color, 2-5 man1-man4
    QString value;      // the value of that field
};

enum class QueryKind { Bills, Lines };

// One statement with "?" placeholders and the values bound to them, in order.
struct QueryStatement
{
    QString sql;
    QVariantList values;
};

// The bill query (one row per bill: id, date, client, pi, quantity, price,
// comment, ordered by id) or the line query (one row per line joined with
// its bill: bill id, date, client, artno, product, color, pi, quantity,
// price, amount, ordered by bill id and line id).
//
// The staff fields filter both queries; the article number, product and
// colour belong to the lines and are ignored by the bill query. Text values
// pass CleanText and every value is bound, never written into the statement.
// Dates are compared as the ISO text they are stored as.
QueryStatement BuildQuery(const QueryCriteria &criteria, QueryKind kind);
