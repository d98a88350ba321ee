// The program's statements on a PostgreSQL server against the same
// statements run bare through libpq, with the SQLite figures beside them:
//   - saving a new bill of 20 lines (BillStore::save: header, lines, totals,
//     one transaction) against libpq running the same inserts and updates in
//     one transaction with prepared statements;
//   - a picker keystroke (the article search, rows into the grid by BindRst)
//     for a search that lists many, some and few articles;
//   - the query window's bill query for one client and for one month, and
//     its line query for one article (statement and BindRst into a grid).
// The bare side reads every value of every row as text.
//
// The books are the demo data (a trader's five years, 1,000,000 lines, or
// --lines N for fewer) made as an SQLite file, then moved to a throwaway
// server with --copy-database's code (timed too).
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_server [--lines N]

#include "PgCluster.h"
#include "bill/BillStore.h"
#include "demodata/DemoData.h"
#include "query/QueryStatement.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/DatabaseCopy.h"
#include "shared/data/DbError.h"
#include "shared/data/NameLists.h"
#include "shared/data/ServerAddress.h"

#include <OVGrid.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <libpq-fe.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <functional>

namespace {

double medianMs(const std::function<void()> &work, int runs)
{
    work(); // warm caches and the statement path
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// One statement with its values, as the program sends it.
struct Statement
{
    QString sql;
    QVariantList values;
};

// The same statement through libpq: "?" becomes $1, $2, … (the program's
// statements have no "?" inside literals), values go as text.
class Bare
{
public:
    explicit Bare(const QString &uri)
        : m_conn(PQconnectdb(conninfo(uri).constData()))
    {
        if (PQstatus(m_conn) != CONNECTION_OK)
            qFatal("libpq: %s", PQerrorMessage(m_conn));
    }
    ~Bare() { PQfinish(m_conn); }

    // Runs it and reads every value; returns the row count, and the first
    // value in *first when asked.
    int run(const Statement &s, QString *first = nullptr)
    {
        QList<QByteArray> texts;
        for (const QVariant &v : s.values)
            texts << v.toString().toUtf8();
        std::vector<const char *> params;
        for (const QByteArray &t : texts)
            params.push_back(t.constData());
        PGresult *res = PQexecParams(m_conn, numbered(s.sql).constData(), int(params.size()), nullptr,
                                     params.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(res);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            qFatal("libpq: %s", PQresultErrorMessage(res));
        const int rows = PQntuples(res);
        const int cols = PQnfields(res);
        if (first && rows > 0 && cols > 0)
            *first = QString::fromUtf8(PQgetvalue(res, 0, 0));
        size_t bytes = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                bytes += std::strlen(PQgetvalue(res, r, c));
        PQclear(res);
        m_sink += bytes;
        return rows;
    }

private:
    static QByteArray conninfo(const QString &uri)
    {
        QString error;
        const ServerAddress a = ServerAddress::parse(uri, &error);
        QString info = QStringLiteral("host='%1' user='%2' dbname='%3'").arg(a.host, a.user, a.databaseName);
        if (a.port > 0)
            info += QStringLiteral(" port=%1").arg(a.port);
        return info.toUtf8();
    }
    static QByteArray numbered(const QString &sql)
    {
        QString out;
        int n = 0;
        for (const QChar c : sql)
            out += c == QLatin1Char('?') ? QStringLiteral("$%1").arg(++n) : QString(c);
        return out.toUtf8();
    }

    PGconn *m_conn;
    size_t m_sink = 0;
};

QList<BillLine> twentyLines()
{
    QList<BillLine> lines;
    for (int i = 1; i <= 20; ++i) {
        BillLine l;
        l.row = i;
        l.artno = QStringLiteral("A-%1").arg(i);
        l.product = QStringLiteral("红布");
        l.color = QStringLiteral("3号");
        l.pieces = {12.5, 13.25, 11.75};
        l.quantity = 37.5;
        l.price = 8.2;
        l.pi = 3;
        lines << l;
    }
    return lines;
}

BillHeader newHeader()
{
    BillHeader h;
    h.client = QStringLiteral("华丰纺织");
    h.date = QDate(2026, 12, 7);
    h.comment = QStringLiteral("bench");
    return h;
}

// The bare bill save: what BillStore::save must do at the least.
void bareSave(Bare &bare, const QList<BillLine> &lines)
{
    bare.run({QStringLiteral("begin"), {}});
    const BillHeader h = newHeader();
    QString id;
    bare.run({QStringLiteral("insert into bill (client, link, date, comment) values (?, ?, ?, ?) returning id"),
              {h.client, h.link, h.date.toString(Qt::ISODate), h.comment}},
             &id);
    for (const BillLine &l : lines) {
        bare.run({QStringLiteral("insert into billsub (pid, artno, product, color, col1, col2, col3, quantity, price, pi)"
                                 " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {id, l.artno, l.product, l.color, l.pieces[0], l.pieces[1], l.pieces[2], l.quantity, l.price, l.pi}});
    }
    bare.run({QStringLiteral("update bill set (price, pi, quantity) = (select sum(quantity*price), sum(pi),"
                             " sum(quantity) from billsub where pid=?) where id=?"),
              {id, id}});
    bare.run({QStringLiteral("commit"), {}});
}

int bindIntoGrid(OVGrid &grid, const Statement &s)
{
    QSqlQuery q = ExecSql(s.sql, s.values);
    grid.setRows(1);
    grid.setCols(q.record().count() + 1);
    grid.BindRst(q);
    return grid.Rows() - 1;
}

// The statement through Qt's driver with every value read, no grid.
int readAll(const Statement &s)
{
    QSqlQuery q = ExecSql(s.sql, s.values);
    const int cols = q.record().count();
    int rows = 0;
    qsizetype sink = 0;
    while (q.next()) {
        ++rows;
        for (int c = 0; c < cols; ++c)
            sink += q.value(c).toString().size();
    }
    return sink >= 0 ? rows : -1;
}

QString first(const QString &sql)
{
    QSqlQuery q = ExecSql(sql);
    return q.next() ? q.value(0).toString() : QString();
}

struct Case
{
    const char *name;
    Statement statement;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    DemoDataSize size;
    if (const qsizetype i = args.indexOf(QStringLiteral("--lines")); i > 0 && i + 1 < args.size()) {
        size.lines = args.at(i + 1).toInt();
        size.bills = std::max(1, size.lines / 10);
        size.clients = std::max(10, size.lines / 200);
        size.articles = std::max(10, size.lines / 20);
    }
    PgCluster &cluster = PgCluster::instance();
    if (!cluster.skipReason().isEmpty()) {
        std::printf("%s\n", qPrintable(cluster.skipReason()));
        return 0;
    }
    InitNameLists();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ovBill.db"));
    const QString server = cluster.createDatabase();
    try {
        std::fprintf(stderr, "generating %d lines ...\n", size.lines);
        MakeDemoData(file, size);
        CloseDatabase();
        QElapsedTimer copyTimer;
        copyTimer.start();
        const CopyReport report = CopyBooks(file, server);
        std::printf("copy to the server: %lld bills, %lld lines in %.1f s\n", report.rows.at(0).second,
                    report.rows.at(1).second, copyTimer.elapsed() / 1000.0);

        // Criteria from the books themselves: a middling client, a month
        // in the middle, an article sold often, search texts of three sizes.
        ConnectDatabaseAt(file);
        QueryCriteria client;
        client.client = first(QStringLiteral("select client from bill group by client order by count(*) desc limit 1 offset 50"));
        QueryCriteria month;
        const QDate mid = QDate::fromString(first(QStringLiteral("select date from bill where id=(select max(id)/2 from bill)")), Qt::ISODate);
        month.from = QDate(mid.year(), mid.month(), 1);
        month.to = month.from.addMonths(1).addDays(-1);
        QueryCriteria article;
        article.artno = first(QStringLiteral("select artno from billsub where id<=100000 group by artno order by count(*) desc limit 1"));
        const QString code = first(QStringLiteral("select query from artno where id=1"));
        const QString picker = QStringLiteral("select id, artno, product, color, price from artno "
                                              "where query like ? order by lower(artno), product, color");
        const auto build = [](const QueryCriteria &c, QueryKind k) {
            const QueryStatement s = BuildQuery(c, k);
            return Statement{s.sql, s.values};
        };
        const QList<Case> cases{
            {"picker, first letter", {picker, {QStringLiteral("%") + code.left(1) + QStringLiteral("%")}}},
            {"picker, three letters", {picker, {QStringLiteral("%") + code.left(3) + QStringLiteral("%")}}},
            {"picker, first word", {picker, {QStringLiteral("%") + code.section(QLatin1Char(' '), 0, 0) + QStringLiteral("%")}}},
            {"bills of one client", build(client, QueryKind::Bills)},
            {"bills of one month", build(month, QueryKind::Bills)},
            {"lines of one article", build(article, QueryKind::Lines)},
        };
        CloseDatabase();
        for (const Case &c : cases)
            std::fprintf(stderr, "%-24s %s\n", c.name, qPrintable(c.statement.values.value(0).toString()));

        OVGrid grid;
        const QList<BillLine> lines = twentyLines();
        QList<double> sqlite;
        QList<int> rows;
        ConnectDatabaseAt(file);
        sqlite << medianMs([&] { BillStore::save(newHeader(), lines); }, 50);
        for (const Case &c : cases) {
            rows << bindIntoGrid(grid, c.statement);
            sqlite << medianMs([&] { bindIntoGrid(grid, c.statement); }, 5);
        }
        CloseDatabase();

        ConnectDatabaseAt(server);
        Bare bare(server);
        std::printf("\nserver ms: statement and BindRst into a grid (SQLite ms: the same on the file);\n"
                    "Qt read ms: the statement through Qt's driver, every value read, no grid.\n");
        std::printf("\n%-24s %8s %10s %10s %10s %10s %7s %7s\n", "case", "rows", "SQLite ms", "server ms",
                    "Qt read ms", "libpq ms", "ratio", "read");
        const auto line = [](const char *name, int n, double lite, double ours, double read, double raw) {
            std::printf("%-24s %8d %10.2f %10.2f %10.2f %10.2f %7.2f %7.2f\n", name, n, lite, ours, read, raw,
                        ours / raw, read / raw);
        };
        const auto same = [](const char *name, int lite, int server, int raw) {
            if (lite != server || server != raw)
                qFatal("%s: %d rows on SQLite, %d on the server, %d bare", name, lite, server, raw);
        };
        const double ours = medianMs([&] { BillStore::save(newHeader(), lines); }, 50);
        const double raw = medianMs([&] { bareSave(bare, lines); }, 50);
        line("save a bill of 20 lines", 20, sqlite.at(0), ours, ours, raw);
        for (int i = 0; i < cases.size(); ++i) {
            const Case &c = cases.at(i);
            same(c.name, rows.at(i), bindIntoGrid(grid, c.statement), bare.run(c.statement));
            const double o = medianMs([&] { bindIntoGrid(grid, c.statement); }, 5);
            const double q = medianMs([&] { readAll(c.statement); }, 5);
            const double r = medianMs([&] { bare.run(c.statement); }, 5);
            line(c.name, rows.at(i), sqlite.at(i + 1), o, q, r);
        }

        // The case-insensitive "like" of the picker three ways, bare: the
        // citext column as the program has it, lower() on both sides of a
        // text copy, and ilike on that copy.
        bare.run({QStringLiteral("create temporary table plain as select id, artno, product, color, price,"
                                 " query::text as query from artno"),
                  {}});
        const QString pattern = cases.at(0).statement.values.at(0).toString();
        const QList<QPair<const char *, QString>> likes{
            {"citext like", QStringLiteral("select id from artno where query like ?")},
            {"lower(text) like lower()", QStringLiteral("select id from plain where lower(query) like lower(?)")},
            {"text ilike", QStringLiteral("select id from plain where query ilike ?")},
        };
        std::printf("\n%s over %s articles, bare:\n", qPrintable(pattern), qPrintable(first(QStringLiteral("select count(*) from artno"))));
        for (const auto &[name, sql] : likes) {
            int n = 0;
            const double ms = medianMs([&] { n = bare.run({sql, {pattern}}); }, 9);
            std::printf("  %-26s %6d rows %8.2f ms\n", name, n, ms);
        }
        CloseDatabase();
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
    return 0;
}
