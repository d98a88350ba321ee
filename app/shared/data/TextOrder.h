#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Lists sorted by a text column follow the Mandarin reading of Chinese text
// (甲 before 乙, 麻布 before 丝绸), case-insensitively: ICU's Chinese
// collation on both engines. Only the order changes; equality and "like"
// keep the columns' own case-insensitive comparison.

// The ORDER BY list for the given text columns on db ("artno collate zh,
// product collate zh" on SQLite).
QString TextOrderBy(const QSqlDatabase &db, const QStringList &columns);

// The same for DbConnection().
QString TextOrderBy(const QStringList &columns);

// Makes the collation that TextOrderBy names known on an SQLite connection;
// every connection the program opens on a file gets it. Returns false when
// the connection is not SQLite or the engine refuses.
bool RegisterTextCollation(const QSqlDatabase &db);
