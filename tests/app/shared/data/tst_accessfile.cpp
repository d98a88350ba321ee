// Reading the Windows program's Access files, checked on two files that
// Access itself wrote (public test files of the mdbtools project).

#include "shared/data/AccessCopy.h"
#include "shared/data/AccessFile.h"
#include "shared/data/DbError.h"

#include <QtTest>

class TestAccessFile : public QObject
{
    Q_OBJECT

    QString fixture(const QString &name) const { return m_dir.filePath(name); }

    // The row whose first column reads key, as read through columns.
    static QVariantList rowOf(const AccessFile &file, const QString &table, const QStringList &columns, const QVariant &key)
    {
        QVariantList found;
        file.read(table, columns, [&](const QVariantList &row) {
            if (row.constFirst() == key)
                found = row;
        });
        return found;
    }

    QDir m_dir;

private slots:
    void initTestCase()
    {
        m_dir = QDir(qEnvironmentVariable("TOVIK_SOURCE_DIR") + QStringLiteral("/../shared/fixtures/mdb"));
        if (!m_dir.exists(QStringLiteral("nwind.mdb")))
            QSKIP("the Access fixtures (../shared/fixtures/mdb) are not here");
    }

    void values_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QVariantList>("expected");
        const auto date = [](int y, int m, int d) { return QVariant(QDate(y, m, d)); };
        const QVariant null;
        // Jet 4: Long, DateTime with and without a time (years the
        // command-line tools print as 1900-01-00), Memo and Text.
        QTest::newRow("jet4 date and time") << "DateTestDatabase.mdb" << "DateTest"
            << QStringList{"IDCol", "DateTimeCol", "TimeCol", "LongTextCol", "ShortTextCol"}
            << QVariantList{qint64(1), date(2021, 12, 2), date(2021, 12, 2), "Hello", "Hello"};
        QTest::newRow("jet4 year 9999") << "DateTestDatabase.mdb" << "DateTest"
            << QStringList{"IDCol", "DateCol", "LongTextCol"} << QVariantList{qint64(2), date(9999, 1, 1), "Year 9999"};
        QTest::newRow("jet4 before 1900") << "DateTestDatabase.mdb" << "DateTest"
            << QStringList{"IDCol", "DateTimeCol", "DateCol", "TimeCol"}
            << QVariantList{qint64(3), date(1898, 1, 1), date(1899, 1, 1), date(1900, 1, 1)};
        QTest::newRow("jet4 memo line break") << "DateTestDatabase.mdb" << "DateTest"
            << QStringList{"IDCol", "LongTextCol", "ShortTextCol"} << QVariantList{qint64(6), "New line\r\nin field", "No new line"};
        // Jet 3: text in the file's code page (1252 here), Null kept apart
        // from "", Currency, Integer and Single exact, a memo on its own page.
        QTest::newRow("jet3 code page, Null") << "nwind.mdb" << "Customers"
            << QStringList{"CustomerID", "CompanyName", "City", "Region", "Fax"}
            << QVariantList{"ANTON", "Antonio Moreno Taquería", "México D.F.", null, null};
        QTest::newRow("jet3 currency, integer") << "nwind.mdb" << "Products"
            << QStringList{"ProductID", "UnitPrice", "UnitsInStock"} << QVariantList{qint64(2), 19.0, qint64(17)};
        QTest::newRow("jet3 memo, date") << "nwind.mdb" << "Employees"
            << QStringList{"EmployeeID", "BirthDate", "Notes"}
            << QVariantList{qint64(1), date(1948, 12, 8),
                            "Education includes a BA in psychology from Colorado State University in 1970.  She also "
                            "completed \"The Art of the Cold Call.\"  Nancy is a member of Toastmasters International."};
        QTest::newRow("jet3 non-ASCII table, currency cents") << "nwind.mdb" << "Umsätze"
            << QStringList{"OrderID", "Freight", "ShipAddress"}
            << QVariantList{qint64(10330), 12.75, "Carrera 52 con Ave. Bolívar #65-98 Llano Largo"};
    }

    void values()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QVariantList, expected);
        const AccessFile access(fixture(file));
        const QVariantList row = rowOf(access, table, columns, expected.constFirst());
        QCOMPARE(row.size(), expected.size());
        for (int i = 0; i < row.size(); ++i) {
            QCOMPARE(row.at(i).isNull(), expected.at(i).isNull());
            QCOMPARE(row.at(i), expected.at(i));
        }
    }

    // A Single comes out as the decimal typed, 0.15 and not 0.15000001 as
    // the command-line tools print it;
    // every row of the table is read.
    void singlesAndCount()
    {
        const AccessFile access(fixture(QStringLiteral("nwind.mdb")));
        QSet<double> discounts;
        int rows = 0;
        access.read(QStringLiteral("Order Details"), {QStringLiteral("Discount")}, [&](const QVariantList &row) {
            discounts.insert(row.constFirst().toDouble());
            ++rows;
        });
        QCOMPARE(rows, 2155);
        QCOMPARE(discounts, (QSet<double>{0, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.1, 0.15, 0.2, 0.25}));
    }

    // Files that are not the program's books are refused with a message
    // that says why; another code page reads the same bytes otherwise.
    void refusals()
    {
        const AccessFile nwind(fixture(QStringLiteral("nwind.mdb")));
        try {
            CheckAccessTables(nwind);
            QFAIL("a file without the program's tables was taken");
        } catch (const DbError &e) {
            QCOMPARE(e.text(), QStringLiteral("这不是本程序的 Access 数据库：缺少表 bill"));
        }
        QVERIFY_THROWS_EXCEPTION(DbError, nwind.read(QStringLiteral("Customers"), {QStringLiteral("Nothing")}, [](const QVariantList &) {}));

        const AccessFile greek(fixture(QStringLiteral("nwind.mdb")), "CP1253");
        QCOMPARE(rowOf(greek, QStringLiteral("Customers"), {QStringLiteral("CustomerID"), QStringLiteral("CompanyName")},
                       QStringLiteral("ANTON")).value(1),
                 QVariant(QStringLiteral("Antonio Moreno Taquerνa")));
    }
};

QTEST_GUILESS_MAIN(TestAccessFile)
#include "tst_accessfile.moc"
