#include "TestDatabase.h"

#include "PgCluster.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"

#include <QDate>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// The new database every test starts from, built as the program builds one
// (tables, search codes, password row) and then closed, so that copies of
// it are what a fresh build gives.
QString templateLocation()
{
    static const QString location = [] {
        QString built;
        if (TestDatabase::onServer()) {
            built = PgCluster::instance().createDatabase();
        } else {
            static QTemporaryDir dir;
            built = dir.filePath(QStringLiteral("ovBill.db"));
        }
        ConnectDatabaseAt(built);
        CloseDatabase();
        return built;
    }();
    return location;
}

} // namespace

bool TestDatabase::onServer()
{
    return qEnvironmentVariable("TOVIK_TEST_ENGINE") == QLatin1String("postgresql");
}

QString TestDatabase::skipReason()
{
    return onServer() ? PgCluster::instance().skipReason() : QString();
}

TestDatabase::TestDatabase()
{
    qputenv("TOVIK_DATA_DIR", m_dir.path().toUtf8());
    if (onServer()) {
        m_location = PgCluster::instance().copyDatabase(templateLocation());
    } else {
        // Closed in WAL mode, the template is one file.
        if (!QFile::copy(templateLocation(), file()))
            qFatal("TestDatabase: cannot copy the new database into %s", qPrintable(folder()));
        m_location = file();
    }
    ConnectDatabaseAt(m_location);
}

TestDatabase::~TestDatabase()
{
    CloseDatabase();
    // The run's server outlives this process: its databases go as they end.
    if (onServer())
        PgCluster::instance().dropDatabase(m_location);
}

QString BooksText()
{
    const auto cell = [](const QSqlQuery &q, int i) {
        const QVariant value = q.value(i);
        if (value.isNull())
            return QStringLiteral("∅");
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        return value.typeId() == QMetaType::QString ? value.toString() : QVariant(value.toDouble()).toString();
    };
    QString text;
    for (const QString &table : {QStringLiteral("bill"), QStringLiteral("billsub"), QStringLiteral("client"),
                                 QStringLiteral("artno"), QStringLiteral("serv")}) {
        QSqlQuery q = ExecSql(QStringLiteral("select * from %1 order by id").arg(table));
        while (q.next()) {
            text += table;
            for (int i = 0; i < q.record().count(); ++i) {
                if (q.record().fieldName(i) != QLatin1String("listkey"))
                    text += QLatin1Char('|') + cell(q, i);
            }
            text += QLatin1Char('\n');
        }
    }
    return text;
}
