// Saving a bill of 20 new lines through BillStore::save (header, lines and
// totals in one transaction, ids read back) against the bare minimum: 20
// inserts of the same lines with one prepared statement in one transaction.
// Measured twice: with the program's durable setting (synchronous=FULL, one
// sync per commit) and with synchronous=OFF, which leaves the work of the
// code itself.
//
// Run: build/bin/bench_billsave

#include "BenchTiming.h"

#include "bill/BillStore.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Lines = 20;
constexpr int Runs = 200;


QList<BillLine> makeLines()
{
    QList<BillLine> lines;
    for (int r = 1; r <= Lines; ++r) {
        BillLine line;
        line.row = r;
        line.artno = QStringLiteral("A-%1").arg(r);
        line.product = QStringLiteral("红布");
        line.color = QStringLiteral("%1号").arg(r);
        for (int i = 0; i < 10; ++i) {
            line.pieces[i] = 20 + i * 0.25;
            line.quantity += line.pieces[i];
        }
        line.pi = 10;
        line.price = 12.35;
        lines << line;
    }
    return lines;
}

BillHeader makeHeader()
{
    BillHeader h;
    h.client = QStringLiteral("华丰纺织");
    h.date = QDate(2024, 3, 9);
    h.comment = QStringLiteral("bench");
    return h;
}

double timeStoreSave(const BillHeader &header, const QList<BillLine> &lines)
{
    QList<double> runs;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        BillStore::save(header, lines);
        runs << timer.nsecsElapsed() / 1e6;
    }
    return medianOf(runs);
}

// prepareEach: a statement prepared for every line, as a generic store
// does, to see what the preparation costs.
double timeBareInserts(const QList<BillLine> &lines, bool prepareEach)
{
    const qint32 pid = LookupValue(QStringLiteral("max(id)"), QStringLiteral("bill")).toInt();
    QSqlDatabase db = DbConnection();
    QList<double> runs;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        db.transaction();
        QSqlQuery insert(db);
        const QString sql = QStringLiteral(
            "insert into billsub (pid, artno, product, color, col1, col2, col3, col4, col5, "
            "col6, col7, col8, col9, col10, quantity, price, pi) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.prepare(sql);
        for (const BillLine &line : lines) {
            if (prepareEach) {
                insert = QSqlQuery(db);
                insert.prepare(sql);
            }
            insert.addBindValue(pid);
            insert.addBindValue(line.artno);
            insert.addBindValue(line.product);
            insert.addBindValue(line.color);
            for (const double piece : line.pieces)
                insert.addBindValue(piece);
            insert.addBindValue(line.quantity);
            insert.addBindValue(line.price);
            insert.addBindValue(line.pi);
            insert.exec();
        }
        db.commit();
        runs << timer.nsecsElapsed() / 1e6;
    }
    return medianOf(runs);
}

void measure(const char *setting)
{
    const QList<BillLine> lines = makeLines();
    const BillHeader header = makeHeader();
    // Warm up the statement caches and the file.
    BillStore::save(header, lines);
    const double store = timeStoreSave(header, lines);
    const double bare = timeBareInserts(lines, false);
    const double preparedEach = timeBareInserts(lines, true);
    std::printf("%-17s BillStore::save, %d new lines: %7.3f ms (median of %d)\n", setting, Lines, store, Runs);
    std::printf("%-17s baseline, %d bare inserts:     %7.3f ms  ratio %.2f\n", setting, Lines, bare,
                store / bare);
    std::printf("%-17s the same, prepared per line:    %7.3f ms  ratio %.2f\n", setting, preparedEach,
                preparedEach / bare);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ConnectDatabaseAt(dir.filePath(QStringLiteral("ovBill.db")));
    measure("synchronous=FULL");
    ExecSql(QStringLiteral("pragma synchronous=off"));
    measure("synchronous=OFF");
    CloseDatabase();
    return 0;
}
