// The program's command line, run as a user runs it: without a display, so
// any answer that tried to open a window would fail instead.
#include <QProcess>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersOnTheTerminal_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // "out:" standard output "err:" standard error

        QTest::newRow("version") << QStringList{"-v"} << 0 << "^out:Tovik 1\\.0\\.0\\nerr:$";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "^out:Usage: tovik .*--copy-database.*err:$";
        QTest::newRow("unknown option") << QStringList{"--frob"} << 2 << "^out:err:tovik: unknown option 'frob'.*tovik --help";
        QTest::newRow("stray argument") << QStringList{"a.db"} << 2 << "^out:err:tovik: unexpected argument 'a.db'";
        QTest::newRow("copy, one argument") << QStringList{"--copy-database", "a.db"} << 2 << "^out:err:用法：tovik --copy-database";
        QTest::newRow("copy, no source") << QStringList{"--copy-database", "/none/a.db", "/none/b.db"} << 1 << "^out:err:找不到要复制的数据库：/none/a.db";
    }

    void answersOnTheTerminal()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert("LC_ALL", "C.UTF-8");
        QProcess tovik;
        tovik.setProcessEnvironment(environment);
        tovik.start(TOVIK_BINARY, arguments);
        QVERIFY(tovik.waitForFinished());
        const QString text = "out:" + QString::fromUtf8(tovik.readAllStandardOutput()) + "err:"
            + QString::fromUtf8(tovik.readAllStandardError());
        QVERIFY2(QRegularExpression(output, QRegularExpression::DotMatchesEverythingOption).match(text).hasMatch(),
                 qPrintable(text));
        QCOMPARE(tovik.exitCode(), exitCode);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
