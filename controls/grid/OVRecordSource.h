#pragma once

#include "ovgrid_export.h"

#include <QVariant>

class QSqlQuery;

// The rows OVGrid::BindRst reads: a forward-only sequence of records with a
// fixed number of fields. The grid reads it to its end during the call and
// keeps no reference to it.
class OVGRID_EXPORT OVRecordSource
{
public:
    virtual ~OVRecordSource();

    virtual int fieldCount() const = 0;
    // The value of field (0-based) of the current record; a null QVariant for Null.
    virtual QVariant value(int field) const = 0;
    virtual bool atEnd() const = 0;
    virtual void moveNext() = 0;
};

// An executed, forward-only QSqlQuery as a record source. The query is
// positioned on its first record on construction.
class OVGRID_EXPORT OVSqlRecordSource : public OVRecordSource
{
public:
    explicit OVSqlRecordSource(QSqlQuery &query);

    int fieldCount() const override;
    QVariant value(int field) const override;
    bool atEnd() const override;
    void moveNext() override;

private:
    QSqlQuery &m_query;
    int m_fieldCount = 0;
    bool m_atEnd = true;
};
