// Query-window figures on a trader's five years (100,000 bills, 1,000,000
// lines), each beside a baseline measured in the same run:
//   - the bill query for one client, for one month and with no criteria,
//     and the line query for one client and for one article: from the click
//     on the button to the painted grid with its totals, against SQLite
//     executing the same statement and reading every row it returns (the
//     cut query also against reading only the rows the grid keeps);
//   - with --indexes, the same bare statements with each candidate index
//     (bill(date), billsub(artno), billsub(pid, id)) added in turn;
//   - exporting the 58,000-line result (11 columns), against libxlsxwriter
//     writing the same cells straight from the grid's text.
//
// The database is generated on first run into the cache folder
// (~/.cache/tovik/bench_query) or taken from TOVIK_QUERY_DB (an ovBill.db).
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_query [--indexes] [--case TEXT]
// (--case: only the cases whose name contains TEXT, and no export; for
// profiling one path)

#include "BenchDemoData.h"
#include "BenchTiming.h"

#include "demodata/DemoData.h"
#include "query/QueryStatement.h"
#include "schema/Schema.h"
#include "query/frmQuery.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/DbError.h"
#include "shared/data/NameLists.h"
#include "shared/forms/DTPicker.h"
#include "shared/forms/GridSummary.h"
#include "shared/forms/GridWindow.h"
#include "shared/sheet/Spreadsheet.h"

#include <OVGrid.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QSqlDriver>
#include <QStringTokenizer>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// TOVIK_BENCH_RUNS raises the runs for profiling.
int runsPerFigure()
{
    return std::max(5, qEnvironmentVariableIntValue("TOVIK_BENCH_RUNS"));
}

double medianMs(const std::function<void()> &work, int runs = runsPerFigure())
{
    return timeMs(work, runs, true);
}

sqlite3 *handle()
{
    const QVariant h = DbConnection().driver()->handle();
    return *static_cast<sqlite3 *const *>(h.data());
}

// SQLite alone: prepare, bind, step through at most limit rows reading every
// column as its type, finalize. Returns the rows read.
int bareRun(const QueryStatement &statement, int limit = INT_MAX)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = statement.sql.toUtf8();
    if (sqlite3_prepare_v2(handle(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "prepare failed: %s\n", sqlite3_errmsg(handle()));
        return 0;
    }
    for (int i = 0; i < statement.values.size(); ++i) {
        const QByteArray text = statement.values.at(i).toString().toUtf8();
        sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    int rows = 0;
    volatile qint64 sink = 0;
    while (rows < limit && sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        const int cols = sqlite3_column_count(stmt);
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: sink = sink + sqlite3_column_int64(stmt, c); break;
            case SQLITE_FLOAT: sink = sink + qint64(sqlite3_column_double(stmt, c)); break;
            case SQLITE_TEXT: sink = sink + sqlite3_column_bytes(stmt, c); break;
            default: break;
            }
        }
    }
    sqlite3_finalize(stmt);
    return rows;
}

QString firstValue(const QString &sql)
{
    QSqlQuery q = ExecSql(sql);
    return q.next() ? q.value(0).toString() : QString();
}

struct Case
{
    const char *name;
    QueryCriteria criteria;
    QueryKind kind;
};

class Bench
{
public:
    explicit Bench(frmQuery *form) : m_form(form) {}

    // The window driven as a user does: criteria in, button clicked, grid
    // painted.
    double windowMs(const Case &c)
    {
        setCriteria(c.criteria);
        auto *button = m_form->findChild<QPushButton *>(c.kind == QueryKind::Bills ? QStringLiteral("cmdFind")
                                                                                   : QStringLiteral("cmdFindsub"));
        return medianMs([&] {
            button->click();
            m_form->repaint();
        });
    }

private:
    void setCriteria(const QueryCriteria &c)
    {
        m_form->findChild<QComboBox *>(QStringLiteral("cboClient"))->setEditText(c.client);
        m_form->findChild<QComboBox *>(QStringLiteral("cboArtno"))->setEditText(c.artno);
        m_form->findChild<DTPicker *>(QStringLiteral("dtpDate1"))->setValue(c.from);
        m_form->findChild<DTPicker *>(QStringLiteral("dtpDate2"))->setValue(c.to);
        m_form->findChild<QComboBox *>(QStringLiteral("cboValue"))->setEditText(c.value);
    }

    frmQuery *m_form;
};

// Where the window's time goes: the grid's load, the totals, the paint.
void printStages(frmQuery *form, const QueryStatement &statement, QueryKind kind)
{
    OVGrid *grid = form->shownGrid();
    const bool lines = kind == QueryKind::Lines;
    const double load = medianMs([&] { LoadGridRows(grid, statement.sql, statement.values); });
    const double totals = medianMs([&] {
        GridColumnSumText(grid, lines ? 10 : 6, QStringLiteral("0.00"));
        GridColumnSumText(grid, lines ? 7 : 4);
        GridColumnSumText(grid, lines ? 8 : 5);
        if (lines)
            CountDistinctInColumn(grid, 1);
    });
    // The first paint after a load lays out and draws the new rows; a
    // repaint of unchanged rows skips the table and would say little.
    QList<double> paints;
    for (int i = 0; i < runsPerFigure(); ++i) {
        LoadGridRows(grid, statement.sql, statement.values);
        paints << timeMs([&] { form->repaint(); }, 1);
    }
    const double paint = medianOf(paints);
    // The grid fits wrapped rows' heights within a time budget after a load.
    grid->setWordWrap(false);
    const double unwrapped = medianMs([&] { LoadGridRows(grid, statement.sql, statement.values); });
    grid->setWordWrap(true);
    LoadGridRows(grid, statement.sql, statement.values);
    std::printf("%-28s load %.1f ms (without word wrap %.1f), totals %.1f ms, first paint %.1f ms\n", "", load,
                unwrapped, totals, paint);
}

void report(const char *name, int rows, double ours, double bare)
{
    std::printf("%-28s %7d rows  %8.1f ms  bare %8.1f ms  ratio %5.2f\n", name, rows, ours, bare, ours / bare);
}

void exportFigures(frmQuery *form, const QTemporaryDir &home)
{
    // The 58,000 lines the grid keeps of the line query without criteria.
    form->findChild<QComboBox *>(QStringLiteral("cboClient"))->setEditText(QString());
    form->findChild<QComboBox *>(QStringLiteral("cboArtno"))->setEditText(QString());
    form->findChild<DTPicker *>(QStringLiteral("dtpDate1"))->setValue(QVariant());
    form->findChild<DTPicker *>(QStringLiteral("dtpDate2"))->setValue(QVariant());
    form->findChild<QPushButton *>(QStringLiteral("cmdFindsub"))->click();
    const OVGrid *grid = form->shownGrid();
    auto *excel = form->findChild<QPushButton *>(QStringLiteral("cmdExcel"));
    const double ours = medianMs([&] { excel->click(); }, 3);

    const QString text = grid->Cell(OVGrid::ovCPText).toString();
    const double direct = medianMs([&] {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *book = workbook_new_opt(QFile::encodeName(home.filePath(QStringLiteral("direct.xlsx"))).constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, "查询");
        int r = 0;
        for (const QStringView line : QStringTokenizer(text, u"\r\n")) {
            int c = 0;
            for (const QStringView cell : QStringTokenizer(line, u'\t')) {
                bool number = false;
                const double value = cell.toDouble(&number);
                if (number)
                    worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), value, nullptr);
                else if (!cell.isEmpty())
                    worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cell.toUtf8().constData(), nullptr);
                ++c;
            }
            ++r;
        }
        workbook_close(book);
    }, 3);
    std::printf("\nexport %d x %d (grid text to .xlsx)\n", grid->Rows() - 1, grid->Cols() - 1);
    report("export", grid->Rows() - 1, ours, direct);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool indexes = args.contains(QStringLiteral("--indexes"));
    const qsizetype caseArg = args.indexOf(QStringLiteral("--case"));
    const QString only = caseArg > 0 ? args.value(caseArg + 1) : QString();
    const QString path = demoDatabasePath();
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8()); // the export's documents folder
    InitNameLists();
    SetExportFileOpener([](const QString &) { return true; });

    if (!connectDemoDatabase(path))
        return 1;
    std::printf("database %s: %s bills, %s lines\n", qPrintable(path),
                qPrintable(firstValue(QStringLiteral("select count(*) from bill"))),
                qPrintable(firstValue(QStringLiteral("select count(*) from billsub"))));

    // A client of middling size, a month in the middle, an article sold often.
    QueryCriteria client;
    client.client = firstValue(QStringLiteral("select client from bill where id=(select max(id)/2 from bill)"));
    QueryCriteria month;
    month.from = QDate(2024, 3, 1);
    month.to = QDate(2024, 3, 31);
    // Wide ranges: a year, and everything since a date four years back.
    QueryCriteria year;
    year.from = QDate(2024, 1, 1);
    year.to = QDate(2024, 12, 31);
    QueryCriteria since;
    since.from = QDate(2022, 1, 1);
    QueryCriteria article;
    article.artno = firstValue(QStringLiteral("select artno from billsub where id=(select max(id)/2 from billsub)"));
    const QList<Case> cases{
        {"bills, one client", client, QueryKind::Bills},
        {"bills, one month", month, QueryKind::Bills},
        {"bills, one year", year, QueryKind::Bills},
        {"bills, since 2022", since, QueryKind::Bills},
        {"bills, no criteria", QueryCriteria(), QueryKind::Bills},
        {"lines, one client", client, QueryKind::Lines},
        {"lines, one article", article, QueryKind::Lines},
    };

    auto *form = new frmQuery;
    form->show();
    if (!QTest::qWaitForWindowExposed(form))
        std::fprintf(stderr, "window not exposed\n");
    Bench bench(form);

    std::printf("\n%-28s %12s  %11s  %16s\n", "case (click to painted grid)", "", "ours", "SQLite alone");
    for (const Case &c : cases) {
        if (!only.isEmpty() && !QLatin1String(c.name).contains(only))
            continue;
        const QueryStatement statement = BuildQuery(c.criteria, c.kind);
        const double ours = bench.windowMs(c);
        const int shown = form->shownGrid()->Rows() - 1;
        int rows = 0;
        const double bare = medianMs([&] { rows = bareRun(statement); });
        report(c.name, rows, ours, bare);
        printStages(form, statement, c.kind);
        if (shown < rows) {
            const double cut = medianMs([&] { bareRun(statement, shown + 1); });
            report("  ... bare cut like the grid", shown, ours, cut);
        }
    }

    if (indexes) {
        // The schema's indexes for the query, and one more candidate; each
        // is measured without and with, and left as the schema has it.
        const QList<QPair<QString, QString>> candidates{
            {QStringLiteral("bill_date"), QStringLiteral("create index bill_date on bill(date)")},
            {QStringLiteral("billsub_artno"), QStringLiteral("create index billsub_artno on billsub(artno)")},
            {QStringLiteral("billsub_pid_id"), QStringLiteral("create index billsub_pid_id on billsub(pid, id)")},
        };
        const QStringList schema = Schema::createStatements();
        std::printf("\nbare statements without / with an index (ms)\n");
        for (const auto &[name, create] : candidates) {
            std::printf("%s%s\n", qPrintable(create), schema.contains(create) ? " (in the schema)" : "");
            ExecSql(QStringLiteral("drop index if exists ") + name);
            QList<double> without;
            for (const Case &c : cases)
                without << medianMs([&] { bareRun(BuildQuery(c.criteria, c.kind)); });
            ExecSql(create);
            for (int i = 0; i < cases.size(); ++i) {
                const double with = medianMs([&] { bareRun(BuildQuery(cases[i].criteria, cases[i].kind)); });
                std::printf("  %-26s %8.1f / %8.1f  (%.2fx)\n", cases[i].name, without[i], with, with / without[i]);
            }
            if (!schema.contains(create))
                ExecSql(QStringLiteral("drop index ") + name);
        }
    }

    if (only.isEmpty())
        exportFigures(form, home);
    delete form;
    return 0;
}
