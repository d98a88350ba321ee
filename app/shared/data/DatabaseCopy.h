#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Moves the books from one database to another (an SQLite file to a server,
// or back): every table with its ids, into a target that holds no bills,
// clients, articles or value lists yet.
struct CopyReport
{
    QList<QPair<QString, qint64>> rows; // table → rows copied
    double billTotal = 0;               // the sum of every bill's amount
};

// Copies from → to, each an SQLite file path or a PostgreSQL URI, in one
// transaction on the target, and checks row counts and bill totals before
// committing; the target's id sequences are set past the highest id. A
// missing source, a target with data, or any failure throws DbError and
// leaves the target as it was.
CopyReport CopyBooks(const QString &from, const QString &to);
