#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// The one database connection every window shares for the life of the process.
QSqlDatabase DbConnection();

// Opens DbConnection on DatabaseLocation(). An SQLite file that does not
// exist, or a server database without any of the tables, is set up as a new
// database. An existing one that cannot be used (not a database, damaged,
// unreadable, read-only, lacking tables or columns, locked) is never changed:
// DbError is thrown with the engine's text.
void ConnectDatabase();

// Opens DbConnection on location: an SQLite file path or a PostgreSQL URI.
void ConnectDatabaseAt(const QString &location);

// Opens a further connection of the given name on location, checked or set
// up as ConnectDatabase() does (the database copy uses two).
QSqlDatabase OpenDatabase(const QString &connectionName, const QString &location);

// The "database" setting when it names a server, else DatabasePath().
QString DatabaseLocation();

// Whether db is a PostgreSQL connection rather than an SQLite file.
bool IsServerDatabase(const QSqlDatabase &db);

// SQLite's own handle behind an open connection, for what Qt does not offer
// (online backup, collations); null for any other engine.
sqlite3 *SqliteHandle(const QSqlDatabase &db);

// Changes each time DbConnection is opened or closed, so that what is kept
// from one database (the search-code table) is read again after a change.
quint64 ConnectionGeneration();

// Closes DbConnection (the backup reopens it with ConnectDatabase()).
void CloseDatabase();

// The default search-code table that a new database is filled with:
// pairs of one character and its search letter.
QList<QPair<QString, QString>> DefaultSpellTable();
