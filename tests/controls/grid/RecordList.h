#pragma once

// Records held in memory, field values by position: what a test hands to
// OVGrid::BindRst instead of a database query.

#include "OVRecordSource.h"

#include <QList>
#include <QVariant>

class RecordList : public OVRecordSource
{
public:
    RecordList(int fields, QList<QVariantList> records)
        : m_fields(fields), m_records(std::move(records)) {}
    int fieldCount() const override { return m_fields; }
    QVariant value(int field) const override { return m_records.at(m_pos).value(field); }
    bool atEnd() const override { return m_pos >= m_records.size(); }
    void moveNext() override { ++m_pos; }

private:
    int m_fields;
    QList<QVariantList> m_records;
    int m_pos = 0;
};
