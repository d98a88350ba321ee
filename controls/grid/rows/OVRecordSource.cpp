#include "OVRecordSource.h"

#include <QSqlQuery>
#include <QSqlRecord>

OVRecordSource::~OVRecordSource() = default;

OVSqlRecordSource::OVSqlRecordSource(QSqlQuery &query)
    : m_query(query)
{
    m_fieldCount = query.record().count();
    // A query fresh from exec() stands before its first record.
    m_atEnd = query.isValid() ? false : !query.next();
}

int OVSqlRecordSource::fieldCount() const
{
    return m_fieldCount;
}

QVariant OVSqlRecordSource::value(int field) const
{
    return m_query.value(field);
}

bool OVSqlRecordSource::atEnd() const
{
    return m_atEnd;
}

void OVSqlRecordSource::moveNext()
{
    m_atEnd = !m_query.next();
}
