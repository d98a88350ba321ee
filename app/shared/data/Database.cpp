#include "Database.h"

#include "shared/base/AppPaths.h"
#include "schema/Schema.h"
#include "DbError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

const QString ConnectionName = QStringLiteral("DbConnection");
quint64 generation = 0;
// Long enough to ride out another program's short write, short enough that a
// user waiting on a lock hears about it.
constexpr int BusyTimeoutMs = 5000;

void exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw DbError(query.lastError(), sql);
}

QStringList columnsOf(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    const QString sql = QStringLiteral("pragma table_info(%1)").arg(table);
    if (!query.exec(sql))
        throw DbError(query.lastError(), sql);
    QStringList columns;
    while (query.next())
        columns << query.value(1).toString().toLower();
    return columns;
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
                exec(reference, sql);
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
void checkSchema(QSqlDatabase &db, const QString &path)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("select name from sqlite_master where type='table'");
    if (!query.exec(sql))
        throw DbError(EngineText(query.lastError()) + QLatin1Char('\n') + path);
    QStringList present;
    while (query.next())
        present << query.value(0).toString().toLower();

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
        throw DbError(QStringLiteral("数据库缺少表：%1\n%2").arg(missingTables.join(QStringLiteral(", ")), path));
    if (!missingColumns.isEmpty())
        throw DbError(QStringLiteral("数据库缺少列：%1\n%2").arg(missingColumns.join(QStringLiteral(", ")), path));
}

void applyPragmas(QSqlDatabase &db)
{
    exec(db, QStringLiteral("pragma foreign_keys=on"));
    exec(db, QStringLiteral("pragma journal_mode=wal"));
    exec(db, QStringLiteral("pragma synchronous=full"));
}

void createTables(QSqlDatabase &db)
{
    if (!db.transaction())
        throw DbError(db.lastError());
    for (const QString &sql : Schema::createStatements())
        exec(db, sql);

    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("insert into tblspell (word, spell) values (?, ?)"));
    QVariantList words;
    QVariantList spells;
    for (const auto &[word, spell] : DefaultSpellTable()) {
        words << word;
        spells << spell;
    }
    insert.addBindValue(words);
    insert.addBindValue(spells);
    if (!insert.execBatch())
        throw DbError(insert.lastError());

    exec(db, QStringLiteral("insert into tblinfo (password) values ('')"));
    exec(db, QStringLiteral("pragma user_version=%1").arg(Schema::Version));
    if (!db.commit())
        throw DbError(db.lastError());
}

} // namespace

QSqlDatabase DbConnection()
{
    return QSqlDatabase::database(ConnectionName, false);
}

void ConnectDatabase()
{
    ConnectDatabaseAt(DatabasePath());
}

void ConnectDatabaseAt(const QString &path)
{
    CloseDatabase();
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

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        const DbError error(EngineText(db.lastError()) + QLatin1Char('\n') + path);
        db = QSqlDatabase();
        CloseDatabase();
        throw error;
    }

    try {
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
                exec(db, sql);
        }
    } catch (const DbError &) {
        db.close();
        db = QSqlDatabase();
        CloseDatabase();
        if (isNew) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
        }
        throw;
    }
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
