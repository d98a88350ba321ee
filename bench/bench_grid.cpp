// OVGrid figures, each beside a baseline measured in the same run: a
// QTableWidget filled from the same query.
//   - BindRst of 58,000 records × 20 fields from an SQLite query, and the
//     same into a grid with a word-wrapped column against it;
//   - sorting those rows by a numeric column, as a title click does;
//   - Aggregate(ovSTSum) over a column, against adding up the table's texts;
//   - scrolling to the last row and back, each repainted at once;
//   - memory (RSS) after the load, each measured in a process of its own;
//   - fitting a row to 100,000 digits without a space in a narrow wrapped
//     column, against Qt laying out the same text broken anywhere.
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_grid

#include "BenchTiming.h"

#include "OVGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTextLayout>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Records = 58000;
constexpr int Fields = 20;
constexpr int Runs = 5;
constexpr int SortColumn = 16; // grid column of the unit price, a number
constexpr int SumColumn = 17;  // grid column of the amount
const QString Connection = QStringLiteral("bench");


long rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Bill lines: id, article, product, colour, ten piece weights, KG, price,
// amount, pieces, date and a comment.
void createData(const QString &file)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Connection);
    db.setDatabaseName(file);
    db.open();
    QSqlQuery q(db);
    q.exec(QStringLiteral("create table line (id integer primary key, artno text, product text, color text, "
                          "p1 real, p2 real, p3 real, p4 real, p5 real, p6 real, p7 real, p8 real, p9 real, "
                          "p10 real, kg real, price real, amount real, pieces integer, date text, note text)"));
    db.transaction();
    q.prepare(QStringLiteral("insert into line values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    QRandomGenerator rng(7);
    const QStringList products{QStringLiteral("全棉府绸"), QStringLiteral("涤纶雪纺"), QStringLiteral("亚麻")};
    for (int i = 1; i <= Records; ++i) {
        q.addBindValue(i);
        q.addBindValue(QStringLiteral("A%1").arg(rng.bounded(100000)));
        q.addBindValue(products.at(i % products.size()));
        q.addBindValue(QStringLiteral("色%1").arg(rng.bounded(300)));
        double kg = 0;
        const int pieces = 1 + rng.bounded(10);
        for (int p = 0; p < 10; ++p) {
            const double w = p < pieces ? rng.bounded(2000, 3000) / 100.0 : 0.0;
            kg += w;
            q.addBindValue(w);
        }
        const double price = rng.bounded(1000, 5000) / 100.0;
        q.addBindValue(kg);
        q.addBindValue(price);
        q.addBindValue(qRound64(kg * price * 100) / 100.0);
        q.addBindValue(pieces);
        q.addBindValue(QStringLiteral("2023-%1-%2").arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(1 + i % 28, 2, 10, QLatin1Char('0')));
        q.addBindValue(i % 5 == 0 ? QStringLiteral("加急") : QString());
        q.exec();
    }
    db.commit();
}

QSqlQuery selectLines()
{
    QSqlQuery q(QSqlDatabase::database(Connection));
    q.setForwardOnly(true);
    q.exec(QStringLiteral("select * from line order by id"));
    return q;
}

// The bill-line layout of the program, with 21 columns for 20 fields.
void layoutGrid(OVGrid &grid)
{
    grid.setCols(Fields + 1);
    grid.setListWidth(QStringLiteral("700|0|1600|2200|1600|900|900|900|900|900|900|900|900|900|900|1000|1000|1500|600|1000|1500"));
    grid.setListFormat(QStringLiteral("5;z|6|7|8|9|10|11|12|13|14|16;0.00|17|19;yy-mm-dd"));
}

void fillTable(QTableWidget &table)
{
    QSqlQuery q = selectLines();
    table.setColumnCount(Fields);
    int row = 0;
    table.setUpdatesEnabled(false);
    table.setRowCount(Records);
    while (q.next()) {
        for (int f = 0; f < Fields; ++f)
            table.setItem(row, f, new QTableWidgetItem(q.value(f).toString()));
        ++row;
    }
    table.setUpdatesEnabled(true);
}

// Scrolls to the end and back, repainting each time; the slower of the two.
double scrollMs(QAbstractItemView *view)
{
    QScrollBar *bar = view->verticalScrollBar();
    QElapsedTimer t;
    t.start();
    bar->setValue(bar->maximum());
    view->viewport()->repaint();
    const double down = t.nsecsElapsed() / 1e6;
    t.restart();
    bar->setValue(0);
    view->viewport()->repaint();
    return std::max(down, t.nsecsElapsed() / 1e6);
}

int runMemoryChild(const QString &what)
{
    const long before = rssKb();
    if (what == QLatin1String("grid")) {
        auto *grid = new OVGrid;
        layoutGrid(*grid);
        QSqlQuery q = selectLines();
        grid->BindRst(q);
        std::printf("%ld\n", rssKb() - before);
    } else {
        auto *table = new QTableWidget;
        fillTable(*table);
        std::printf("%ld\n", rssKb() - before);
    }
    return 0;
}

long memoryOf(const QString &what, const QString &file)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), what, file});
    child.waitForFinished(300000);
    return child.readAllStandardOutput().trimmed().toLong();
}

// Fitting a row to a long unbreakable text, as a write into a wrapped
// column does; the baseline lays the same text out broken anywhere, the
// least any wrapping costs.
void fitLongRun(QList<double> &ours, QList<double> &baseline)
{
    const QString text(100000, u'7');
    OVGrid grid;
    grid.setCols(3);
    grid.setRows(2);
    grid.setListWidth(QStringLiteral("300|1050|1050"));
    grid.setListWordWrap(QStringLiteral("1"));
    grid.setWordWrap(true);
    QElapsedTimer t;
    t.start();
    grid.setTextMatrix(1, 1, text);
    ours << t.nsecsElapsed() / 1e6;

    t.restart();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    QTextLayout layout(text, grid.Font());
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(70);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    baseline << t.nsecsElapsed() / 1e6;
}

void report(const char *what, double ours, double baseline)
{
    std::printf("%-44s %10.1f ms   baseline %10.1f ms   ratio %6.3f\n", what, ours, baseline,
                baseline > 0 ? ours / baseline : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--memory")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Connection);
        db.setDatabaseName(args.at(3));
        db.open();
        return runMemoryChild(args.at(2));
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lines.db"));
    createData(file);
    std::printf("%d records x %d fields from SQLite; medians of %d runs\n\n", Records, Fields, Runs);

    QList<double> fitRuns, layoutRuns;
    for (int run = 0; run < Runs; ++run)
        fitLongRun(fitRuns, layoutRuns);
    report("fit a row to 100,000 digits, 70 px column", medianOf(fitRuns), medianOf(layoutRuns));

    QList<double> bindRuns, fillRuns, sortRuns, tableSortRuns, sumRuns, tableSumRuns, scrollRuns, tableScrollRuns;
    QString sum;
    double tableSum = 0;
    for (int run = 0; run < Runs; ++run) {
        {
            OVGrid grid;
            layoutGrid(grid);
            grid.resize(1000, 700);
            grid.show();
            QCoreApplication::processEvents();
            QSqlQuery q = selectLines();
            QElapsedTimer t;
            t.start();
            grid.BindRst(q);
            bindRuns << t.nsecsElapsed() / 1e6;
            if (grid.Rows() != Records + 1)
                std::fprintf(stderr, "grid holds %d rows\n", grid.Rows() - 1);

            auto *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
            if (!view) {
                std::fprintf(stderr, "the grid's table was not found\n");
                return 1;
            }
            scrollRuns << scrollMs(view);

            t.restart();
            const OVCurrency total = grid.Aggregate(OVGrid::ovSTSum, 0, SumColumn);
            sumRuns << t.nsecsElapsed() / 1e6;
            sum = total.toString();

            t.restart();
            view->sortByColumn(SortColumn - 1, Qt::AscendingOrder);
            view->viewport()->repaint();
            sortRuns << t.nsecsElapsed() / 1e6;
        }
        {
            QTableWidget table;
            table.resize(1000, 700);
            table.show();
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            fillTable(table);
            fillRuns << t.nsecsElapsed() / 1e6;
            tableScrollRuns << scrollMs(&table);

            t.restart();
            double total = 0;
            for (int r = 0; r < table.rowCount(); ++r)
                total += table.item(r, SumColumn - 1)->text().toDouble();
            tableSumRuns << t.nsecsElapsed() / 1e6;
            tableSum = total;

            t.restart();
            table.sortItems(SortColumn - 1, Qt::AscendingOrder);
            table.viewport()->repaint();
            tableSortRuns << t.nsecsElapsed() / 1e6;
        }
    }

    // Wrapped rows are fitted as they come into view: the load costs about
    // what an unwrapped one does.
    QList<double> wrappedRuns;
    for (int run = 0; run < Runs; ++run) {
        OVGrid grid;
        layoutGrid(grid);
        grid.setListWordWrap(QStringLiteral("3"));
        grid.setWordWrap(true);
        grid.resize(1000, 700);
        grid.show();
        QCoreApplication::processEvents();
        QSqlQuery q = selectLines();
        QElapsedTimer t;
        t.start();
        grid.BindRst(q);
        wrappedRuns << t.nsecsElapsed() / 1e6;
    }

    report("BindRst 58,000 x 20 (vs QTableWidget fill)", medianOf(bindRuns), medianOf(fillRuns));
    report("  the same, a wrapped column (vs unwrapped)", medianOf(wrappedRuns), medianOf(bindRuns));
    report("sort by a number column", medianOf(sortRuns), medianOf(tableSortRuns));
    report("Aggregate(ovSTSum) of a column", medianOf(sumRuns), medianOf(tableSumRuns));
    report("scroll to the end and back, repainted", medianOf(scrollRuns), medianOf(tableScrollRuns));
    std::printf("  column sum: grid %s, table (double) %.10g\n", qPrintable(sum), tableSum);

    const long gridKb = memoryOf(QStringLiteral("grid"), file);
    const long tableKb = memoryOf(QStringLiteral("table"), file);
    std::printf("%-44s %10.1f MB   baseline %10.1f MB   ratio %6.3f\n", "RSS growth after the load",
                gridKb / 1024.0, tableKb / 1024.0, tableKb > 0 ? double(gridKb) / tableKb : 0.0);
    QSqlDatabase::removeDatabase(Connection);
    return 0;
}
