#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// The one way statements reach an engine. Each throws DbError, with the
// engine's text for the user and the statement for the log.

// A statement prepared once and run with new values as often as needed.
class SqlStatement
{
public:
    // forwardOnly false lets a server send each result whole, so that one
    // result can be read while another statement runs on the connection.
    SqlStatement(const QSqlDatabase &db, const QString &sql, bool forwardOnly = true);

    // Binds values in order and runs the statement; the query holds the
    // result until the next run.
    QSqlQuery &run(const QVariantList &values = QVariantList());
    // The query with its result, for a caller that keeps reading it after
    // the statement is gone.
    QSqlQuery take() { return std::move(m_query); }

private:
    QString m_sql;
    QSqlQuery m_query;
};

// Runs sql as written, unprepared: schema statements, pragmas and the like,
// which a server will not prepare.
QSqlQuery RunDirect(const QSqlDatabase &db, const QString &sql, bool forwardOnly = true);

// The first field of the first row of sql run directly; invalid when there
// is no row.
QVariant DirectValue(const QSqlDatabase &db, const QString &sql);

// Inserts rows into a table, many rows per statement within both engines'
// limit on parameters: a server answers that far sooner than one round trip
// per row. Full groups share one prepared statement.
class BatchInsert
{
public:
    BatchInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns);

    // One row, its values in the order of the columns.
    void add(const QVariantList &row);
    // Sends the rows still waiting; call it once at the end.
    void finish();

private:
    QString statement(int rows) const;

    QSqlDatabase m_db;
    QString m_head;
    QString m_tuple;
    int m_rowsPerStatement;
    int m_pending = 0;
    QVariantList m_values;
    std::optional<SqlStatement> m_full;
};
