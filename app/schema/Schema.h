#pragma once

#include <QStringList>

// The tables of ovBill.db and the statements that create them. Statements are
// kept to SQL that SQLite and PostgreSQL both accept, apart from the column
// types and collations that createStatements() chooses per engine.
namespace Schema {

// Bumped whenever the tables change; stored in PRAGMA user_version.
constexpr int Version = 1;

// The seven tables the program needs, in creation order.
QStringList tableNames();

// CREATE TABLE and CREATE INDEX statements for a new SQLite database.
QStringList createStatements();

// The CREATE INDEX statements alone, each "if not exists", so that a
// database made by an older version gets the indexes added since.
QStringList indexStatements();

} // namespace Schema
