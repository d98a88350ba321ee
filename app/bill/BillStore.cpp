#include "BillStore.h"

#include "BillColumns.h"

#include "shared/data/DataAccess.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString BillTable = QStringLiteral("bill");
const QString LineTable = QStringLiteral("billsub");

QVariant dateValue(const QDate &date)
{
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant(QMetaType::fromType<QString>());
}

RecordValues headerValues(const BillHeader &h)
{
    return {{QStringLiteral("client"), h.client},   {QStringLiteral("link"), h.link},
            {QStringLiteral("date"), dateValue(h.date)},
            {QStringLiteral("man1"), h.man[0]},      {QStringLiteral("man2"), h.man[1]},
            {QStringLiteral("man3"), h.man[2]},      {QStringLiteral("man4"), h.man[3]},
            {QStringLiteral("comment"), h.comment}};
}

RecordValues lineValues(qint32 billId, const BillLine &line)
{
    RecordValues values{{QStringLiteral("pid"), billId},
                        {QStringLiteral("artno"), line.artno},
                        {QStringLiteral("product"), line.product},
                        {QStringLiteral("color"), line.color}};
    static const QStringList pieceColumns = [] {
        QStringList names;
        for (int i = 1; i <= 10; ++i)
            names << QStringLiteral("col%1").arg(i);
        return names;
    }();
    for (int i = 0; i < int(line.pieces.size()); ++i)
        values.append({pieceColumns.at(i), line.pieces[i]});
    values.append({QStringLiteral("quantity"), line.quantity});
    values.append({QStringLiteral("price"), line.price});
    values.append({QStringLiteral("pi"), line.pi});
    return values;
}

// Takes the bill's row for this transaction before anything is read, so that
// a save or a line deletion at another desk waits for this one to end
// instead of summing lines that are about to change; false when the bill is
// gone. On SQLite it makes the transaction the writer from its first step.
bool lockBill(qint32 id)
{
    return ExecSql(QStringLiteral("update bill set id=id where id=?"), {id}).numRowsAffected() > 0;
}

} // namespace

BillDeleted::BillDeleted()
    : DbError(QStringLiteral("本单已删除！"))
{
}

bool BillStore::exists(qint32 id)
{
    return IdExists(BillTable, id);
}

BillHeader BillStore::loadHeader(qint32 id)
{
    QSqlQuery q = ExecSql(QStringLiteral("select id, client, link, date, man1, man2, man3, man4, "
                                         "comment from bill where id=?"),
                          {id});
    BillHeader h;
    if (!q.next())
        return h;
    h.id = q.value(0).toInt();
    h.client = q.value(1).toString();
    h.link = q.value(2).toString();
    h.date = QDate::fromString(q.value(3).toString().left(10), Qt::ISODate);
    for (int i = 0; i < 4; ++i)
        h.man[i] = q.value(4 + i).toString();
    h.comment = q.value(8).toString();
    return h;
}

std::optional<ArticleDefaults> BillStore::article(const QString &artno)
{
    QSqlQuery q = ExecSql(QStringLiteral("select product, color, price from artno where artno=?"), {artno});
    if (!q.next())
        return std::nullopt;
    return ArticleDefaults{q.value(0).toString(), q.value(1).toString(), q.value(2).toDouble()};
}

namespace {

// What the line grid's column col is read from. The grid fills its columns
// from LineId on in the order of the statement's fields.
QString lineSource(int col)
{
    switch (col) {
    case BillCol::LineId: return QStringLiteral("id");
    case BillCol::Artno: return QStringLiteral("artno");
    case BillCol::Product: return QStringLiteral("product");
    case BillCol::Color: return QStringLiteral("color");
    case BillCol::Kg: return QStringLiteral("quantity");
    case BillCol::Price: return QStringLiteral("price");
    case BillCol::Amount: return QStringLiteral("quantity*price");
    case BillCol::Pieces: return QStringLiteral("pi");
    default: return QStringLiteral("col%1").arg(col - BillCol::Piece1 + 1);
    }
}

} // namespace

QString BillStore::lineQuery()
{
    QStringList fields;
    for (int col = BillCol::LineId; col < BillCol::Count; ++col)
        fields << lineSource(col);
    return QStringLiteral("select ") + fields.join(QStringLiteral(", "))
        + QStringLiteral(" from billsub where pid=? order by id");
}

SavedBill BillStore::save(const BillHeader &header, const QList<BillLine> &lines)
{
    DbTransaction transaction;
    if (header.id != 0 && !lockBill(header.id))
        throw BillDeleted();
    SavedBill saved;
    saved.id = StoreRecord(BillTable, header.id, headerValues(header));
    saved.lineIds.reserve(lines.size());
    RecordStore lineStore(LineTable);
    for (const BillLine &line : lines)
        saved.lineIds.append({line.row, lineStore.store(line.id, lineValues(saved.id, line))});
    UpdateBillTotals(BillTable, saved.id);
    transaction.commit();
    return saved;
}

void BillStore::deleteLine(qint32 billId, qint32 lineId)
{
    DbTransaction transaction;
    lockBill(billId);
    DeleteById(LineTable, lineId);
    UpdateBillTotals(BillTable, billId);
    transaction.commit();
}

void BillStore::deleteBill(qint32 id)
{
    DeleteById(BillTable, id);
}
