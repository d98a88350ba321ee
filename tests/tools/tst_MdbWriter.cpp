// Files from MdbWriter read back through mdbtools' command-line tools (the
// import's tests read them in-process through libmdb).

#include "MdbWriter.h"

#include <QDateTime>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList EveryColumn{"id", "flag", "small", "whole", "amount", "ratio", "weight", "when", "name", "note", "tiny"};

// One row of values and how mdbtools renders it; the command-line tools print
// an empty string like Null and a character beyond the BMP as "??".
struct Case
{
    QVariantList values;
    QString rendered;
};

QList<Case> everyTypeCases()
{
    QVariantList nulls{4};
    nulls.resize(EveryColumn.size());
    return {
        {{1, true, 12, 123456, QStringLiteral("12.3456"), 1.5f, 2.25, QDate(1999, 1, 1), QStringLiteral("张三"),
          QStringLiteral("备注"), 255},
         "1|1|12|123456|12.3456|1.5|2.25|1999-01-01 00:00:00|张三|备注|255"},
        {{2, false, -32768, -7, QStringLiteral("-0.5"), -2.5f, -1234.5678,
          QDateTime(QDate(2030, 12, 31), QTime(18, 30)), QStringLiteral("\U00020000记"), QString(), 0},
         "2|0|-32768|-7|-0.5000|-2.5|-1234.5678|2030-12-31 18:30:00|??记||0"},
        {{3, true, 0, 0, QVariant::fromValue(MdbCurrency{-1}), 0.0f, 0.0, QDate(1899, 12, 30), QString(),
          QStringLiteral("长").repeated(1500), 1},
         "3|1|0|0|-0.0001|0|0|1899-12-30 00:00:00||" + QStringLiteral("长").repeated(1500) + "|1"},
        {nulls, "4|0|||||||||"},
        {{5, false, 1, 2, 0.1 + 0.2, 0.25f, 0.1, QDate(2000, 2, 29), QStringLiteral("李四"), QVariant(), QVariant()},
         "5|0|1|2|0.3000|0.25|0.1|2000-02-29 00:00:00|李四||"},
    };
}

QList<MdbColumnDef> everyType()
{
    return {{"id", MdbType::Long, 0, true}, {"flag", MdbType::Boolean}, {"small", MdbType::Integer},
            {"whole", MdbType::Long},       {"amount", MdbType::Currency}, {"ratio", MdbType::Single},
            {"weight", MdbType::Double},    {"when", MdbType::DateTime},   {"name", MdbType::Text, 20},
            {"note", MdbType::Memo},        {"tiny", MdbType::Byte}};
}

QString run(const QStringList &arguments)
{
    QProcess process;
    process.start(arguments.first(), arguments.mid(1));
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qWarning() << arguments << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList exported(const QString &file, const QString &table)
{
    const QString format = QStringLiteral("%Y-%m-%d %H:%M:%S");
    return run({"mdb-export", "-Q", "-d", "|", "-D", format, "-T", format, file, table}).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class tst_MdbWriter : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void everyTypeReadsBack()
    {
        const QString file = m_dir.filePath("every.mdb");
        MdbWriter writer;
        QVERIFY(writer.open(file));
        MdbTable &table = writer.addTable("every", everyType());
        writer.addTable("empty", {{"x", MdbType::Text}});
        QStringList expected{EveryColumn.join(u'|')};
        for (const Case &c : everyTypeCases()) {
            QVERIFY2(table.addRow(c.values), qPrintable(writer.errorString()));
            expected << c.rendered;
        }
        QVERIFY2(writer.close(), qPrintable(writer.errorString()));

        QCOMPARE(run({"mdb-tables", "-1", file}).split(u'\n', Qt::SkipEmptyParts), QStringList({"every", "empty"}));
        const QString schema = run({"mdb-schema", "-T", "every", file}).simplified();
        QVERIFY2(schema.contains("[id] Long Integer, [flag] Boolean NOT NULL, [small] Integer, [whole] Long Integer, "
                                 "[amount] Currency, [ratio] Single, [weight] Double, [when] DateTime, "
                                 "[name] Text (20), [note] Memo/Hyperlink (255), [tiny] Byte"),
                 qPrintable(schema));
        QCOMPARE(exported(file, "every"), expected);
        QCOMPARE(exported(file, "empty"), QStringList{"x"});
    }

    // Two tables filled in turns, so that neither's pages follow each other,
    // over many pages, with usage maps both inline and in bitmap pages.
    void manyRowsOverManyPages_data()
    {
        QTest::addColumn<int>("inlineMapLimit");
        QTest::newRow("inline maps") << 512;
        QTest::newRow("bitmap pages") << 1;
    }
    void manyRowsOverManyPages()
    {
        QFETCH(int, inlineMapLimit);
        const QString file = m_dir.filePath("many.mdb");
        MdbWriter writer;
        writer.setInlineMapLimit(inlineMapLimit);
        QVERIFY(writer.open(file));
        MdbTable &bills = writer.addTable("bill", {{"id", MdbType::Long}, {"client", MdbType::Text, 50}});
        MdbTable &lines = writer.addTable("billsub", {{"id", MdbType::Long}, {"pid", MdbType::Long},
                                                      {"price", MdbType::Currency}});
        const int count = 20000;
        for (int i = 1; i <= count; ++i) {
            QVERIFY(lines.addRow({i, (i + 9) / 10, QVariant::fromValue(MdbCurrency{i})}));
            if (i % 10 == 0)
                QVERIFY(bills.addRow({i / 10, QStringLiteral("客户%1").arg(i / 10)}));
        }
        QVERIFY2(writer.close(), qPrintable(writer.errorString()));
        QVERIFY(QFileInfo(file).size() > 100 * 4096);

        const QStringList billRows = exported(file, "bill");
        QCOMPARE(billRows.size(), count / 10 + 1);
        QCOMPARE(billRows.last(), QStringLiteral("2000|客户2000"));
        const QStringList lineRows = exported(file, "billsub");
        QCOMPARE(lineRows.size(), count + 1);
        for (int i = 1; i <= count; ++i)
            QCOMPARE(lineRows[i], QStringLiteral("%1|%2|%3").arg(i).arg((i + 9) / 10).arg(i / 10000.0, 0, 'f', 4));
    }

private:
    QTemporaryDir m_dir;
};


int main(int argc, char **argv)
{
    if (QStandardPaths::findExecutable("mdb-tables").isEmpty()) {
        std::fprintf(stderr, "mdbtools is not installed (apt-get install mdbtools): skipped\n");
        return 77;
    }
    QCoreApplication app(argc, argv);
    tst_MdbWriter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MdbWriter.moc"
