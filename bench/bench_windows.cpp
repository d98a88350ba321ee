// Opening the working windows from the menu, on a trader's five years
// (100,000 bills, 1,000,000 lines, 5,000 clients, 50,000 articles) against
// the same on an empty database, in the same run:
//   - the query, bill, client and article windows: from the click on the
//     menu button until the window is shown and painted, and until every
//     row of its grids is in, opened again and again, and opened first in
//     a new program; and against a few weeks' books (60 clients and
//     articles), where the lists have rows but no length;
//   - the article window's statement in pinyin order by its sort keys
//     against the columns' own NOCASE order and against sorting every row
//     through the collation; the first pop-up of the query window's article
//     drop-down (all 50,000 article numbers) in pinyin order against
//     code-point order (the list collation swapped for a plain one).
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_windows [--case TEXT]
// (--case: only the windows whose name contains TEXT, for profiling)
// (the demo books: see BenchDemoData.h; TOVIK_BENCH_RUNS=N for more runs)

#include "BenchDemoData.h"
#include "BenchTiming.h"

#include "shared/forms/MessageBox.h"
#include "shared/data/DataAccess.h"
#include "shared/data/ListKeys.h"
#include "shared/data/NameLists.h"
#include "shared/data/TextOrder.h"
#include "shared/forms/Windows.h"
#include "startup/Application.h"
#include "startup/MenuWindows.h"
#include "startup/frmControl.h"

#include <OVGrid.h>

#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QSqlDriver>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sqlite3.h>

#include <cstdio>

namespace {

struct Window
{
    const char *button;
    const char *form;
};

const Window Windows[] = {
    {"cmdQuery", "frmQuery"},
    {"cmdBill", "frmBill"},
    {"cmdClient", "frmClient"},
    {"cmdArtno", "frmArtno"},
};

int runsPerFigure()
{
    return std::max(5, qEnvironmentVariableIntValue("TOVIK_BENCH_RUNS"));
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The two figures of an opening: until the window's first paint is done
// (shown, with the first rows of a long list), and until every row of its
// grids is in (they read the rest of a long list after that paint).
struct OpenTimes
{
    double painted = 0;
    double allIn = 0;
};

// Notes the time once the first paint of a window other than the menu is
// done: a zero timer started at its first paint event runs after the
// backing store has painted every widget of that window, and before the
// zero timers its widgets start while painting.
class FirstPaint : public QObject
{
public:
    FirstPaint(const QWidget *menu, const QElapsedTimer &clock) : m_menu(menu), m_clock(clock)
    {
        qApp->installEventFilter(this);
    }
    bool done() const { return m_ms >= 0; }
    double ms() const { return m_ms; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() != m_menu) {
            m_seen = true;
            QTimer::singleShot(0, this, [this] { m_ms = m_clock.nsecsElapsed() / 1e6; });
        }
        return false;
    }

private:
    const QWidget *m_menu;
    const QElapsedTimer &m_clock;
    bool m_seen = false;
    double m_ms = -1;
};

class MenuBench
{
public:
    MenuBench()
    {
        ConnectMenuWindows(&m_menu);
        m_menu.show();
        (void)QTest::qWaitForWindowExposed(&m_menu);
    }

    // Click to the painted window, and on to every row in (after what
    // afterShown does there); the window is closed again afterwards.
    OpenTimes open(const Window &w, const std::function<void(QWidget *)> &afterShown = {})
    {
        QElapsedTimer timer;
        FirstPaint paint(&m_menu, timer);
        timer.start();
        QTest::mouseClick(m_menu.findChild<QPushButton *>(QLatin1String(w.button)), Qt::LeftButton);
        QWidget *form = FindForm(QLatin1String(w.form));
        if (!form) {
            std::fprintf(stderr, "%s did not open\n", w.form);
            return {};
        }
        while (!paint.done())
            QCoreApplication::processEvents();
        if (afterShown)
            afterShown(form);
        for (const OVGrid *grid : form->findChildren<OVGrid *>())
            (void)grid->Rows(); // reads what is still pending
        const OpenTimes times{paint.ms(), timer.nsecsElapsed() / 1e6};
        form->close();
        settle();
        if (FindForm(QLatin1String(w.form)))
            std::fprintf(stderr, "%s still loaded after closing\n", w.form);
        return times;
    }

private:
    frmControl m_menu;
};

sqlite3 *handle()
{
    const QVariant h = DbConnection().driver()->handle();
    return *static_cast<sqlite3 *const *>(h.data());
}

// Code-point order, case folded for ASCII like the columns' own NOCASE, put
// in place of the list collation: the order lists had before.
int codePointCompare(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    const int common = std::min(lengthA, lengthB);
    const int c = sqlite3_strnicmp(static_cast<const char *>(a), static_cast<const char *>(b), common);
    return c != 0 ? c : lengthA - lengthB;
}

void useCodePointOrder()
{
    sqlite3_create_collation_v2(handle(), "zh", SQLITE_UTF8, nullptr, codePointCompare, nullptr);
}

// The article window's statement, SQLite stepping through the first rows
// (0: every row) ordered by orderBy.
double articleStatementMs(const QString &orderBy, int rows = 0)
{
    const QByteArray sql = (QStringLiteral("select id, artno, product, color, price from artno order by ") + orderBy)
                               .toUtf8();
    return timeMs([&] {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(handle(), sql.constData(), -1, &stmt, nullptr);
        for (int read = 0; (rows == 0 || read < rows) && sqlite3_step(stmt) == SQLITE_ROW; ++read)
            sqlite3_column_text(stmt, 1);
        sqlite3_finalize(stmt);
    }, 1);
}

// The baseline and the case in turn, each after its own set-up, so that a
// busy spell of the shared machine falls on both alike: both medians.
using Figures = QList<double>;

Figures mediansOf(const QList<Figures> &runs)
{
    Figures medians;
    for (qsizetype f = 0; f < runs.value(0).size(); ++f) {
        QList<double> figure;
        for (const Figures &run : runs)
            figure << run.value(f);
        medians << medianOf(figure);
    }
    return medians;
}

QPair<Figures, Figures> alternately(const std::function<void()> &setBaseline, const std::function<Figures()> &baseline,
                                    const std::function<void()> &setCase, const std::function<Figures()> &work)
{
    QList<Figures> baselines, cases;
    for (int i = 0; i <= runsPerFigure(); ++i) {
        setBaseline();
        const Figures b = baseline();
        setCase();
        const Figures c = work();
        if (i > 0) { // the first round warms up
            baselines << b;
            cases << c;
        }
    }
    return {mediansOf(baselines), mediansOf(cases)};
}

Figures figures(const OpenTimes &times)
{
    return {times.painted, times.allIn};
}

const Window *windowNamed(const QString &form)
{
    for (const Window &w : Windows) {
        if (form == QLatin1String(w.form))
            return &w;
    }
    return nullptr;
}

// The first opening in a new program, as a user meets it after logging in:
// each run is a child process (this program with --first FORM DATABASE)
// that shows the menu, opens the window once and prints the time.
Figures firstOpen(const Window &w, const QString &database)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--first"), QLatin1String(w.form), database});
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s", child.readAllStandardError().constData());
        return {};
    }
    const QList<QByteArray> printed = child.readAllStandardOutput().simplified().split(' ');
    return {printed.value(0).toDouble(), printed.value(1).toDouble()};
}

int runFirstOpen(const QStringList &args)
{
    const Window *w = windowNamed(args.value(0));
    if (!w)
        return 2;
    try {
        ConnectDatabaseAt(args.value(1));
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
    MenuBench bench;
    const OpenTimes times = bench.open(*w);
    std::printf("%f %f\n", times.painted, times.allIn);
    return 0;
}

// A trader's first weeks: the demo books' first 60 clients and articles and
// their value lists, no bills. Made next to the empty database.
QString makeFewWeeks(const QString &folder, const QString &demo)
{
    const QString path = folder + QStringLiteral("/weeks.db");
    ConnectDatabaseAt(path);
    ExecSql(QStringLiteral("attach database ? as demo"), {demo});
    ExecSql(QStringLiteral("insert into client (id, client, link, query)"
                           " select id, client, link, query from demo.client order by id limit 60"));
    ExecSql(QStringLiteral("insert into artno (id, artno, product, color, price, query)"
                           " select id, artno, product, color, price, query from demo.artno order by id limit 60"));
    ExecSql(QStringLiteral("insert into serv (field, value) select field, value from demo.serv"));
    ExecSql(QStringLiteral("detach database demo"));
    return path;
}

void report(const char *name, double baseline, double ours, const char *baselineName, const char *oursName)
{
    std::printf("%-34s %s %8.1f ms  %s %8.1f ms  ratio %5.2f\n", name, baselineName, baseline, oursName, ours,
                ours / baseline);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InitApplication(app);
    InitNameLists();
    // No window may wait for a person: every question gets its default.
    SetMsgHandler([](const QString &, MsgButtons buttons, MsgIcon) {
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::No;
    });

    const qsizetype firstArg = app.arguments().indexOf(QStringLiteral("--first"));
    if (firstArg > 0)
        return runFirstOpen(app.arguments().mid(firstArg + 1));
    const qsizetype caseArg = app.arguments().indexOf(QStringLiteral("--case"));
    const QString only = caseArg > 0 ? app.arguments().value(caseArg + 1) : QString();
    QTemporaryDir emptyFolder;
    const QString demo = demoDatabasePath();
    if (!connectDemoDatabase(demo))
        return 1;
    MenuBench bench;

    // Each run on the empty database and straight after on the demo books.
    const QString emptyFile = emptyFolder.filePath(QStringLiteral("ovBill.db"));
    const auto onEmpty = [&] { ConnectDatabaseAt(emptyFile); };
    const auto onDemo = [&] { ConnectDatabaseAt(demo); };
    const auto reportOpen = [](const Window &w, const Figures &empty, const Figures &full) {
        report(w.form, empty.value(0), full.value(0), "empty", "demo");
        report("  every row in", empty.value(1), full.value(1), "empty", "demo");
    };
    std::printf("menu click to the painted window, empty database against %s\n", qPrintable(demo));
    for (const Window &w : Windows) {
        if (!only.isEmpty() && !QLatin1String(w.form).contains(only))
            continue;
        const auto open = [&] { return figures(bench.open(w)); };
        const auto [empty, full] = alternately(onEmpty, open, onDemo, open);
        reportOpen(w, empty, full);
    }
    // What years of books cost beyond any books at all.
    const QString fewWeeks = makeFewWeeks(emptyFolder.path(), demo);
    std::printf("\nthe same, a few weeks' books (60 clients, 60 articles) against the demo books\n");
    for (const Window &w : Windows) {
        if (!only.isEmpty() && !QLatin1String(w.form).contains(only))
            continue;
        const auto open = [&] { return figures(bench.open(w)); };
        const auto [weeks, full] = alternately([&] { ConnectDatabaseAt(fewWeeks); }, open, onDemo, open);
        report(w.form, weeks.value(0), full.value(0), "weeks", "demo ");
    }
    std::printf("\nthe same, the first opening in a new program\n");
    for (const Window &w : Windows) {
        if (!only.isEmpty() && !QLatin1String(w.form).contains(only))
            continue;
        const auto [empty, full] = alternately([] {}, [&] { return firstOpen(w, emptyFile); }, [] {},
                                               [&] { return firstOpen(w, demo); });
        reportOpen(w, empty, full);
    }
    if (!only.isEmpty())
        return 0;

    const auto codePoint = [] { useCodePointOrder(); };
    const auto pinyin = [] { RegisterTextCollation(DbConnection()); };
    const auto compare = [&](const char *name, const std::function<Figures()> &work) {
        const auto [plain, ours] = alternately(codePoint, work, pinyin, work);
        report(name, plain.value(0), ours.value(0), "code point", "pinyin");
    };
    // The article window reads its rows by their sort keys; the columns'
    // own NOCASE order and the collation sorting every row stand beside it.
    const QString nocase = QStringLiteral("artno, product, color");
    const QString collated = TextOrderBy({QStringLiteral("artno"), QStringLiteral("product"), QStringLiteral("color")});
    const QString keyed = ListOrderBy(QStringLiteral("artno"));
    const auto statements = [&](const char *name, const QString &baselineOrder, const char *baselineName, int rows) {
        const auto [plain, ours] = alternately([] {}, [&] { return Figures{articleStatementMs(baselineOrder, rows)}; },
                                               [] {}, [&] { return Figures{articleStatementMs(keyed, rows)}; });
        report(name, plain.value(0), ours.value(0), baselineName, "sort key  ");
    };
    std::printf("\npinyin order against code-point order, demo database\n");
    statements("article statement, every row", nocase, "NOCASE    ", 0);
    statements("article statement, every row", collated, "collation ", 0);
    statements("article statement, first 300 rows", nocase, "NOCASE    ", 300);
    statements("article statement, first 300 rows", collated, "collation ", 300);
    compare("frmQuery + article drop-down", [&] {
        return Figures{bench.open(Windows[0], [](QWidget *form) {
                           auto *combo = form->findChild<QComboBox *>(QStringLiteral("cboArtno"));
                           QTest::keyClick(combo, Qt::Key_F4);
                           combo->hidePopup();
                       }).allIn};
    });
    return 0;
}
