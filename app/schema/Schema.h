#pragma once

#include <QStringList>

// The tables of the books and the statements that create them. Apart from
// column types, the statements are the same on both engines.
namespace Schema {

// Bumped whenever the tables change; SQLite keeps it in PRAGMA user_version.
constexpr int Version = 1;

enum class Engine { Sqlite, Postgres };

// The seven tables the program needs, in creation order.
QStringList tableNames();

// CREATE TABLE and CREATE INDEX statements for a new database; a server
// database also gets indexes in the lists' order.
QStringList createStatements(Engine engine = Engine::Sqlite);

// The CREATE INDEX statements alone, each "if not exists", so that a
// database made by an older version gets the indexes added since.
QStringList indexStatements();

// The names of the indexes indexStatements() creates.
QStringList indexNames();

} // namespace Schema
