// Fills a new data folder with demo books (see demodata/DemoData.h):
//   make_demo_data [--bills N] [--lines N] [--clients N] [--articles N]
//                  [--years N] [--seed N] <folder>
// The folder gets ovBill.db; the program opens it with TOVIK_DATA_DIR=<folder>.

#include "demodata/DemoData.h"
#include "shared/data/Database.h"
#include "shared/data/DbError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a trader's demo books into <folder>/ovBill.db."));
    parser.addHelpOption();
    const DemoDataSize defaults;
    const auto option = [&](const QString &name, const QString &what, qint64 value) {
        QCommandLineOption o(name, what + QStringLiteral(" (default %1)").arg(value), QStringLiteral("N"),
                             QString::number(value));
        parser.addOption(o);
        return o;
    };
    const auto bills = option(QStringLiteral("bills"), QStringLiteral("bills"), defaults.bills);
    const auto lines = option(QStringLiteral("lines"), QStringLiteral("bill lines in all"), defaults.lines);
    const auto clients = option(QStringLiteral("clients"), QStringLiteral("clients"), defaults.clients);
    const auto articles = option(QStringLiteral("articles"), QStringLiteral("articles"), defaults.articles);
    const auto years = option(QStringLiteral("years"), QStringLiteral("years of bills up to 2025-12-31"), defaults.years);
    const auto seed = option(QStringLiteral("seed"), QStringLiteral("random seed"), defaults.seed);
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("the data folder to create"));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);

    DemoDataSize size;
    bool ok = true;
    const auto read = [&](const QCommandLineOption &o) {
        bool good = false;
        const int value = parser.value(o).toInt(&good);
        ok = ok && good && value >= 0;
        return value;
    };
    size.bills = read(bills);
    size.lines = read(lines);
    size.clients = read(clients);
    size.articles = read(articles);
    size.years = read(years);
    bool seedOk = false;
    size.seed = quint32(parser.value(seed).toUInt(&seedOk));
    if (!ok || !seedOk) {
        std::fprintf(stderr, "make_demo_data: every size is a whole number\n");
        return 1;
    }

    const QString folder = parser.positionalArguments().first();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "make_demo_data: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        MakeDemoData(QDir(folder).filePath(QStringLiteral("ovBill.db")), size,
                     [](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    } catch (const DbError &error) {
        std::fprintf(stderr, "make_demo_data: %s\n", qPrintable(error.text()));
        return 1;
    }
    CloseDatabase();
    std::fprintf(stderr, "done in %.1f s\n", timer.elapsed() / 1000.0);
    return 0;
}
