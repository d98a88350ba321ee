#include "Database.h"

#include "shared/base/AppPaths.h"
#include "schema/Schema.h"
#include "DbError.h"
#include "ListKeys.h"
#include "SqlStatement.h"
#include "ServerAddress.h"
#include "TextOrder.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <algorithm>

#include <sqlite3.h>

namespace {

const QString ConnectionName = QStringLiteral("DbConnection");
quint64 generation = 0;
// Long enough to ride out another program's short write, short enough that a
// user waiting on a lock hears about it.
constexpr int BusyTimeoutMs = 5000;

bool isServer(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

QStringList readColumn(QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    SqlStatement statement(db, sql);
    QSqlQuery &query = statement.run(values);
    QStringList column;
    while (query.next())
        column << query.value(0).toString().toLower();
    return column;
}

QStringList columnsOf(QSqlDatabase &db, const QString &table)
{
    if (isServer(db)) {
        return readColumn(db, QStringLiteral("select column_name from information_schema.columns"
                                             " where table_schema=current_schema() and table_name=?"),
                          {table});
    }
    QSqlQuery query = RunDirect(db, QStringLiteral("pragma table_info(%1)").arg(table));
    QStringList columns;
    while (query.next())
        columns << query.value(1).toString().toLower();
    return columns;
}

QStringList tablesOf(QSqlDatabase &db)
{
    if (isServer(db)) {
        return readColumn(db, QStringLiteral("select table_name from information_schema.tables"
                                             " where table_schema=current_schema()"));
    }
    return readColumn(db, QStringLiteral("select name from sqlite_master where type='table'"));
}

// How many of the program's tables the database has: none means a new,
// empty database that may be set up.
int ownTableCount(QSqlDatabase &db)
{
    const QStringList present = tablesOf(db);
    int count = 0;
    for (const QString &table : Schema::tableNames())
        count += present.contains(table) ? 1 : 0;
    return count;
}

// Table → columns of a new database, read from the schema built in memory, so
// the check below can never drift from what createTables() makes.
QHash<QString, QStringList> schemaColumns()
{
    const QString name = QStringLiteral("SchemaReference");
    QHash<QString, QStringList> columns;
    {
        QSqlDatabase reference = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        reference.setDatabaseName(QStringLiteral(":memory:"));
        try {
            if (!reference.open())
                throw DbError(reference.lastError());
            for (const QString &sql : Schema::createStatements())
                RunDirect(reference, sql);
            for (const QString &table : Schema::tableNames())
                columns.insert(table, columnsOf(reference, table));
        } catch (const DbError &) {
            reference.close();
            reference = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        reference.close();
    }
    QSqlDatabase::removeDatabase(name);
    return columns;
}

// Only reads: a file that lacks a table or a column the program uses is
// refused before anything (a pragma included) writes to it.
void checkSchema(QSqlDatabase &db, const QString &place)
{
    QStringList present;
    try {
        present = tablesOf(db);
    } catch (const DbError &error) {
        throw DbError(error.text() + QLatin1Char('\n') + place);
    }

    const QHash<QString, QStringList> expected = schemaColumns();
    QStringList missingTables;
    QStringList missingColumns;
    for (const QString &table : Schema::tableNames()) {
        if (!present.contains(table)) {
            missingTables << table;
            continue;
        }
        const QStringList has = columnsOf(db, table);
        for (const QString &column : expected.value(table)) {
            if (!has.contains(column))
                missingColumns << table + QLatin1Char('.') + column;
        }
    }
    if (!missingTables.isEmpty())
        throw DbError(QStringLiteral("数据库缺少表：%1\n%2").arg(missingTables.join(QStringLiteral(", ")), place));
    if (!missingColumns.isEmpty())
        throw DbError(QStringLiteral("数据库缺少列：%1\n%2").arg(missingColumns.join(QStringLiteral(", ")), place));
}

void applyPragmas(QSqlDatabase &db)
{
    RunDirect(db, QStringLiteral("pragma foreign_keys=on"));
    RunDirect(db, QStringLiteral("pragma journal_mode=wal"));
    RunDirect(db, QStringLiteral("pragma synchronous=full"));
}

// 41,000 pairs, in groups of rows per statement.
void insertSpellTable(QSqlDatabase &db)
{
    BatchInsert insert(db, QStringLiteral("tblspell"), {QStringLiteral("word"), QStringLiteral("spell")});
    for (const auto &[word, spell] : DefaultSpellTable())
        insert.add({word, spell});
    insert.finish();
}

// Everything in one transaction: a failure leaves the database as empty as
// it was (the server's DDL is transactional too).
void createTables(QSqlDatabase &db)
{
    const bool server = isServer(db);
    if (!db.transaction())
        throw DbError(db.lastError());
    try {
        for (const QString &sql : Schema::createStatements(server ? Schema::Engine::Postgres : Schema::Engine::Sqlite))
            RunDirect(db, sql);
        insertSpellTable(db);
        RunDirect(db, QStringLiteral("insert into tblinfo (password) values ('')"));
        if (!server)
            RunDirect(db, QStringLiteral("pragma user_version=%1").arg(Schema::Version));
        if (!db.commit())
            throw DbError(db.lastError());
    } catch (const DbError &) {
        db.rollback();
        throw;
    }
}

void discard(QSqlDatabase &db, const QString &name)
{
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

QSqlDatabase openFile(const QString &name, const QString &path)
{
    const QFileInfo info(path);
    const bool isNew = !info.exists();
    if (!isNew) {
        if (!info.isFile() || !info.isReadable())
            throw DbError(QStringLiteral("无法读取数据库文件：%1").arg(path));
        // Opening read-only would only fail later, at the first save, and lose
        // what the user typed.
        if (!info.isWritable())
            throw DbError(QStringLiteral("数据库文件是只读的：%1").arg(path));
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        const DbError error(EngineText(db.lastError()) + QLatin1Char('\n') + path);
        discard(db, name);
        throw error;
    }

    try {
        if (!RegisterTextCollation(db))
            throw DbError(QStringLiteral("无法为数据库注册中文排序：%1").arg(path));
        if (isNew) {
            createTables(db);
        } else {
            // Look before writing anything: a file that is not ours stays as it is.
            checkSchema(db, path);
        }
        applyPragmas(db);
        // Indexes added since the file was made; the first open after an
        // update builds them once.
        if (!isNew) {
            for (const QString &sql : Schema::indexStatements())
                RunDirect(db, sql);
        }
        PrepareListKeys(db);
    } catch (const DbError &) {
        discard(db, name);
        if (isNew) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
        }
        throw;
    }
    return db;
}

QSqlDatabase openServer(const QString &name, const QString &uri)
{
    QString why;
    const ServerAddress address = ServerAddress::parse(uri, &why);
    if (!why.isEmpty())
        throw DbError(why);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw DbError(QStringLiteral("缺少 PostgreSQL 驱动（libqt6sql6-psql），无法连接：%1").arg(uri));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    address.applyTo(db);
    if (!db.open()) {
        const DbError error(EngineText(db.lastError()) + QLatin1Char('\n') + uri);
        discard(db, name);
        throw error;
    }
    try {
        // A database that has none of the tables is new and gets them all;
        // one that has some is checked and never altered. Its indexes came
        // with it: a desk's role need not own the tables to work in them.
        if (ownTableCount(db) == 0)
            createTables(db);
        else
            checkSchema(db, uri);
    } catch (const DbError &) {
        discard(db, name);
        throw;
    }
    return db;
}

} // namespace

QSqlDatabase OpenDatabase(const QString &connectionName, const QString &location)
{
    return ServerAddress::isUri(location) ? openServer(connectionName, location)
                                          : openFile(connectionName, location);
}

sqlite3 *SqliteHandle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool IsServerDatabase(const QSqlDatabase &db)
{
    return isServer(db);
}

QString DatabaseLocation()
{
    // Unreadable settings may name a shared server: the local file is not
    // opened in its place, where bills would go into the wrong books.
    QString error;
    const QString server = ReadSetting(QStringLiteral("database"), QString(), &error).trimmed();
    if (!error.isEmpty())
        throw DbError(error);
    return server.isEmpty() ? DatabasePath() : server;
}

QSqlDatabase DbConnection()
{
    return QSqlDatabase::database(ConnectionName, false);
}

void ConnectDatabase()
{
    ConnectDatabaseAt(DatabaseLocation());
}

void ConnectDatabaseAt(const QString &location)
{
    CloseDatabase();
    OpenDatabase(ConnectionName, location);
}

quint64 ConnectionGeneration()
{
    return generation;
}

void CloseDatabase()
{
    ++generation;
    if (!QSqlDatabase::contains(ConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(ConnectionName);
}

QList<QPair<QString, QString>> DefaultSpellTable()
{
    QList<QPair<QString, QString>> table;
    QFile file(QStringLiteral(":/tovik/tblspell.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            table.append({line.left(tab), line.mid(tab + 1)});
    }
    return table;
}
