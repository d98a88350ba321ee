// Crash safety: a child process saves, edits and deletes bills on one
// database file and is killed (SIGKILL) at random moments, again and again.
// Afterwards every bill must be whole: its stored totals equal the sums over
// its lines, its line count is the one its last save recorded, no line is
// left without its bill, and the file passes SQLite's integrity check.

#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cmath>

namespace {

constexpr int Kills = 200;
// The longest a child runs after it has opened the database.
constexpr int MaxRunMicroseconds = 80000;

double round4(double v)
{
    return std::round(v * 10000.0) / 10000.0;
}

struct Figures
{
    int bills = 0;
    int lines = 0;
    int operations = 0;
    int wrongTotals = 0;
    int partialBills = 0;
};

} // namespace

class TestBillCrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedSavesLeaveWholeBills();

private:
    // Runs the child until it is ready and then some random microseconds,
    // and kills it. Returns the operations it finished, -1 when it ended on
    // its own.
    int runAndKill(const QString &file, quint32 seed, int microseconds);
    Figures check();
};

int TestBillCrash::runAndKill(const QString &file, quint32 seed, int microseconds)
{
    QProcess child;
    child.start(QStringLiteral(BILLSAVE_CHILD), {file, QString::number(seed)});
    if (!child.waitForStarted(10000))
        return -1;
    QByteArray out;
    while (!out.contains('\n') && child.waitForReadyRead(10000))
        out += child.readAllStandardOutput();
    QThread::usleep(microseconds);
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished(10000);
    out += child.readAllStandardOutput();
    if (child.exitStatus() != QProcess::CrashExit) {
        qWarning("child ended on its own: %s", child.readAllStandardError().constData());
        return -1;
    }
    return int(out.count('.'));
}

Figures TestBillCrash::check()
{
    Figures f;
    QSqlQuery q = ExecSql(QStringLiteral(
        "select b.price, b.quantity, b.pi, b.comment, count(s.id), "
        "sum(s.quantity*s.price), sum(s.quantity), sum(s.pi) "
        "from bill b left join billsub s on s.pid=b.id group by b.id, b.price, b.quantity, b.pi, b.comment"));
    while (q.next()) {
        ++f.bills;
        const int lines = q.value(4).toInt();
        f.lines += lines;
        if (q.value(0).toDouble() != round4(q.value(5).toDouble())
            || q.value(1).toDouble() != round4(q.value(6).toDouble())
            || q.value(2).toDouble() != round4(q.value(7).toDouble()))
            ++f.wrongTotals;
        // "n:<count>": exactly that many lines; "d:<count>": at most that many.
        const QString comment = q.value(3).toString();
        const int recorded = comment.mid(2).toInt();
        if (comment.startsWith(QLatin1String("n:")) ? lines != recorded : lines > recorded || lines == 0)
            ++f.partialBills;
    }
    return f;
}

void TestBillCrash::killedSavesLeaveWholeBills()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ovBill.db"));
    ConnectDatabaseAt(file);
    CloseDatabase();

    QRandomGenerator rng(20240309);
    int operations = 0;
    for (int i = 0; i < Kills; ++i) {
        const int done = runAndKill(file, rng.generate(), rng.bounded(MaxRunMicroseconds));
        QVERIFY2(done >= 0, "the child did not run until it was killed");
        operations += done;
    }

    ConnectDatabaseAt(file);
    const Figures f = check();
    const QString integrity = LookupValue(QStringLiteral("*"), QStringLiteral("pragma_integrity_check")).toString();
    const int orphans = LookupValue(QStringLiteral("count(*)"), QStringLiteral("billsub"),
                                    {QStringLiteral("pid not in (select id from bill)"), {}})
                            .toInt();
    CloseDatabase();

    qInfo("kills %d, operations finished %d, bills stored %d, lines %d, "
          "partial bills %d, wrong totals %d, orphan lines %d, integrity %s",
          Kills, operations, f.bills, f.lines, f.partialBills, f.wrongTotals, orphans, qPrintable(integrity));
    QCOMPARE(f.partialBills, 0);
    QCOMPARE(f.wrongTotals, 0);
    QCOMPARE(orphans, 0);
    QCOMPARE(integrity, QStringLiteral("ok"));
    QVERIFY(f.bills > 0);
}

QTEST_MAIN(TestBillCrash)
#include "tst_billcrash.moc"
