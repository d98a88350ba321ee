#include "ListKeys.h"

#include "Database.h"
#include "DbError.h"
#include "SqlStatement.h"
#include "TextOrder.h"

#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

#include <array>
#include <memory>

namespace {

struct KeyedList
{
    QLatin1String table;
    QStringList columns;
};

const std::array<KeyedList, 2> &keyedLists()
{
    static const std::array<KeyedList, 2> lists{{
        {QLatin1String("artno"), {QStringLiteral("artno"), QStringLiteral("product"), QStringLiteral("color")}},
        {QLatin1String("client"), {QStringLiteral("client")}},
    }};
    return lists;
}

const KeyedList &listOf(const QString &table)
{
    for (const KeyedList &list : keyedLists()) {
        if (list.table == table)
            return list;
    }
    qFatal("no list order for table %s", qPrintable(table));
}

const QLatin1String KeyColumn("listkey");
const char KeyFunction[] = "tovik_list_key";

// list_key(text, …): the row's sort key; Null counts as "".
void listKey(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const auto *maker = static_cast<const TextSortKey *>(sqlite3_user_data(context));
    QByteArray key = maker->start();
    for (int i = 0; i < argc; ++i) {
        const auto *chars = static_cast<const QChar *>(sqlite3_value_text16(argv[i]));
        maker->append(key, QStringView(chars, sqlite3_value_bytes16(argv[i]) / 2));
    }
    sqlite3_result_blob(context, key.constData(), int(key.size()), SQLITE_TRANSIENT);
}

void deleteKeyMaker(void *maker)
{
    delete static_cast<TextSortKey *>(maker);
}

// The function on this connection; returns its key's version.
QByteArray registerKeyFunction(const QSqlDatabase &db)
{
    auto maker = std::make_unique<TextSortKey>();
    if (!maker->isValid())
        throw DbError(QStringLiteral("系统缺少中文排序规则（ICU），无法按拼音排列列表"));
    const QByteArray version = maker->version();
    const int rc = sqlite3_create_function_v2(SqliteHandle(db), KeyFunction, -1, SQLITE_UTF16 | SQLITE_DETERMINISTIC,
                                              maker.get(), listKey, nullptr, nullptr, deleteKeyMaker);
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("无法为数据库注册中文排序：%1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
    maker.release();
    return version;
}

bool hasColumn(const QSqlDatabase &db, const QString &table, const QString &column)
{
    return DirectValue(db, QStringLiteral("select 1 from pragma_table_info('%1') where name='%2'").arg(table, column))
        .isValid();
}

void keepKeys(const QSqlDatabase &db, const KeyedList &list, const QByteArray &version)
{
    const QString table = list.table;
    const QString keyOf = QLatin1String(KeyFunction) + QLatin1Char('(')
        + QStringLiteral("new.") + list.columns.join(QStringLiteral(", new.")) + QLatin1Char(')');
    if (!hasColumn(db, table, KeyColumn))
        RunDirect(db, QStringLiteral("alter table %1 add column %2 blob").arg(table, KeyColumn));
    RunDirect(db, QStringLiteral("create index if not exists %1_%2 on %1(%2)").arg(table, KeyColumn));
    const QString setKey = QStringLiteral(" begin update %1 set %2 = %3 where rowid = new.rowid; end")
                               .arg(table, KeyColumn, keyOf);
    RunDirect(db, QStringLiteral("create temp trigger if not exists %1_%2_insert after insert on main.%1")
                      .arg(table, KeyColumn) + setKey);
    RunDirect(db, QStringLiteral("create temp trigger if not exists %1_%2_update after update of %3 on main.%1")
                      .arg(table, KeyColumn, list.columns.join(QStringLiteral(", "))) + setKey);

    // Rows another program wrote have no key; keys another ICU made may
    // order differently, and then every key is made again.
    const QVariant sample = DirectValue(db, QStringLiteral("select %2 from %1 where %2 is not null limit 1")
                                                .arg(table, KeyColumn));
    const bool current = !sample.isValid() || sample.toByteArray().startsWith(version);
    const QString allKeys = QStringLiteral("update %1 set %2 = %3(%4)")
                                .arg(table, KeyColumn, QLatin1String(KeyFunction), list.columns.join(QStringLiteral(", ")));
    RunDirect(db, current ? allKeys + QStringLiteral(" where %1 is null").arg(KeyColumn) : allKeys);
}

} // namespace

QString ListOrderBy(const QSqlDatabase &db, const QString &table)
{
    const KeyedList &list = listOf(table);
    return IsServerDatabase(db) ? TextOrderBy(db, list.columns) : QString(KeyColumn);
}

QString ListOrderBy(const QString &table)
{
    return ListOrderBy(DbConnection(), table);
}

void PrepareListKeys(QSqlDatabase &db)
{
    const QByteArray version = registerKeyFunction(db);
    for (const KeyedList &list : keyedLists())
        keepKeys(db, list, version);
}
