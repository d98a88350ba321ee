#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>

class SqlStatement;

// The shared data-access procedures. All work on DbConnection(). Values are
// always bound to placeholders, never joined into the statement; table and
// column names come from the program itself and are checked to be plain
// identifiers. A database error throws DbError (see DbError.h): it ends the
// operation in progress, and the window's handler shows the engine's text.

// What LookupValue gives when the value found is Null.
enum NullMode { NullAsIs = 0, NullAsEmptyText = 1, NullAsZero = 2 };

// A condition with "?" placeholders and the values bound to them, in order:
// SqlCondition{QStringLiteral("pid=?"), {id}}.
struct SqlCondition
{
    QString text;
    QVariantList values;

    bool isEmpty() const { return text.isEmpty(); }
};

// Prepares, binds and runs one statement forward-only; throws DbError. A
// value that is not a finite number (inf, nan) is refused with DbError
// before the engine sees it.
QSqlQuery ExecSql(const QString &sql, const QVariantList &values = QVariantList());

// The first column of the first row of "select expression from table [where
// condition]". No row gives an invalid QVariant, which reads as "" and as 0;
// a Null value is kept (valid and isNull()) with NullAsIs, or becomes "" or 0.
QVariant LookupValue(const QString &expression, const QString &table,
                     const SqlCondition &condition = SqlCondition(), NullMode mode = NullAsIs);

bool IdExists(const QString &table, qint32 id);
bool RowExists(const QString &table, const SqlCondition &condition);
void DeleteById(const QString &table, qint32 id);

// The columns of one record to store, by name, in the order written.
using RecordValues = QList<QPair<QString, QVariant>>;

// Stores one record: updates the row with this id when it exists, otherwise
// adds a new row. Returns the row's id (for a new row, the one the database
// assigned).
//
// The one rule for text columns, for every window that stores (the bill store
// too): empty text is stored as "", never Null, so a lookup of "" finds it.
// A QString value, null or not, is stored as text. Only a value given as Null
// on purpose (QVariant() or QVariant(QMetaType::fromType<QString>())) stays
// Null: a bill without a date.
qint32 StoreRecord(const QString &table, qint32 id, const RecordValues &values);

// StoreRecord for many records of one table, each with the same columns in
// the same order (a bill's lines): each statement is prepared once.
class RecordStore
{
public:
    explicit RecordStore(const QString &table);
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    qint32 store(qint32 id, const RecordValues &values);

private:
    void checkColumns(const RecordValues &values);
    static SqlStatement &statement(std::unique_ptr<SqlStatement> &slot, const QString &sql);

    QString m_table;
    QStringList m_columns;
    std::unique_ptr<SqlStatement> m_exists;
    std::unique_ptr<SqlStatement> m_update;
    std::unique_ptr<SqlStatement> m_insert;
};

// Recomputes the stored totals of bill id (table "bill") from its lines in
// table + "sub": amount sum(quantity*price), pieces and weight, each 0 when
// the bill has no line, rounded to four decimals.
void UpdateBillTotals(const QString &table, qint32 id);

// A stored total: rounded to four decimals, half away from zero.
double RoundTo4(double value);

// The values of a value list, ordered.
QStringList ServValues(const QString &field);

// The values of a value list joined by "|" (empty text when there are none).
QString ServValueList(const QString &field);

// Id and name of every row of a table whose name column is named like the
// table (client.client), ordered by name.
QList<QPair<QString, qint32>> IdNameRows(const QString &table);

// Begins a transaction on DbConnection; rolls it back on destruction unless
// commit() was called. Throws DbError when the engine refuses.
class DbTransaction
{
public:
    DbTransaction();
    ~DbTransaction();
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

    void commit();

private:
    bool m_open = false;
};
