#pragma once

#include "OVRecordSource.h"

#include <memory>
#include <optional>

class QSqlQuery;
class RowBuilder;

// The records of one load, read field by field into grid rows.
class RecordReader
{
public:
    virtual ~RecordReader();

    virtual int fieldCount() const = 0;
    // Called once before the first record is read; a reader that is never
    // begun leaves its source as it was.
    virtual void begin() {}
    // Called before each later part of a load that is read in parts: a
    // reader whose records went away meanwhile ends there, interrupted.
    virtual void resume() {}
    virtual bool atEnd() const = 0;
    virtual void moveNext() = 0;
    // The field's value as the text QVariant::toString() gives (Null: none).
    virtual void appendText(int field, RowBuilder &row) const = 0;
    // The field's value when it is stored as a floating-point number.
    virtual std::optional<double> real(int field) const
    {
        Q_UNUSED(field)
        return std::nullopt;
    }
    // The field's value as QVariant::toInt() reads it.
    virtual qint32 id(int field) const = 0;
    // Whether the reading stopped before the end of the records (the
    // connection went away, or the database failed).
    virtual bool interrupted() const { return false; }
    // Whether the records may still be read after the call that handed the
    // source over returned: the reader keeps what it reads from alive.
    virtual bool readsLater() const { return false; }

    static std::unique_ptr<RecordReader> create(OVRecordSource &source);
    // An executed query; for SQLite the statement is read directly, which
    // is several times faster than stepping the query and gives the same
    // texts, and can be read later (the reader shares the query's result).
    // The query is finished afterwards.
    static std::unique_ptr<RecordReader> create(QSqlQuery &query);
};
