// OVGrid figures, each beside a baseline measured in the same run: a
// QTableWidget filled from the same query.
//   - BindRst of 58,000 records × 20 fields from an SQLite query, and the
//     same into a grid with a word-wrapped column against it;
//   - sorting those rows by a numeric column, as a title click does;
//   - Aggregate(ovSTSum) over a column, against adding up the table's texts;
//   - scrolling to the last row and back, each repainted at once;
//   - memory (RSS) after the load, each measured in a process of its own;
//   - fitting a row to 100,000 digits without a space in a narrow wrapped
//     column, against Qt laying out the same text broken anywhere;
//   - opening a list of 50,000 records (bind, entry row, show) until its
//     first paint, against one of 300 records and against the whole list
//     read at once; and until all 50,000 rows are in.
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
#include <QTimer>

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
        grid->Rows();
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

// Notes, from the first paint of a widget, the time once that paint is
// done (a zero timer started before the grid's own runs first) and how many
// rows the view had.
class FirstPaint : public QObject
{
public:
    FirstPaint(QAbstractItemView *view, const QElapsedTimer &clock)
        : m_view(view), m_clock(clock) { view->viewport()->installEventFilter(this); }
    bool done() const { return m_ms >= 0; }
    double ms() const { return m_ms; }
    int rowsShown() const { return m_rows; }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            m_rows = m_view->model()->rowCount();
            QTimer::singleShot(0, this, [this] { m_ms = m_clock.nsecsElapsed() / 1e6; });
        }
        return false;
    }

private:
    QAbstractItemView *m_view;
    const QElapsedTimer &m_clock;
    bool m_seen = false;
    int m_rows = 0;
    double m_ms = -1;
};

struct OpenTimes
{
    double firstPaint = 0;
    double allIn = 0;
};

// A list window opening: bind, append the entry row, show. The grid is
// laid out as an editable list with a wrapped column, as the client list.
OpenTimes openList(int records, bool atOnce)
{
    OVGrid grid;
    grid.setCols(6);
    grid.setListWidth(QStringLiteral("700|0|1600|2200|1600|1000"));
    grid.setListFormat(QStringLiteral("5;0.00"));
    grid.setEditable(true);
    grid.setListWordWrap(QStringLiteral("3"));
    grid.setWordWrap(true);
    grid.resize(1000, 700);
    // A host that hears AfterRowColChange is told the whole row count, so
    // the grid reads every record in BindRst, as it always did before.
    if (atOnce)
        QObject::connect(&grid, &OVGrid::AfterRowColChange, [](int, int, int, int) {});
    auto *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
    QElapsedTimer t;
    FirstPaint paint(view, t);
    t.start();
    {
        QSqlQuery q(QSqlDatabase::database(Connection));
        q.setForwardOnly(true);
        q.exec(QStringLiteral("select id, artno, product, color, price from line where id <= %1 order by id")
                   .arg(records));
        grid.BindRst(q);
    }
    grid.AddItem(QStringLiteral("*"));
    grid.show();
    while (!paint.done())
        QCoreApplication::processEvents();
    while (view->model()->rowCount() < records + 1)
        QCoreApplication::processEvents();
    OpenTimes times{paint.ms(), t.nsecsElapsed() / 1e6};
    if (grid.Rows() != records + 2 || grid.TextMatrix(records + 1, 0) != QLatin1String("*"))
        std::fprintf(stderr, "the list holds %d rows\n", grid.Rows() - 1);
    if (!atOnce && records > 1000 && paint.rowsShown() > 1000)
        std::fprintf(stderr, "all %d rows were read before the first paint\n", paint.rowsShown());
    return times;
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
            const int rows = grid.Rows(); // reads the rows a long load leaves for later
            bindRuns << t.nsecsElapsed() / 1e6;
            if (rows != Records + 1)
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
        grid.Rows();
        wrappedRuns << t.nsecsElapsed() / 1e6;
    }

    report("BindRst 58,000 x 20 (vs QTableWidget fill)", medianOf(bindRuns), medianOf(fillRuns));
    report("  the same, a wrapped column (vs unwrapped)", medianOf(wrappedRuns), medianOf(bindRuns));
    report("sort by a number column", medianOf(sortRuns), medianOf(tableSortRuns));
    report("Aggregate(ovSTSum) of a column", medianOf(sumRuns), medianOf(tableSumRuns));
    report("scroll to the end and back, repainted", medianOf(scrollRuns), medianOf(tableScrollRuns));
    std::printf("  column sum: grid %s, table (double) %.10g\n", qPrintable(sum), tableSum);

    QList<double> smallPaint, longPaint, atOncePaint, longAllIn, atOnceAllIn;
    for (int run = 0; run < Runs; ++run) {
        smallPaint << openList(300, false).firstPaint;
        const OpenTimes lazy = openList(50000, false);
        longPaint << lazy.firstPaint;
        longAllIn << lazy.allIn;
        const OpenTimes whole = openList(50000, true);
        atOncePaint << whole.firstPaint;
        atOnceAllIn << whole.allIn;
    }
    report("open 50,000-row list, first paint (vs 300)", medianOf(longPaint), medianOf(smallPaint));
    report("  read at once as before (vs 300)", medianOf(atOncePaint), medianOf(smallPaint));
    report("  all 50,000 rows in (vs read at once)", medianOf(longAllIn), medianOf(atOnceAllIn));

    const long gridKb = memoryOf(QStringLiteral("grid"), file);
    const long tableKb = memoryOf(QStringLiteral("table"), file);
    std::printf("%-44s %10.1f MB   baseline %10.1f MB   ratio %6.3f\n", "RSS growth after the load",
                gridKb / 1024.0, tableKb / 1024.0, tableKb > 0 ? double(gridKb) / tableKb : 0.0);
    QSqlDatabase::removeDatabase(Connection);
    return 0;
}
