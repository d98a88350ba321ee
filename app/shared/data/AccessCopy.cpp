#include "AccessCopy.h"

#include "AccessFile.h"
#include "DataAccess.h"
#include "DbError.h"
#include "Password.h"
#include "SqlStatement.h"
#include "schema/Schema.h"

#include <QDate>
#include <QSet>
#include <QSqlQuery>

#include <cmath>

namespace {

// How a column's value comes over.
enum class Kind { Id, Parent, Text, Number, Total, Date, Password };

struct Column
{
    QString name;
    Kind kind;
};

// The Windows program's tables and columns, which are also ours.
const QList<QPair<QString, QList<Column>>> &accessTables()
{
    static const QList<QPair<QString, QList<Column>>> tables = [] {
        const auto texts = [](std::initializer_list<const char *> names) {
            QList<Column> columns;
            for (const char *name : names)
                columns.append({QString::fromLatin1(name), Kind::Text});
            return columns;
        };
        const Column id{QStringLiteral("id"), Kind::Id};
        QList<Column> bill{id, {QStringLiteral("date"), Kind::Date}};
        bill += texts({"client", "link", "man1", "man2", "man3", "man4", "comment"});
        for (const char *total : {"price", "pi", "quantity"})
            bill.append({QString::fromLatin1(total), Kind::Total});
        QList<Column> line{id, {QStringLiteral("pid"), Kind::Parent}};
        line += texts({"artno", "product", "color"});
        for (int i = 1; i <= 10; ++i)
            line.append({QStringLiteral("col%1").arg(i), Kind::Number});
        for (const char *number : {"quantity", "price", "pi"})
            line.append({QString::fromLatin1(number), Kind::Number});
        QList<Column> artno{id};
        artno += texts({"artno", "product", "color"});
        artno.append({QStringLiteral("price"), Kind::Number});
        artno.append({QStringLiteral("query"), Kind::Text});
        return QList<QPair<QString, QList<Column>>>{
            {QStringLiteral("bill"), bill},
            {QStringLiteral("billsub"), line},
            {QStringLiteral("client"), QList<Column>{id} + texts({"client", "link", "query"})},
            {QStringLiteral("artno"), artno},
            {QStringLiteral("serv"), QList<Column>{id} + texts({"field", "value"})},
            {QStringLiteral("tblinfo"), {{QStringLiteral("password"), Kind::Password}}},
            {QStringLiteral("tblspell"), texts({"word", "spell"})},
        };
    }();
    return tables;
}

QStringList namesOf(const QList<Column> &columns)
{
    QStringList names;
    for (const Column &c : columns)
        names << c.name;
    return names;
}

// One table's rows turned into ours and inserted, with what the check needs.
class TableCopy
{
public:
    TableCopy(const QString &table, const QList<Column> &columns, QStringList *notes)
        : m_table(table)
        , m_columns(columns)
        , m_notes(notes)
    {
    }

    // The row as stored here; throws DbError for a value that has no place
    // in the column.
    QVariantList convert(const QVariantList &row) const
    {
        QVariantList values;
        values.reserve(row.size());
        for (int i = 0; i < row.size(); ++i)
            values << convert(m_columns.at(i), row.at(i), row.value(0));
        return values;
    }

private:
    QVariant convert(const Column &column, const QVariant &value, const QVariant &id) const
    {
        switch (column.kind) {
        case Kind::Id:
        case Kind::Parent:
            // A line without a bill is left out as an orphan, not refused.
            if (value.isNull() && column.kind == Kind::Parent)
                return value;
            if (value.isNull() || value.typeId() == QMetaType::QString)
                throw refusal(column, id, value);
            return value;
        case Kind::Text:
            return value.isNull() ? QString(QLatin1String("")) : value.toString();
        case Kind::Number:
        case Kind::Total: {
            if (value.isNull())
                return 0.0;
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (!ok || value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QDate)
                throw refusal(column, id, value);
            return column.kind == Kind::Total ? RoundTo4(number) : number;
        }
        case Kind::Date: {
            if (value.isNull())
                return QVariant(QMetaType::fromType<QDate>());
            const QDate date = value.toDate();
            if (value.typeId() != QMetaType::QDate)
                throw refusal(column, id, value);
            if (date.year() < 1900 || date.year() > 2100)
                m_notes->append(QStringLiteral("表 %1 id %2 的日期 %3 不在 1900–2100 年之间，已照原样复制，请核对")
                                    .arg(m_table, id.toString(), date.toString(Qt::ISODate)));
            return date;
        }
        case Kind::Password:
            // A Null password admits nobody, before and after the move.
            return value.isNull() ? QVariant(QMetaType::fromType<QString>()) : HashPassword(value.toString());
        }
        return value;
    }

    DbError refusal(const Column &column, const QVariant &id, const QVariant &value) const
    {
        return DbError(QStringLiteral("Access 数据库的表 %1 里 id %2 的列 %3 的值“%4”不能存入本程序，没有复制")
                           .arg(m_table, id.toString(), column.name, value.toString()));
    }

    QString m_table;
    QList<Column> m_columns;
    QStringList *m_notes;
};

} // namespace

BooksFigures FiguresOf(const QSqlDatabase &db)
{
    BooksFigures figures;
    for (const QString &table : Schema::tableNames())
        figures.rows.append({table, DirectValue(db, QStringLiteral("select count(*) from ") + table).toLongLong()});
    figures.billTotal = DirectValue(db, QStringLiteral("select coalesce(sum(price), 0) from bill")).toDouble();
    figures.lineTotal = DirectValue(db, QStringLiteral("select coalesce(sum(quantity*price), 0) from billsub")).toDouble();
    return figures;
}

void CheckAccessTables(const AccessFile &source)
{
    QStringList tables;
    for (const QString &t : source.tables())
        tables << t.toLower();
    for (const auto &[table, columns] : accessTables()) {
        if (!tables.contains(table))
            throw DbError(QStringLiteral("这不是本程序的 Access 数据库：缺少表 %1").arg(table));
        QStringList has;
        for (const QString &c : source.columns(table))
            has << c.toLower();
        for (const Column &column : columns) {
            if (!has.contains(column.name))
                throw DbError(QStringLiteral("这不是本程序的 Access 数据库：表 %1 缺少列 %2").arg(table, column.name));
        }
    }
}

BooksFigures CopyFromAccess(const AccessFile &source, const QSqlDatabase &target, QStringList *notes)
{
    RunDirect(target, QStringLiteral("delete from tblinfo"));
    QSet<QString> spelled;
    {
        QSqlQuery words = RunDirect(target, QStringLiteral("select word from tblspell"));
        while (words.next())
            spelled.insert(words.value(0).toString());
    }
    const qint64 ownSpell = spelled.size();

    BooksFigures figures;
    QSet<qint64> billIds;
    qint64 orphans = 0;
    for (const auto &[table, columns] : accessTables()) {
        const TableCopy copy(table, columns, notes);
        BatchInsert insert(target, table, namesOf(columns));
        qint64 rows = 0;
        source.read(table, namesOf(columns), [&](const QVariantList &row) {
            const QVariantList values = copy.convert(row);
            if (table == QLatin1String("bill")) {
                billIds.insert(values.at(0).toLongLong());
                figures.billTotal += values.at(columns.size() - 3).toDouble();
            } else if (table == QLatin1String("billsub")) {
                if (values.at(1).isNull() || !billIds.contains(values.at(1).toLongLong())) {
                    ++orphans;
                    return;
                }
                figures.lineTotal += values.at(columns.size() - 3).toDouble() * values.at(columns.size() - 2).toDouble();
            } else if (table == QLatin1String("tblspell")) {
                const QString word = values.at(0).toString();
                if (word.isEmpty() || spelled.contains(word))
                    return;
                spelled.insert(word);
            }
            insert.add(values);
            ++rows;
        });
        insert.finish();
        if (table == QLatin1String("tblspell")) {
            if (rows > 0)
                notes->append(QStringLiteral("tblspell：保留本程序的拼音码表，补上旧账本里有而这里没有的 %1 个字").arg(rows));
            rows += ownSpell;
        }
        figures.rows.append({table, rows});
    }
    if (orphans > 0)
        notes->append(QStringLiteral("billsub：%1 行明细所属的单据已不存在，没有复制").arg(orphans));
    return figures;
}
