// Moving the Windows program's books: "--copy-database ovBill.mdb new.db" on
// a generated file of 100,000 bills and 1,000,000 lines, against reading
// the same seven tables through libmdb alone (every column bound and every
// row fetched, as mdbtools' own export reads them). Each figure is the
// median of three runs, taken in turns.
//
// Run: build/bin/bench_accesscopy [--bills N --lines N]
// The file is made once by make_mdb (beside this program) and kept in
// ~/.cache/tovik/bench_accesscopy.

#include "BenchTiming.h"
#include "shared/data/DatabaseCopy.h"
#include "shared/data/DbError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <mdbtools.h>
#include <vector>

namespace {

const char *const Tables[] = {"bill", "billsub", "client", "artno", "serv", "tblinfo", "tblspell"};

// Every row of the seven tables read through libmdb; gives the rows read.
qint64 readThroughLibmdb(const QString &path)
{
    MdbHandle *mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE))
        return -1;
    qint64 rows = 0;
    for (const char *name : Tables) {
        MdbTableDef *table = mdb_read_table_by_name(mdb, const_cast<char *>(name), MDB_TABLE);
        if (!table)
            return -1;
        mdb_read_columns(table);
        std::vector<std::vector<char>> values(table->num_cols, std::vector<char>(MDB_BIND_SIZE));
        std::vector<int> lengths(table->num_cols);
        for (unsigned i = 0; i < table->num_cols; ++i)
            mdb_bind_column(table, int(i) + 1, values[i].data(), &lengths[i]);
        mdb_rewind_table(table);
        while (mdb_fetch_row(table))
            ++rows;
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption bills(QStringLiteral("bills"), QStringLiteral("bills in the file"), QStringLiteral("N"), QStringLiteral("100000"));
    const QCommandLineOption lines(QStringLiteral("lines"), QStringLiteral("lines in the file"), QStringLiteral("N"), QStringLiteral("1000000"));
    parser.addOptions({bills, lines});
    parser.addHelpOption();
    parser.process(app);

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/tovik/bench_accesscopy");
    QDir().mkpath(folder);
    const QString source = folder + QStringLiteral("/ovBill-%1-%2.mdb").arg(parser.value(bills), parser.value(lines));
    if (!QFile::exists(source)) {
        std::fprintf(stderr, "generating %s ...\n", qPrintable(source));
        const int made = QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/make_mdb"),
                                           {QStringLiteral("--bills"), parser.value(bills), QStringLiteral("--lines"),
                                            parser.value(lines), source});
        if (made != 0) {
            std::fprintf(stderr, "make_mdb failed\n");
            return 1;
        }
    }

    QList<double> bare, copies;
    qint64 rows = 0;
    for (int run = 0; run < 3; ++run) {
        bare << timeMs([&] { rows = readThroughLibmdb(source); }, 1);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("ovBill.db"));
        try {
            copies << timeMs([&] { CopyBooks(source, target); }, 1);
        } catch (const DbError &error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.text()));
            return 1;
        }
    }
    const double baseline = medianOf(bare);
    const double copy = medianOf(copies);
    std::printf("%s: %lld rows\n", qPrintable(source), rows);
    std::printf("libmdb alone, every row read        %9.0f ms\n", baseline);
    std::printf("copy into a new SQLite file         %9.0f ms  ratio %.2f\n", copy, copy / baseline);
    return 0;
}
