#include "DatabaseCopy.h"

#include "AccessCopy.h"
#include "AccessFile.h"
#include "Database.h"
#include "DbError.h"
#include "ServerAddress.h"
#include "SqlStatement.h"
#include "schema/Schema.h"

#include <QFile>
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
// Closes and forgets both connections however the copy ends.
class Connections
{
public:
    Connections(const QString &from, const QString &to)
    {
        if (!from.isEmpty())
            source = OpenDatabase(SourceName, from);
        target = OpenDatabase(TargetName, to);
    }
    ~Connections()
    {
        for (QSqlDatabase *db : {&source, &target}) {
            const QString name = db->connectionName();
            if (name.isEmpty())
                continue;
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
    // The columns both have: an SQLite file's sort keys (ListKeys) are the
    // target's own business, made as its rows go in.
    const QSqlRecord record = target.record(table);
    const QSqlRecord sourceRecord = source.record(table);
    QStringList columns;
    for (int i = 0; i < record.count(); ++i) {
        if (sourceRecord.contains(record.fieldName(i)))
            columns << record.fieldName(i);
    }
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

// A million lines go in several times faster into tables without indexes,
// which are then built once, sorted, from the rows: the copy drops the
// program's indexes on the target and makes them again before it commits.
class IndexesAfterwards
{
public:
    explicit IndexesAfterwards(const QSqlDatabase &target)
        : m_target(target)
    {
        for (const QString &name : Schema::indexNames())
            RunDirect(m_target, QStringLiteral("drop index if exists ") + name);
    }
    void rebuild()
    {
        for (const QString &sql : Schema::indexStatements())
            RunDirect(m_target, sql);
    }

private:
    QSqlDatabase m_target;
};

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

// Amounts are stored to four decimals; sums of a million of them in
// floating point may differ in the last places.
bool sameAmount(double a, double b)
{
    return std::abs(a - b) <= 0.005 + std::abs(a) * 1e-12;
}

// The Windows program's file, told by its name or by its first bytes.
bool isAccessFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb"))
        return true;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(20).mid(4) == QByteArray("Standard Jet DB\0", 16);
}

void checkTargetEmpty(const QSqlDatabase &target, const QString &to)
{
    for (const QString &table : dataTables()) {
        if (DirectValue(target, QStringLiteral("select count(*) from ") + table).toLongLong() > 0)
            throw DbError(QStringLiteral("目标数据库已有数据（表 %1），没有复制：%2").arg(table, to));
    }
}

void checkFigures(const BooksFigures &was, const BooksFigures &now, const QString &to)
{
    if (was.rows != now.rows || !sameAmount(was.billTotal, now.billTotal) || !sameAmount(was.lineTotal, now.lineTotal))
        throw DbError(QStringLiteral("复制后核对不符，目标没有改动：%1").arg(to));
}

// A target file the copy made is gone again when the copy fails, so that a
// failed copy leaves no half-made books behind.
class CreatedTarget
{
public:
    explicit CreatedTarget(const QString &to)
        : m_path(!ServerAddress::isUri(to) && !QFileInfo::exists(to) ? to : QString())
    {
    }
    ~CreatedTarget()
    {
        if (m_path.isEmpty() || m_kept)
            return;
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
            QFile::remove(m_path + suffix);
    }
    void keep() { m_kept = true; }

private:
    QString m_path;
    bool m_kept = false;
};

CopyReport copyDatabase(const QString &from, const QString &to)
{
    Connections db(from, to);
    checkTargetEmpty(db.target, to);

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
        IndexesAfterwards indexes(db.target);
        for (const QString &table : Schema::tableNames())
            copyTable(db.source, db.target, table);
        indexes.rebuild();
        setSequences(db.target);

        const BooksFigures now = FiguresOf(db.target);
        checkFigures(FiguresOf(db.source), now, to);
        if (!db.target.commit())
            throw DbError(db.target.lastError());
        db.source.rollback();
        return {now.rows, now.billTotal, {}};
    } catch (const DbError &) {
        db.target.rollback();
        db.source.rollback();
        throw;
    }
}

CopyReport copyAccess(const QString &from, const QString &to, const CopyOptions &options)
{
    // The whole source is checked before the target is touched.
    const AccessFile source(from, options.codePage);
    CheckAccessTables(source);

    Connections db(QString(), to);
    checkTargetEmpty(db.target, to);
    if (!db.target.transaction())
        throw DbError(db.target.lastError());
    try {
        CopyReport report;
        IndexesAfterwards indexes(db.target);
        const BooksFigures was = CopyFromAccess(source, db.target, &report.notes);
        indexes.rebuild();
        setSequences(db.target);
        const BooksFigures now = FiguresOf(db.target);
        checkFigures(was, now, to);
        if (!db.target.commit())
            throw DbError(db.target.lastError());
        report.rows = now.rows;
        report.billTotal = now.billTotal;
        return report;
    } catch (const DbError &) {
        db.target.rollback();
        throw;
    }
}

} // namespace

CopyReport CopyBooks(const QString &from, const QString &to, const CopyOptions &options)
{
    if (!ServerAddress::isUri(from) && !QFileInfo(from).isFile())
        throw DbError(QStringLiteral("找不到要复制的数据库：%1").arg(from));
    if (from == to)
        throw DbError(QStringLiteral("来源和目标是同一个数据库：%1").arg(from));

    const bool access = !ServerAddress::isUri(from) && isAccessFile(from);
    CreatedTarget created(to);
    CopyReport report = access ? copyAccess(from, to, options) : copyDatabase(from, to);
    created.keep();
    return report;
}
