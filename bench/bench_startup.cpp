// Start-up and search-code figures, each beside a baseline measured in the
// same run:
//   - process start to the login window shown (offscreen), against an empty
//     Qt program that shows one window;
//   - MakeSearchCode over 10,000 names, against one lookup per character.
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_startup

#include "shared/data/DataAccess.h"
#include "shared/data/SearchCode.h"
#include "shared/data/Database.h"
#include "shared/forms/Windows.h"
#include "startup/Application.h"
#include "startup/frmLoad.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int StartRuns = 7;
constexpr int Names = 10000;

// Child modes: show a window and leave as soon as it has been shown.
int runChild(int argc, char **argv, bool login)
{
    QApplication app(argc, argv);
    // quit() closes the windows, and the login window deletes itself on close.
    QPointer<QWidget> window;
    if (login) {
        InitApplication(app);
        auto *form = new frmLoad;
        if (!form->load())
            return 2;
        window = form;
    } else {
        window = new QWidget;
    }
    window->show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    delete window;
    return rc;
}

double medianMs(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double timeChild(const QString &mode, const QString &dataDir)
{
    QList<double> runs;
    for (int i = 0; i < StartRuns; ++i) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TOVIK_DATA_DIR"), dataDir);
        child.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode});
        child.waitForFinished(60000);
        runs << timer.nsecsElapsed() / 1e6;
        if (child.exitCode() != 0)
            std::fprintf(stderr, "child %s failed: %s\n", qPrintable(mode), child.readAllStandardError().constData());
    }
    return medianMs(runs);
}

QStringList makeNames()
{
    // Names like the trade's: Chinese words with article numbers.
    QStringList characters;
    QSqlQuery q = ExecSql(QStringLiteral("select word from tblspell where word >= '一' and word <= '龥'"));
    while (q.next())
        characters << q.value(0).toString();
    QRandomGenerator rng(20261207);
    QStringList names;
    for (int i = 0; i < Names; ++i) {
        QString name = QStringLiteral("A%1 ").arg(rng.bounded(1000));
        const int len = 2 + rng.bounded(5);
        for (int c = 0; c < len; ++c)
            name += characters.at(rng.bounded(characters.size()));
        names << name;
    }
    return names;
}

QString searchCodeOneQueryPerCharacter(const QString &text)
{
    QString code;
    for (const QChar c : text) {
        const QVariant v = LookupValue(QStringLiteral("spell"), QStringLiteral("tblspell"),
                                       {QStringLiteral("word=?"), {QString(c)}});
        code += (v.isNull() || v.toString().isEmpty()) ? QString(c) : v.toString();
    }
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, qstrcmp(argv[2], "login") == 0);

    QApplication app(argc, argv);
    QTemporaryDir dir;

    const double empty = timeChild(QStringLiteral("empty"), dir.path());
    QTemporaryDir fresh;
    const double created = [&] {
        QElapsedTimer timer;
        timer.start();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TOVIK_DATA_DIR"), fresh.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("login")});
        child.waitForFinished(60000);
        return timer.nsecsElapsed() / 1e6;
    }();
    const double login = timeChild(QStringLiteral("login"), fresh.path());
    std::printf("start to login window, existing database: %8.1f ms (median of %d)\n", login, StartRuns);
    std::printf("start to login window, new database:      %8.1f ms (one run)\n", created);
    std::printf("baseline, empty Qt program with a window: %8.1f ms  ratio %.2f\n", empty, login / empty);

    ConnectDatabaseAt(fresh.filePath(QStringLiteral("ovBill.db")));
    const QStringList names = makeNames();

    QElapsedTimer timer;
    timer.start();
    ForgetSpellTable();
    qsizetype total = 0;
    for (const QString &name : names)
        total += MakeSearchCode(name).size();
    const double cached = timer.nsecsElapsed() / 1e6;

    timer.restart();
    qsizetype baselineTotal = 0;
    for (const QString &name : names)
        baselineTotal += searchCodeOneQueryPerCharacter(name).size();
    const double perCharacter = timer.nsecsElapsed() / 1e6;

    std::printf("MakeSearchCode, %d names (table read once): %8.1f ms\n", Names, cached);
    std::printf("baseline, one lookup per character:          %8.1f ms  ratio %.3f\n", perCharacter,
                cached / perCharacter);
    if (total != baselineTotal)
        std::printf("warning: the two give different codes (%lld vs %lld characters)\n",
                    qlonglong(total), qlonglong(baselineTotal));
    CloseDatabase();
    return 0;
}
