#include "DataAccess.h"

#include "DbError.h"
#include "Database.h"
#include "SqlStatement.h"
#include "TextOrder.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

#include <cmath>

namespace {

// Names joined into statements must be plain identifiers (or, for a lookup's
// expression, a simple aggregate over them): they come from the program, and
// anything else is a programming error that must not reach the engine.
const QString &checkedName(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(name).hasMatch())
        throw DbError(QStringLiteral("无效的名称：%1").arg(name));
    return name;
}

const QString &checkedExpression(const QString &expression)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9_ ().,*+\\-/]+$"));
    if (!allowed.match(expression).hasMatch())
        throw DbError(QStringLiteral("无效的表达式：%1").arg(expression));
    return expression;
}

QString whereClause(const SqlCondition &condition)
{
    return condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition.text;
}

// Infinity would be stored as such and NaN as Null: neither is a figure the
// program could show or sum, so such a value never reaches the engine.
void checkFinite(const QVariantList &values, const QString &sql)
{
    for (const QVariant &value : values) {
        const int type = value.userType();
        if ((type == QMetaType::Double || type == QMetaType::Float) && !std::isfinite(value.toDouble()))
            throw DbError(QStringLiteral("无效的数值：%1\n%2").arg(value.toString(), sql));
    }
}

// Empty text is stored as "", never as Null, so that a lookup of "" finds
// it; only a value given as Null (a bill without a date) stays Null.
QVariant storedValue(const QVariant &value)
{
    if (value.userType() == QMetaType::QString && !value.isNull() && value.toString().isNull())
        return QString(QLatin1String(""));
    return value;
}

// The server's driver streams a forward-only result row by row and drops it
// when the connection runs another statement; reading one result while
// looking up another is common here, so the server sends each result whole.
bool forwardOnly()
{
    return !IsServerDatabase(DbConnection());
}

} // namespace

QSqlQuery ExecSql(const QString &sql, const QVariantList &values)
{
    checkFinite(values, sql);
    SqlStatement statement(DbConnection(), sql, forwardOnly());
    statement.run(values);
    return statement.take();
}

QVariant LookupValue(const QString &expression, const QString &table,
                     const SqlCondition &condition, NullMode mode)
{
    QSqlQuery query = ExecSql(QStringLiteral("select ") + checkedExpression(expression)
                                  + QStringLiteral(" from ") + checkedName(table)
                                  + whereClause(condition),
                              condition.values);
    if (!query.next())
        return QVariant();
    const QVariant value = query.value(0);
    if (!value.isNull())
        return value;
    switch (mode) {
    case NullAsEmptyText: return QString(QLatin1String(""));
    case NullAsZero: return 0;
    case NullAsIs: break;
    }
    // A Null that stays distinguishable from "no row" whatever the driver gives.
    return QVariant(QMetaType::fromType<QString>());
}

bool IdExists(const QString &table, qint32 id)
{
    return ExecSql(QStringLiteral("select 1 from ") + checkedName(table) + QStringLiteral(" where id=?"),
                   {id})
        .next();
}

bool RowExists(const QString &table, const SqlCondition &condition)
{
    return ExecSql(QStringLiteral("select 1 from ") + checkedName(table) + whereClause(condition)
                       + QStringLiteral(" limit 1"),
                   condition.values)
        .next();
}

void DeleteById(const QString &table, qint32 id)
{
    ExecSql(QStringLiteral("delete from ") + checkedName(table) + QStringLiteral(" where id=?"), {id});
}

RecordStore::RecordStore(const QString &table)
    : m_table(checkedName(table))
{
}

RecordStore::~RecordStore() = default;

void RecordStore::checkColumns(const RecordValues &values)
{
    // The names are checked once; later rows need only the same names.
    if (m_columns.isEmpty()) {
        for (const auto &[column, value] : values)
            m_columns << checkedName(column);
        return;
    }
    const bool same = values.size() == m_columns.size()
        && std::equal(values.cbegin(), values.cend(), m_columns.cbegin(),
                      [](const auto &value, const QString &column) { return value.first == column; });
    if (!same) {
        QStringList names;
        for (const auto &[column, value] : values)
            names << column;
        throw DbError(QStringLiteral("无效的列：%1").arg(names.join(QLatin1Char(','))));
    }
}

// Each statement is prepared when first needed, then run again with new values.
SqlStatement &RecordStore::statement(std::unique_ptr<SqlStatement> &slot, const QString &sql)
{
    if (!slot)
        slot = std::make_unique<SqlStatement>(DbConnection(), sql);
    return *slot;
}

qint32 RecordStore::store(qint32 id, const RecordValues &values)
{
    checkColumns(values);
    QVariantList bound;
    for (const auto &[column, value] : values)
        bound << storedValue(value);
    checkFinite(bound, m_table);
    // Each result is let go at once: a statement still reading would keep
    // the transaction from committing.
    if (id > 0) {
        QSqlQuery &exists = statement(m_exists, QStringLiteral("select 1 from ") + m_table
                                                     + QStringLiteral(" where id=?"))
                                .run({id});
        const bool stored = exists.next();
        exists.finish();
        if (stored) {
            bound << id;
            statement(m_update, QStringLiteral("update ") + m_table + QStringLiteral(" set ")
                                    + m_columns.join(QStringLiteral("=?, ")) + QStringLiteral("=? where id=?"))
                .run(bound);
            return id;
        }
    }
    // A server's row tells its new id in the same round trip (its driver
    // would otherwise ask again with lastval()); SQLite keeps the last id on
    // the connection, which costs less than reading a returned row.
    const bool server = IsServerDatabase(DbConnection());
    QSqlQuery &insert = statement(m_insert, QStringLiteral("insert into ") + m_table + QStringLiteral(" (")
                                                + m_columns.join(QLatin1Char(',')) + QStringLiteral(") values (")
                                                + QStringList(m_columns.size(), QStringLiteral("?")).join(QLatin1Char(','))
                                                + (server ? QStringLiteral(") returning id") : QStringLiteral(")")))
                            .run(bound);
    if (!server)
        return insert.lastInsertId().toInt();
    if (!insert.next())
        throw DbError(insert.lastError(), m_table);
    const qint32 newId = insert.value(0).toInt();
    insert.finish();
    return newId;
}

qint32 StoreRecord(const QString &table, qint32 id, const RecordValues &values)
{
    return RecordStore(table).store(id, values);
}

double RoundTo4(double value)
{
    return std::round(value * 10000.0) / 10000.0;
}

void UpdateBillTotals(const QString &table, qint32 id)
{
    const QString lines = checkedName(table) + QStringLiteral("sub");
    QSqlQuery sums = ExecSql(QStringLiteral("select sum(quantity*price), sum(pi), sum(quantity) from ")
                                 + lines + QStringLiteral(" where pid=?"),
                             {id});
    double amount = 0;
    double pieces = 0;
    double weight = 0;
    if (sums.next()) {
        // A bill without lines sums to Null: its totals are 0.
        amount = sums.value(0).toDouble();
        pieces = sums.value(1).toDouble();
        weight = sums.value(2).toDouble();
    }
    ExecSql(QStringLiteral("update ") + table + QStringLiteral(" set price=?, pi=?, quantity=? where id=?"),
            {RoundTo4(amount), RoundTo4(pieces), RoundTo4(weight), id});
}

QStringList ServValues(const QString &field)
{
    QSqlQuery query = ExecSql(QStringLiteral("select value from serv where field=? order by ")
                                  + TextOrderBy({QStringLiteral("value")}),
                              {field});
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values;
}

QString ServValueList(const QString &field)
{
    QSqlQuery query = ExecSql(QStringLiteral("select value from serv where field=?"), {field});
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values.join(QLatin1Char('|'));
}

QList<QPair<QString, qint32>> IdNameRows(const QString &table)
{
    const QString name = checkedName(table);
    QSqlQuery query = ExecSql(QStringLiteral("select id, ") + name + QStringLiteral(" from ") + name
                              + QStringLiteral(" order by ") + TextOrderBy({name}));
    QList<QPair<QString, qint32>> rows;
    while (query.next())
        rows.append({query.value(1).toString(), query.value(0).toInt()});
    return rows;
}

DbTransaction::DbTransaction()
{
    QSqlDatabase db = DbConnection();
    if (!db.transaction())
        throw DbError(db.lastError());
    m_open = true;
}

DbTransaction::~DbTransaction()
{
    if (m_open)
        DbConnection().rollback();
}

void DbTransaction::commit()
{
    QSqlDatabase db = DbConnection();
    if (!db.commit())
        throw DbError(db.lastError());
    m_open = false;
}
