#pragma once

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class AccessFile;

// What a database holds, as the copy checks it: rows per table and the sums
// of the bills' and the lines' amounts.
struct BooksFigures
{
    QList<QPair<QString, qint64>> rows;
    double billTotal = 0;
    double lineTotal = 0;
};

BooksFigures FiguresOf(const QSqlDatabase &db);

// Throws DbError naming the first of the program's tables or columns that
// the Access file lacks.
void CheckAccessTables(const AccessFile &source);

// Copies the Windows program's books into target, inside the caller's
// transaction, by this program's rules: a Null text becomes "" and a Null
// number 0 (only dates stay Null), a date loses its time of day, bill totals
// are rounded to 4 decimals, the clear-text password is stored hashed,
// tblspell keeps the target's table and gains the characters it lacks, and
// lines whose bill is gone are left out. Returns the figures the target must
// show; what was left out or looks wrong is added to notes for the user.
BooksFigures CopyFromAccess(const AccessFile &source, const QSqlDatabase &target, QStringList *notes);
