#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Moves the books from one database to another (an SQLite file to a server,
// or back, or the Windows program's Access file to either): every table with
// its ids, into a target that holds no bills, clients, articles or value
// lists yet.
struct CopyReport
{
    QList<QPair<QString, qint64>> rows; // table → rows copied
    double billTotal = 0;               // the sum of every bill's amount
    QStringList notes;                  // what was left out or needs a look
};

struct CopyOptions
{
    // The code page of an old (Jet 3) Access file's text, as iconv names it;
    // empty takes the file's own, GBK where it names none.
    QByteArray codePage;
};

// Copies from → to, each an SQLite file path or a PostgreSQL URI (from may
// also be an Access .mdb file, only ever read), in one transaction on the
// target, and checks row counts and bill totals before committing; the
// target's id sequences are set past the highest id. A missing or unreadable
// source, a target with data, or any failure throws DbError and leaves the
// target as it was: a target file the copy created is removed again.
CopyReport CopyBooks(const QString &from, const QString &to, const CopyOptions &options = CopyOptions());
