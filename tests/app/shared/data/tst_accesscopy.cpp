// Moving the Windows program's books (an Access file, written here by
// tools/mdbwriter) with "--copy-database", into SQLite and into a server:
// every value compared with what was written, the old password still opens,
// and every refusal leaves the target and the source as they were.

#include "MdbWriter.h"
#include "PgCluster.h"
#include "TestDatabase.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/DatabaseCopy.h"
#include "shared/data/DbError.h"
#include "shared/data/Password.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString OldPassword = QStringLiteral("旧密码1");
const QVariant Null;

QByteArray digest(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

MdbColumnDef text(const char *name) { return {QString::fromLatin1(name), MdbType::Text, 100}; }
MdbColumnDef typed(const char *name, MdbType type) { return {QString::fromLatin1(name), type}; }
MdbColumnDef key() { return {QStringLiteral("id"), MdbType::Long, 0, true}; }

// The old books, kept as rows so that the copy can be compared with them:
// Chinese and a character beyond the Basic Multilingual Plane, Nulls in
// every column type, "" apart from Null, negative and fractional amounts,
// dates from 1999 to 2030 (one with a time, one Null, one in 1850), id gaps
// and lines whose bill is gone or was never named.
struct OldBooks
{
    QList<QPair<QString, QList<QVariantList>>> tables;
    QList<QList<MdbColumnDef>> columns;

    OldBooks()
    {
        QList<QVariantList> bills, lines;
        for (int b = 0; b < 300; ++b) {
            const qint64 id = 2 * b + 1;
            QVariant date = QDate(1999, 1, 1).addDays(b * 39);
            if (b == 1)
                date = QDateTime(QDate(2024, 2, 29), QTime(17, 45));
            if (b == 2)
                date = Null;
            if (b == 3)
                date = QDate(1850, 6, 1);
            const QVariant client = b == 4 ? Null : b == 5 ? QVariant(QString(QLatin1String(""))) : b == 6 ? QVariant(QStringLiteral("\U00020000记布行")) : QVariant(QStringLiteral("客户%1").arg(b % 40));
            bills.append({id, date, client, QStringLiteral("电话%1").arg(b), QStringLiteral("王芳"), b == 7 ? Null : QVariant(QStringLiteral("李")),
                          QStringLiteral("张"), QStringLiteral("赵"), b % 3 ? QStringLiteral("备注“%1”").arg(b) : QString(QLatin1String("")),
                          QStringLiteral("%1.%2").arg(b * 7 - 300).arg(b % 10000, 4, 10, QLatin1Char('0')), 1.0 / 3 + b, b == 8 ? Null : QVariant(-12.25 + b)});
            for (int l = 0; l < 10; ++l) {
                QVariantList line{qint64(10 * b + l + 1), id, QStringLiteral("A-%1").arg(l), QStringLiteral("丝绸"), b % 5 ? QVariant(QStringLiteral("%1号").arg(l)) : Null};
                for (int p = 1; p <= 10; ++p)
                    line << (p == 10 && l == 3 ? Null : QVariant(p * 1.25 - l * 0.5 + b * 0.0001));
                line << 12.3456 * l - 3 << (l == 9 ? Null : QVariant(QStringLiteral("-%1.2345").arg(l))) << double(l);
                lines.append(line);
            }
        }
        lines.append({qint64(5000), qint64(2), QStringLiteral("X"), QStringLiteral("无单据"), Null, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 55.0, QStringLiteral("1"), 10.0});
        QVariantList nothing(18);
        nothing[0] = qint64(5001);
        lines.append(nothing);
        tables = {
            {QStringLiteral("bill"), bills},
            {QStringLiteral("billsub"), lines},
            {QStringLiteral("client"), {{qint64(3), QStringLiteral("杭州丝绸"), QStringLiteral("0571"), QStringLiteral("hzsc")}, {qint64(9), Null, Null, Null}}},
            {QStringLiteral("artno"), {{qint64(1), QStringLiteral("A-1"), QStringLiteral("麻布"), Null, QStringLiteral("3.2500"), QStringLiteral("a-1 mb")}, {qint64(4), QStringLiteral("B"), QString(QLatin1String("")), QStringLiteral("红"), Null, Null}}},
            {QStringLiteral("serv"), {{qint64(2), QStringLiteral("man1"), QStringLiteral("王芳")}, {qint64(7), QStringLiteral("color"), Null}}},
            {QStringLiteral("tblinfo"), {{OldPassword}}},
            // 红 is ours already; the other two are new here.
            {QStringLiteral("tblspell"), {{QStringLiteral("红"), QStringLiteral("x")}, {QStringLiteral("〇"), QStringLiteral("l")}, {QStringLiteral("\uE000"), QStringLiteral("z")}}},
        };
        QList<MdbColumnDef> bill{key(), typed("date", MdbType::DateTime), text("client"), text("link"), text("man1"), text("man2"), text("man3"), text("man4"),
                                 text("comment"), typed("price", MdbType::Currency), typed("pi", MdbType::Double), typed("quantity", MdbType::Single)};
        QList<MdbColumnDef> line{key(), typed("pid", MdbType::Long), text("artno"), text("product"), text("color")};
        for (int p = 1; p <= 10; ++p)
            line << MdbColumnDef{QStringLiteral("col%1").arg(p), MdbType::Double};
        line << typed("quantity", MdbType::Double) << typed("price", MdbType::Currency) << typed("pi", MdbType::Integer);
        // quantity is a Single in the bills: -12.25 + b is exact in a float.
        columns = {bill, line, {key(), text("client"), text("link"), text("query")},
                   {key(), text("artno"), text("product"), text("color"), typed("price", MdbType::Currency), text("query")},
                   {key(), text("field"), text("value")}, {text("password")}, {text("word"), text("spell")}};
    }

    // Writes the books, leaving out dropColumn of dropTable when given.
    void write(const QString &path, const QString &dropTable = QString(), const QString &dropColumn = QString()) const
    {
        MdbWriter writer;
        QVERIFY(writer.open(path));
        for (int t = 0; t < tables.size(); ++t) {
            QList<MdbColumnDef> defs = columns.at(t);
            const bool dropping = tables.at(t).first == dropTable;
            const int dropped = dropping ? int(std::find_if(defs.begin(), defs.end(), [&](const MdbColumnDef &c) { return c.name == dropColumn; }) - defs.begin()) : -1;
            if (dropped >= 0)
                defs.removeAt(dropped);
            MdbTable &table = writer.addTable(tables.at(t).first, defs);
            for (QVariantList row : tables.at(t).second) {
                if (dropped >= 0)
                    row.removeAt(dropped);
                QVERIFY2(table.addRow(row), qPrintable(writer.errorString()));
            }
        }
        QVERIFY2(writer.close(), qPrintable(writer.errorString()));
    }

    // The five tables of the books as this program must hold them, one line
    // per row in id order: Null text as "", Null numbers as 0 (only a date
    // stays Null, ∅), dates without their time, bill totals to four
    // decimals; the orphan line left out.
    QString expected() const
    {
        QString out;
        for (int t = 0; t < 5; ++t) {
            QList<QVariantList> rows = tables.at(t).second;
            std::sort(rows.begin(), rows.end(), [](const QVariantList &a, const QVariantList &b) { return a.constFirst().toLongLong() < b.constFirst().toLongLong(); });
            for (const QVariantList &row : rows) {
                if (tables.at(t).first == QLatin1String("billsub") && (row.at(1).isNull() || row.at(1).toLongLong() == 2))
                    continue;
                out += tables.at(t).first;
                for (int c = 0; c < row.size(); ++c) {
                    const MdbType type = columns.at(t).at(c).type;
                    QVariant v = row.at(c);
                    if (type == MdbType::DateTime)
                        v = v.isNull() ? QStringLiteral("∅") : v.toDate().toString(Qt::ISODate);
                    else if (type == MdbType::Text)
                        v = v.toString();
                    else if (v.isNull())
                        v = 0;
                    else if (t == 0 && c >= 9)
                        v = std::round(v.toDouble() * 10000) / 10000;
                    else
                        v = v.toDouble();
                    out += QLatin1Char('|') + v.toString();
                }
                out += QLatin1Char('\n');
            }
        }
        return out;
    }
};

} // namespace

class TestAccessCopy : public QObject
{
    Q_OBJECT

    QString place(bool server, const QString &name) const
    {
        return server ? PgCluster::instance().createDatabase() : m_dir.filePath(name);
    }

    QTemporaryDir m_dir;
    OldBooks m_books;
    QString m_source;

private slots:
    void initTestCase()
    {
        m_source = m_dir.filePath(QStringLiteral("ovBill.mdb"));
        m_books.write(m_source);
    }

    void copy_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("into SQLite") << false;
        QTest::newRow("into a server") << true;
    }

    void copy()
    {
        QFETCH(bool, server);
        if (server && !PgCluster::instance().skipReason().isEmpty())
            QSKIP(qPrintable(PgCluster::instance().skipReason()));
        const QByteArray before = digest(m_source);
        const QString target = place(server, QStringLiteral("copy.db"));

        const CopyReport report = CopyBooks(m_source, target);
        QCOMPARE(digest(m_source), before);
        QCOMPARE(report.rows.at(1), (QPair<QString, qint64>(QStringLiteral("billsub"), 3000)));
        QCOMPARE(report.notes.size(), 3);
        QVERIFY(report.notes.filter(QStringLiteral("1850-06-01")).size() == 1);
        QVERIFY(report.notes.filter(QStringLiteral("2 个字")).size() == 1);
        QVERIFY(report.notes.filter(QStringLiteral("2 行明细")).size() == 1);

        ConnectDatabaseAt(target);
        QCOMPARE(BooksText(), m_books.expected());
        const QVariant stored = LookupValue(QStringLiteral("password"), QStringLiteral("tblinfo"));
        QVERIFY(stored.toString().startsWith(QLatin1String("pbkdf2")));
        QVERIFY(PasswordMatches(stored, OldPassword));
        QCOMPARE(LookupValue(QStringLiteral("spell"), QStringLiteral("tblspell"), {QStringLiteral("word=?"), {QStringLiteral("红")}}).toString(),
                 QStringLiteral("h"));
        QCOMPARE(LookupValue(QStringLiteral("spell"), QStringLiteral("tblspell"), {QStringLiteral("word=?"), {QStringLiteral("〇")}}).toString(),
                 QStringLiteral("l"));
        // New rows follow the copied ids.
        QCOMPARE(StoreRecord(QStringLiteral("bill"), 0, {{QStringLiteral("client"), QStringLiteral("新")}}), 600);
        CloseDatabase();
    }

    // Each bad source or target: one message, the target as it was (no file
    // where there was none), the source unchanged.
    void refusals_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("not an Access file") << "text" << "不是 Access 数据库文件";
        QTest::newRow("cut short") << "truncate" << "已损坏（长度不对）";
        QTest::newRow("catalog overwritten") << "catalog" << "已损坏";
        QTest::newRow("encrypted") << "key" << "请先在 Access 中解密";
        QTest::newRow("a column missing") << "column" << "表 billsub 缺少列 col10";
        QTest::newRow("target holds bills") << "target" << "目标数据库已有数据（表 bill）";
    }

    void refusals()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        const bool targetHasBills = damage == QLatin1String("target");
        const QString source = targetHasBills ? m_source : m_dir.filePath(damage + QStringLiteral(".mdb"));
        if (damage == QLatin1String("column")) {
            m_books.write(source, QStringLiteral("billsub"), QStringLiteral("col10"));
        } else if (!targetHasBills) {
            QVERIFY(QFile::copy(m_source, source));
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite));
            if (damage == QLatin1String("text"))
                QVERIFY(file.resize(0) && file.write("id,client\n1,王\n") > 0);
            else if (damage == QLatin1String("truncate"))
                QVERIFY(file.resize(4096 * 3 + 100));
            else if (damage == QLatin1String("catalog"))
                QVERIFY(file.seek(2 * 4096) && file.write(QByteArray(4096, '\x5a')) == 4096);
            // The header is RC4-encoded with a fixed key: one flipped bit of
            // the stored page key is one flipped bit of the key.
            else if (damage == QLatin1String("key"))
                QVERIFY(file.seek(0x3e) && file.write(QByteArray(1, char(file.peek(1).at(0) ^ 0x01))) == 1);
        }
        const QByteArray sourceBefore = digest(source);

        const QString target = m_dir.filePath(damage + QStringLiteral("-target.db"));
        QByteArray targetBefore;
        if (targetHasBills) {
            ConnectDatabaseAt(target);
            StoreRecord(QStringLiteral("bill"), 0, {{QStringLiteral("client"), QStringLiteral("已有")}});
            CloseDatabase();
            targetBefore = digest(target);
        }
        try {
            CopyBooks(source, target);
            QFAIL("the copy went through");
        } catch (const DbError &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QCOMPARE(digest(source), sourceBefore);
        QCOMPARE(QFile::exists(target), targetHasBills);
        if (targetHasBills)
            QCOMPARE(digest(target), targetBefore);
    }
};

QTEST_GUILESS_MAIN(TestAccessCopy)
#include "tst_accesscopy.moc"
