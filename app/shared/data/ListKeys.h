#pragma once

#include <QSqlDatabase>
#include <QString>

// Articles and clients are listed in pinyin order straight from an index,
// so the first rows of 50,000 articles come at once instead of after a sort
// of the whole table through the collation. The server has such an index on
// the collation itself. An SQLite file keeps each row's sort key
// (TextSortKey) in a column "listkey" with a plain index instead: an index
// on our own collation would make the file unwritable, and unverifiable, in
// the sqlite3 shell and any other tool that lacks it.

// The ORDER BY list that reads table ("artno" or "client") in its list
// order on db.
QString ListOrderBy(const QSqlDatabase &db, const QString &table);
// The same for DbConnection().
QString ListOrderBy(const QString &table);

// Makes an SQLite connection keep the sort keys: adds the column and its
// index where a file lacks them, keys every row this connection writes
// (temporary triggers, so no other program needs our function), and keys
// the rows another program wrote, or another ICU keyed. Throws DbError.
void PrepareListKeys(QSqlDatabase &db);
