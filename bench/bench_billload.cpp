// Loading a bill into the bill window, beside a baseline measured in the
// same run:
//   - ovRst + ovTotal of a bill with 200 lines (header, grid load through
//     BindRst, padding, the three totals), against running the bare line
//     query and reading every field of every row.
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_billload

#include "BenchTiming.h"

#include "bill/BillStore.h"
#include "bill/frmBill.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Lines = 200;
constexpr int Runs = 15;


double timeMs(const std::function<void()> &op)
{
    QList<double> runs;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        op();
        runs << timer.nsecsElapsed() / 1e6;
    }
    return medianOf(runs);
}

qint32 storeBill()
{
    BillHeader header;
    header.client = QStringLiteral("甲");
    header.date = QDate(2024, 3, 5);
    QList<BillLine> lines;
    for (int i = 0; i < Lines; ++i) {
        BillLine line;
        line.row = i + 1;
        line.artno = QStringLiteral("A%1").arg(i % 40);
        line.product = QStringLiteral("全棉府绸");
        line.color = QStringLiteral("色%1").arg(i % 17);
        double kg = 0;
        for (int p = 0; p < 10; ++p) {
            line.pieces[p] = 20 + (i * 7 + p * 3) % 100 / 10.0;
            kg += line.pieces[p];
        }
        line.quantity = kg;
        line.price = 10 + i % 9 * 0.25;
        line.pi = 10;
        lines << line;
    }
    return BillStore::save(header, lines).id;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("TOVIK_DATA_DIR", dir.path().toUtf8());
    ConnectDatabase();
    const qint32 id = storeBill();

    frmBill form;
    form.show();

    double fields = 0;
    const double bare = timeMs([&] {
        QSqlQuery q = ExecSql(BillStore::lineQuery(), {id});
        while (q.next()) {
            for (int f = 0; f < 18; ++f)
                fields += q.value(f).toString().size();
        }
    });
    const double window = timeMs([&] {
        form.ovRst(id);
        form.ovTotal();
    });

    std::printf("bill of %d lines, median of %d runs\n", Lines, Runs);
    std::printf("  bare line query, every field read: %8.2f ms\n", bare);
    std::printf("  ovRst + ovTotal in the window:     %8.2f ms  (%.1f x)\n", window, window / bare);
    std::printf("  (grid rows %d, total %s; %.0f characters read)\n", form.grd()->Rows(),
                qPrintable(form.findChild<QWidget *>(QStringLiteral("lblPrice"))->property("text").toString()),
                fields);
    return 0;
}
