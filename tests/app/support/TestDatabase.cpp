#include "TestDatabase.h"

#include "PgCluster.h"
#include "shared/data/Database.h"

#include <QFile>

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
