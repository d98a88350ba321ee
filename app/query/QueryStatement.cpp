#include "QueryStatement.h"

#include "shared/base/TextRules.h"
#include "shared/data/NameLists.h"

#include <QStringList>

namespace {

// The value-list fields that belong to a bill line; the others (the staff)
// are columns of the bill.
constexpr int LineFieldCount = 2;

class ConditionList
{
public:
    void add(const QString &column, const char *op, const QVariant &value)
    {
        m_terms << column + QLatin1String(op) + QLatin1Char('?');
        m_values << value;
    }
    void addText(const QString &column, const QString &typed)
    {
        if (!typed.isEmpty())
            add(column, "=", CleanText(typed));
    }

    QString whereClause() const
    {
        return m_terms.isEmpty() ? QString() : QStringLiteral(" where ") + m_terms.join(QStringLiteral(" and "));
    }
    QVariantList values() const { return m_values; }

private:
    QStringList m_terms;
    QVariantList m_values;
};

} // namespace

QueryStatement BuildQuery(const QueryCriteria &criteria, QueryKind kind)
{
    const bool lines = kind == QueryKind::Lines;
    // The line query joins two tables; each column is named with its own.
    const QString bill = lines ? QStringLiteral("a.") : QString();
    const QString line = QStringLiteral("b.");

    ConditionList where;
    if (criteria.from.isValid())
        where.add(bill + QStringLiteral("date"), ">=", criteria.from.toString(Qt::ISODate));
    if (criteria.to.isValid())
        where.add(bill + QStringLiteral("date"), "<=", criteria.to.toString(Qt::ISODate));
    where.addText(bill + QStringLiteral("client"), criteria.client);

    const QStringList &fields = FieldNames();
    const bool hasField = criteria.field >= 0 && criteria.field < fields.size();
    const bool lineField = hasField && criteria.field < LineFieldCount;
    if (hasField && !lineField)
        where.addText(bill + fields.at(criteria.field), criteria.value);
    if (lines) {
        where.addText(line + QStringLiteral("artno"), criteria.artno);
        if (lineField)
            where.addText(line + fields.at(criteria.field), criteria.value);
    }

    QueryStatement statement;
    if (lines) {
        statement.sql = QStringLiteral(
            "select a.id, a.date, a.client, b.artno, b.product, b.color, b.pi, b.quantity, b.price,"
            " b.quantity*b.price from bill as a inner join billsub as b on a.id=b.pid")
            + where.whereClause() + QStringLiteral(" order by a.id, b.id");
    } else {
        statement.sql = QStringLiteral("select id, date, client, pi, quantity, price, comment from bill")
            + where.whereClause() + QStringLiteral(" order by id");
    }
    statement.values = where.values();
    return statement;
}
