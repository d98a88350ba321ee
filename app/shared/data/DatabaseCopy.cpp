#include "DatabaseCopy.h"

#include "Database.h"
#include "DbError.h"
#include "ServerAddress.h"
#include "SqlStatement.h"
#include "schema/Schema.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace {

const QString SourceName = QStringLiteral("CopySource");
const QString TargetName = QStringLiteral("CopyTarget");
QVariant single(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = RunDirect(db, sql);
    return query.next() ? query.value(0) : QVariant();
}

// Closes and forgets both connections however the copy ends.
class Connections
{
public:
    Connections(const QString &from, const QString &to)
    {
        source = OpenDatabase(SourceName, from);
        target = OpenDatabase(TargetName, to);
    }
    ~Connections()
    {
        for (QSqlDatabase *db : {&source, &target}) {
            const QString name = db->connectionName();
            db->close();
            *db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
        }
    }
    QSqlDatabase source;
    QSqlDatabase target;
};

// The tables whose rows are the books; the other two were filled when the
// target was set up and are replaced by the source's.
const QStringList &dataTables()
{
    static const QStringList tables{QStringLiteral("bill"), QStringLiteral("billsub"), QStringLiteral("client"),
                                    QStringLiteral("artno"), QStringLiteral("serv")};
    return tables;
}

void copyTable(const QSqlDatabase &source, const QSqlDatabase &target, const QString &table)
{
    const QSqlRecord record = target.record(table);
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    const bool hasId = columns.contains(QStringLiteral("id"));
    QSqlQuery rows = RunDirect(source, QStringLiteral("select %1 from %2%3")
                                     .arg(columns.join(QLatin1Char(',')), table,
                                          hasId ? QStringLiteral(" order by id") : QString()));
    BatchInsert insert(target, table, columns);
    QVariantList row;
    while (rows.next()) {
        row.clear();
        for (int i = 0; i < columns.size(); ++i)
            row << rows.value(i);
        insert.add(row);
    }
    insert.finish();
}

// New rows at the target must get ids past the copied ones. SQLite's
// AUTOINCREMENT counter follows explicit ids by itself; a server sequence
// does not.
void setSequences(const QSqlDatabase &target)
{
    if (!IsServerDatabase(target))
        return;
    for (const QString &table : dataTables()) {
        RunDirect(target, QStringLiteral("select setval(pg_get_serial_sequence('%1', 'id'),"
                                   " (select coalesce(max(id), 0) + 1 from %1), false)")
                        .arg(table));
    }
}

struct Figures
{
    QList<QPair<QString, qint64>> rows;
    double billTotal = 0;
    double lineTotal = 0;
};

Figures figuresOf(const QSqlDatabase &db)
{
    Figures figures;
    for (const QString &table : Schema::tableNames())
        figures.rows.append({table, single(db, QStringLiteral("select count(*) from ") + table).toLongLong()});
    figures.billTotal = single(db, QStringLiteral("select coalesce(sum(price), 0) from bill")).toDouble();
    figures.lineTotal = single(db, QStringLiteral("select coalesce(sum(quantity*price), 0) from billsub")).toDouble();
    return figures;
}

// Amounts are stored to four decimals; sums of a million of them in
// floating point may differ in the last places.
bool sameAmount(double a, double b)
{
    return std::abs(a - b) <= 0.005 + std::abs(a) * 1e-12;
}

} // namespace

CopyReport CopyBooks(const QString &from, const QString &to)
{
    if (!ServerAddress::isUri(from) && !QFileInfo(from).isFile())
        throw DbError(QStringLiteral("找不到要复制的数据库：%1").arg(from));
    if (from == to)
        throw DbError(QStringLiteral("来源和目标是同一个数据库：%1").arg(from));

    Connections db(from, to);
    for (const QString &table : dataTables()) {
        if (single(db.target, QStringLiteral("select count(*) from ") + table).toLongLong() > 0)
            throw DbError(QStringLiteral("目标数据库已有数据（表 %1），没有复制：%2").arg(table, to));
    }

    // The source is read as one snapshot while other desks may go on working.
    if (!db.source.transaction())
        throw DbError(db.source.lastError());
    if (IsServerDatabase(db.source))
        RunDirect(db.source, QStringLiteral("set transaction isolation level repeatable read"));
    if (!db.target.transaction())
        throw DbError(db.target.lastError());
    try {
        RunDirect(db.target, QStringLiteral("delete from tblinfo"));
        RunDirect(db.target, QStringLiteral("delete from tblspell"));
        for (const QString &table : Schema::tableNames())
            copyTable(db.source, db.target, table);
        setSequences(db.target);

        const Figures was = figuresOf(db.source);
        const Figures now = figuresOf(db.target);
        if (was.rows != now.rows || !sameAmount(was.billTotal, now.billTotal)
            || !sameAmount(was.lineTotal, now.lineTotal))
            throw DbError(QStringLiteral("复制后核对不符，目标没有改动：%1").arg(to));
        if (!db.target.commit())
            throw DbError(db.target.lastError());
        db.source.rollback();
        return {now.rows, now.billTotal};
    } catch (const DbError &) {
        db.target.rollback();
        db.source.rollback();
        throw;
    }
}
