#include "RecordReader.h"

#include "RowBuilder.h"

#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

namespace {

Q_LOGGING_CATEGORY(lcRecords, "tovik.grid.records")

class SourceReader : public RecordReader
{
public:
    explicit SourceReader(OVRecordSource &source) : m_source(source) {}

    int fieldCount() const override { return m_source.fieldCount(); }
    bool atEnd() const override { return m_source.atEnd(); }
    void moveNext() override { m_source.moveNext(); }
    void appendText(int field, RowBuilder &row) const override { row.appendValue(m_source.value(field)); }
    qint32 id(int field) const override { return m_source.value(field).toInt(); }

private:
    OVRecordSource &m_source;
};

// Owns the record source it reads.
class QueryReader : public SourceReader
{
public:
    explicit QueryReader(std::unique_ptr<OVSqlRecordSource> source)
        : SourceReader(*source), m_owned(std::move(source)) {}

private:
    std::unique_ptr<OVSqlRecordSource> m_owned;
};

sqlite3_stmt *statementHandle(const QSqlQuery &query)
{
    if (!query.result())
        return nullptr;
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(handle.constData());
}

// Reads a forward-only SQLite query through its statement. Qt's driver
// leaves the statement on the query's current record, so that record comes
// through the query and every later one straight from the statement. The
// reader holds a copy of the query, which shares its result: the statement
// stays alive when the caller's query is gone.
class SqliteReader : public RecordReader
{
public:
    SqliteReader(const QSqlQuery &query, sqlite3_stmt *statement)
        : m_query(shared(query)), m_statement(statement), m_fields(query.record().count())
    {
    }

    ~SqliteReader() override
    {
        // The statement has moved on behind the query's back: end the query
        // so that it cannot hand out stale records.
        if (m_begun)
            m_query.finish();
    }

    int fieldCount() const override { return m_fields; }

    void begin() override
    {
        m_begun = true;
        m_onQueryRecord = m_query.isValid() || m_query.next();
        m_atEnd = !m_onQueryRecord;
    }
    bool atEnd() const override { return m_atEnd; }

    void resume() override
    {
        // Closing the connection finalizes the statement, and finishing the
        // query resets it: neither may be read again.
        if (!m_atEnd && (!m_query.isActive() || statementHandle(m_query) != m_statement)) {
            qCWarning(lcRecords, "reading the records stopped: the query was closed");
            m_atEnd = m_interrupted = true;
        }
    }

    void moveNext() override
    {
        m_onQueryRecord = false;
        const int rc = sqlite3_step(m_statement);
        m_atEnd = rc != SQLITE_ROW;
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            m_interrupted = true;
            qCWarning(lcRecords, "reading the records stopped: %s",
                      sqlite3_errmsg(sqlite3_db_handle(m_statement)));
        }
    }
    bool interrupted() const override { return m_interrupted; }
    bool readsLater() const override { return true; }

    void appendText(int field, RowBuilder &row) const override
    {
        if (m_onQueryRecord) {
            row.appendValue(m_query.value(field));
            return;
        }
        // One call per field into the statement (each takes the database
        // mutex); the value is then read directly. Only this thread uses the
        // connection, which is what reading such a value needs.
        sqlite3_value *value = sqlite3_column_value(m_statement, field);
        switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            row.appendNumber(qint64(sqlite3_value_int64(value)));
            break;
        case SQLITE_FLOAT:
            row.appendNumber(sqlite3_value_double(value));
            break;
        case SQLITE_NULL:
            break;
        case SQLITE_BLOB: // read as UTF-8 text, as QVariant does
            row.appendUtf8(static_cast<const char *>(sqlite3_value_blob(value)), sqlite3_value_bytes(value));
            break;
        default: {
            // Qt takes text as SQLite's UTF-16, which replaces ill-formed
            // bytes its own way: such text is taken the same way.
            const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
            if (!row.appendWellFormedUtf8(text, sqlite3_value_bytes(value))) {
                const auto *utf16 = static_cast<const QChar *>(sqlite3_column_text16(m_statement, field));
                row.append(QStringView(utf16, sqlite3_column_bytes16(m_statement, field) / qsizetype(sizeof(QChar))));
            }
            break;
        }
        }
    }

    std::optional<double> real(int field) const override
    {
        if (m_onQueryRecord || sqlite3_column_type(m_statement, field) != SQLITE_FLOAT)
            return std::nullopt;
        return sqlite3_column_double(m_statement, field);
    }

    qint32 id(int field) const override
    {
        if (m_onQueryRecord)
            return m_query.value(field).toInt();
        switch (sqlite3_column_type(m_statement, field)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(m_statement, field))).toInt();
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_statement, field)).toInt();
        case SQLITE_NULL:
            return 0;
        default:
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, field)),
                                     sqlite3_column_bytes(m_statement, field)).toInt();
        }
    }

private:
    // Copying a query is deprecated as a way to pass one around; sharing
    // its result is exactly what is wanted here. A caller that runs another
    // statement on its query gets a fresh result (exec() does not touch a
    // shared one), so the copy keeps reading its own.
    static QSqlQuery shared(const QSqlQuery &query)
    {
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        return QSqlQuery(query);
        QT_WARNING_POP
    }

    QSqlQuery m_query;
    sqlite3_stmt *m_statement;
    int m_fields;
    bool m_begun = false;
    bool m_interrupted = false;
    bool m_onQueryRecord = false;
    bool m_atEnd = true;
};

// The query's SQLite statement when it can be read directly: an active,
// forward-only select whose numbers come as doubles (the default).
sqlite3_stmt *sqliteStatement(const QSqlQuery &query)
{
    if (!query.isActive() || !query.isSelect() || !query.isForwardOnly()
        || query.numericalPrecisionPolicy() != QSql::LowPrecisionDouble)
        return nullptr;
    return statementHandle(query);
}

} // namespace

RecordReader::~RecordReader() = default;

std::unique_ptr<RecordReader> RecordReader::create(OVRecordSource &source)
{
    return std::make_unique<SourceReader>(source);
}

std::unique_ptr<RecordReader> RecordReader::create(QSqlQuery &query)
{
    if (sqlite3_stmt *statement = sqliteStatement(query))
        return std::make_unique<SqliteReader>(query, statement);
    return std::make_unique<QueryReader>(std::make_unique<OVSqlRecordSource>(query));
}
