// Saves, edits and deletes bills through BillStore in an endless loop until
// it is killed: the workload of tst_billcrash.
//
// Usage: billsave_child <database file or server URI> <seed>
// Prints "ready" once the database is open, then one "." per finished
// operation. A bill's comment records its line count: "n:<count>" for bills
// whose lines are only added or changed, "d:<count at creation>" for bills
// whose lines are also deleted one by one.

#include "bill/BillStore.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>

#include <cstdio>

namespace {

class Workload
{
public:
    explicit Workload(quint32 seed)
        : m_rng(seed)
    {
    }

    void step()
    {
        const int op = m_rng.bounded(20);
        if (op < 10)
            newBill();
        else if (op < 16)
            editBill();
        else if (op < 19)
            deleteLine();
        else
            deleteBill();
    }

private:
    BillLine randomLine(int row)
    {
        BillLine line;
        line.row = row;
        line.artno = QStringLiteral("A-%1").arg(m_rng.bounded(500));
        line.product = QStringLiteral("红布");
        line.color = QStringLiteral("%1号").arg(m_rng.bounded(30));
        setPieces(line);
        return line;
    }

    // Weights with up to two decimals, as typed; quantity and pieces follow
    // them as the bill window computes them.
    void setPieces(BillLine &line)
    {
        const int pieces = 1 + m_rng.bounded(10);
        line.pieces.fill(0);
        line.quantity = 0;
        for (int i = 0; i < pieces; ++i) {
            line.pieces[i] = m_rng.bounded(1, 5000) / 100.0;
            line.quantity += line.pieces[i];
        }
        line.pi = pieces;
        line.price = m_rng.bounded(1, 100000) / 1000.0;
    }

    BillHeader newHeader(qint32 id, const QString &comment)
    {
        BillHeader h;
        h.id = id;
        h.client = QStringLiteral("客户%1").arg(m_rng.bounded(50));
        h.date = QDate(2024, 1, 1).addDays(m_rng.bounded(365));
        h.comment = comment;
        return h;
    }

    void newBill()
    {
        const int count = 1 + m_rng.bounded(20);
        const bool deletable = m_rng.bounded(4) == 0;
        QList<BillLine> lines;
        for (int r = 1; r <= count; ++r)
            lines << randomLine(r);
        const QString comment = (deletable ? QStringLiteral("d:") : QStringLiteral("n:")) + QString::number(count);
        BillStore::save(newHeader(0, comment), lines);
    }

    // A random bill whose comment starts with kind, or 0.
    qint32 randomBill(const QString &kind)
    {
        const QVariant maxId = LookupValue(QStringLiteral("max(id)"), QStringLiteral("bill"));
        if (maxId.toInt() == 0)
            return 0;
        QSqlQuery q = ExecSql(QStringLiteral("select id from bill where id>=? and comment like ? "
                                             "order by id limit 1"),
                              {1 + m_rng.bounded(maxId.toInt()), kind + QLatin1Char('%')});
        return q.next() ? q.value(0).toInt() : 0;
    }

    QList<BillLine> storedLines(qint32 billId)
    {
        QList<BillLine> lines;
        QSqlQuery q = ExecSql(BillStore::lineQuery(), {billId});
        while (q.next()) {
            BillLine line;
            line.row = lines.size() + 1;
            line.id = q.value(0).toInt();
            line.artno = q.value(1).toString();
            line.product = q.value(2).toString();
            line.color = q.value(3).toString();
            for (int i = 0; i < 10; ++i)
                line.pieces[i] = q.value(4 + i).toDouble();
            line.quantity = q.value(14).toDouble();
            line.price = q.value(15).toDouble();
            line.pi = q.value(17).toDouble();
            lines << line;
        }
        return lines;
    }

    // Some stored lines changed, some new lines added, the count in the
    // comment kept right in the same save.
    void editBill()
    {
        const qint32 id = randomBill(QStringLiteral("n:"));
        if (id == 0)
            return;
        const QList<BillLine> stored = storedLines(id);
        QList<BillLine> marked;
        for (BillLine line : stored) {
            if (m_rng.bounded(3) == 0) {
                setPieces(line);
                marked << line;
            }
        }
        const int added = m_rng.bounded(4);
        for (int i = 0; i < added; ++i)
            marked << randomLine(int(stored.size()) + i + 1);
        BillStore::save(newHeader(id, QStringLiteral("n:") + QString::number(stored.size() + added)), marked);
    }

    void deleteLine()
    {
        const qint32 id = randomBill(QStringLiteral("d:"));
        if (id == 0)
            return;
        const QList<BillLine> stored = storedLines(id);
        if (stored.size() > 1)
            BillStore::deleteLine(id, stored.at(m_rng.bounded(int(stored.size()))).id);
    }

    void deleteBill()
    {
        const qint32 id = randomBill(QString());
        if (id != 0)
            BillStore::deleteBill(id);
    }

    QRandomGenerator m_rng;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: billsave_child <database file> <seed>\n");
        return 2;
    }
    try {
        ConnectDatabaseAt(args.at(1));
        Workload work(args.at(2).toUInt());
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        for (;;) {
            try {
                work.step();
            } catch (const BillDeleted &) {
                // Another desk deleted the bill this one was changing.
            }
            std::fputc('.', stdout);
            std::fflush(stdout);
        }
    } catch (const DbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
