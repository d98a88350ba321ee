#include "NameLists.h"

namespace {

struct NameTables
{
    QStringList fieldNames;
    QStringList fieldCaptions;
    QStringList tableNames;
    QStringList tableCaptions;
};

NameTables &tables()
{
    static NameTables instance;
    return instance;
}

QString entryAt(const QStringList &list, int index)
{
    return index < list.size() ? list.at(index) : QString();
}

} // namespace

void InitNameLists()
{
    const auto split = [](const QString &text) { return text.split(QLatin1Char(',')); };
    NameTables &t = tables();
    t.fieldNames = split(QStringLiteral("product,color,man1,man2,man3,man4"));
    t.fieldCaptions = split(QStringLiteral("品名,色号,制单人,业务员,收款人,送货人"));
    t.tableNames = split(QStringLiteral("bill"));
    t.tableCaptions = split(QStringLiteral("Tovik"));
}

const QStringList &FieldNames() { return tables().fieldNames; }
const QStringList &FieldCaptions() { return tables().fieldCaptions; }
const QStringList &TableNames() { return tables().tableNames; }
const QStringList &TableCaptions() { return tables().tableCaptions; }

int TableIndexOf(const QString &name)
{
    const QString lower = name.toLower();
    const QStringList &names = TableNames();
    for (int i = 0; i < names.size(); ++i) {
        if (lower.contains(names.at(i)))
            return i;
    }
    return 0;
}

QString TableNameOf(const QString &name)
{
    return entryAt(TableNames(), TableIndexOf(name));
}

QString TableCaptionOf(const QString &name)
{
    return entryAt(TableCaptions(), TableIndexOf(name));
}
