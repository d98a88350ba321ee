#pragma once

#include <QSqlDatabase>
#include <QString>

// The one database connection every window shares for the life of the process.
QSqlDatabase DbConnection();

// Opens DbConnection on the data folder's ovBill.db, creating a new database
// when the file does not exist. An existing file that cannot be used (not a
// database, damaged, unreadable, read-only, lacking tables, locked) is never
// changed: DbError is thrown with the engine's text.
void ConnectDatabase();

// Opens DbConnection on the given file; ConnectDatabase() passes DatabasePath().
void ConnectDatabaseAt(const QString &path);

// Changes each time DbConnection is opened or closed, so that what is kept
// from one database (the search-code table) is read again after a change.
quint64 ConnectionGeneration();

// Closes DbConnection (the backup reopens it with ConnectDatabase()).
void CloseDatabase();

// The default search-code table that a new database is filled with:
// pairs of one character and its search letter.
QList<QPair<QString, QString>> DefaultSpellTable();
