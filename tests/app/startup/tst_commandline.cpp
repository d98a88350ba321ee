// The program's command line, run as a user runs it: without a display, so
// any answer that tried to open a window would fail instead.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersOnTheTerminal_data();
    void answersOnTheTerminal();
};

void TestCommandLine::answersOnTheTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("version") << QStringList{"--version"} << 0 << "^Tovik 1\\.0\\.0\\n$" << "^$";
    QTest::newRow("short version") << QStringList{"-v"} << 0 << "^Tovik 1\\.0\\.0\\n$" << "^$";
    QTest::newRow("help") << QStringList{"--help"} << 0
                          << "Usage: tovik .*--version.*--copy-database" << "^$";
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "^$"
                                    << "unknown option 'frobnicate'.*tovik --help";
    QTest::newRow("stray argument") << QStringList{"books.db"} << 2 << "^$"
                                    << "unexpected argument 'books.db'";
    QTest::newRow("copy, one argument") << QStringList{"--copy-database", "a.db"} << 2 << "^$"
                                        << "用法：tovik --copy-database";
    QTest::newRow("copy, missing source")
        << QStringList{"--copy-database", "missing.db", "target.db"} << 1 << "^$"
        << "找不到要复制的数据库：missing.db";
}

void TestCommandLine::answersOnTheTerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QTemporaryDir folder;
    QProcess tovik;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("TOVIK_DATA_DIR"), folder.path());
    tovik.setProcessEnvironment(environment);
    tovik.setWorkingDirectory(folder.path());
    tovik.start(QStringLiteral(TOVIK_BINARY), arguments);
    QVERIFY(tovik.waitForFinished());
    const QRegularExpression::PatternOption dotAll = QRegularExpression::DotMatchesEverythingOption;
    QVERIFY2(QRegularExpression(out, dotAll).match(QString::fromUtf8(tovik.readAllStandardOutput())).hasMatch(),
             qPrintable(out));
    QVERIFY2(QRegularExpression(err, dotAll).match(QString::fromUtf8(tovik.readAllStandardError())).hasMatch(),
             qPrintable(err));
    QCOMPARE(tovik.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tovik.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
