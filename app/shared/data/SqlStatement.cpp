#include "SqlStatement.h"

#include "DbError.h"

#include <QSqlError>

#include <algorithm>

namespace {

// Within one statement's parameter limit on either engine.
constexpr int ParametersPerStatement = 900;

} // namespace

SqlStatement::SqlStatement(const QSqlDatabase &db, const QString &sql, bool forwardOnly)
    : m_sql(sql)
    , m_query(db)
{
    m_query.setForwardOnly(forwardOnly);
    if (!m_query.prepare(sql))
        throw DbError(m_query.lastError(), sql);
}

QSqlQuery &SqlStatement::run(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, values.at(i));
    if (!m_query.exec())
        throw DbError(m_query.lastError(), m_sql);
    return m_query;
}

QSqlQuery RunDirect(const QSqlDatabase &db, const QString &sql, bool forwardOnly)
{
    QSqlQuery query(db);
    query.setForwardOnly(forwardOnly);
    if (!query.exec(sql))
        throw DbError(query.lastError(), sql);
    return query;
}

QVariant DirectValue(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = RunDirect(db, sql);
    return query.next() ? query.value(0) : QVariant();
}

BatchInsert::BatchInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns)
    : m_db(db)
    , m_head(QStringLiteral("insert into %1 (%2) values ").arg(table, columns.join(QLatin1Char(','))))
    , m_tuple(QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','))
              + QLatin1Char(')'))
    , m_rowsPerStatement(std::max<int>(1, ParametersPerStatement / std::max<int>(1, int(columns.size()))))
{
}

QString BatchInsert::statement(int rows) const
{
    return m_head + QStringList(rows, m_tuple).join(QLatin1Char(','));
}

void BatchInsert::add(const QVariantList &row)
{
    m_values.append(row);
    if (++m_pending < m_rowsPerStatement)
        return;
    if (!m_full)
        m_full.emplace(m_db, statement(m_rowsPerStatement));
    m_full->run(m_values);
    m_values.clear();
    m_pending = 0;
}

void BatchInsert::finish()
{
    if (m_pending == 0)
        return;
    SqlStatement(m_db, statement(m_pending)).run(m_values);
    m_values.clear();
    m_pending = 0;
}
