#include "PgCluster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QtTest>

#include <signal.h>

namespace {

constexpr int Port = 5432;

QString socketOf(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".s.PGSQL.%1").arg(Port));
}

// In memory where there is a memory file system: the server writes every
// new database out in full.
QString clusterTemplate()
{
    const QString memory = QStringLiteral("/dev/shm");
    return (QFileInfo(memory).isDir() ? memory : QDir::tempPath()) + QStringLiteral("/tovik-pg-XXXXXX");
}

} // namespace

PgCluster &PgCluster::instance()
{
    static PgCluster cluster;
    return cluster;
}

PgCluster::PgCluster()
    : m_ownDir(clusterTemplate())
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        m_skipReason = QStringLiteral("Qt's QPSQL driver is missing (libqt6sql6-psql): server case skipped");
        return;
    }
    const QString shared = qEnvironmentVariable("TOVIK_TEST_PGHOST");
    if (!shared.isEmpty() && QFile::exists(socketOf(shared)))
        m_socketDir = shared;
    else
        startOwnServer();
}

PgCluster::~PgCluster()
{
    // SIGQUIT: an immediate stop; the data goes with the folder anyway.
    if (m_ownServer.state() != QProcess::NotRunning) {
        ::kill(pid_t(m_ownServer.processId()), SIGQUIT);
        m_ownServer.waitForFinished(10000);
    }
}

void PgCluster::startOwnServer()
{
    const QString log = m_ownDir.filePath(QStringLiteral("log"));
    m_ownServer.setStandardOutputFile(log);
    m_ownServer.setStandardErrorFile(log, QIODevice::Append);
    m_ownServer.start(QStringLiteral(TOVIK_PGCLUSTER_SCRIPT), {QStringLiteral("serve"), m_ownDir.path()});
    const bool settled = m_ownServer.waitForStarted(10000)
        && QTest::qWaitFor([this] { return m_ownServer.state() != QProcess::Running || ownServerReady(); }, 120000);
    if (settled && m_ownServer.state() == QProcess::NotRunning && m_ownServer.exitCode() == 77) {
        m_skipReason = QStringLiteral("PostgreSQL is not installed (apt-get install postgresql): server case skipped");
        return;
    }
    if (!ownServerReady())
        qFatal("PgCluster: the server did not start, see %s", qPrintable(log));
    m_socketDir = m_ownDir.path();
}

// What pg_ctl -w looks for: the server marks its pid file "ready" once it
// accepts connections.
bool PgCluster::ownServerReady() const
{
    QFile pidFile(m_ownDir.filePath(QStringLiteral("data/postmaster.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = pidFile.readAll().split('\n');
    return lines.size() > 7 && lines.at(7).trimmed() == "ready";
}

QString PgCluster::newName()
{
    // Several test processes share the run's server.
    return QStringLiteral("tovik_%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_count);
}

QString PgCluster::createDatabase()
{
    const QString name = newName();
    runAdmin(QStringLiteral("create database ") + name);
    return uriOf(name);
}

QString PgCluster::copyDatabase(const QString &source)
{
    const QString name = newName();
    runAdmin(QStringLiteral("create database %1 template %2").arg(name, QUrl(source).path().mid(1)));
    return uriOf(name);
}

void PgCluster::dropDatabase(const QString &uri)
{
    runAdmin(QStringLiteral("drop database %1 with (force)").arg(QUrl(uri).path().mid(1)));
}

void PgCluster::runAdmin(const QString &sql) const
{
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("PgClusterAdmin"));
        admin.setHostName(m_socketDir);
        admin.setPort(Port);
        admin.setUserName(QStringLiteral("tovik"));
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open())
            qFatal("PgCluster: %s", qPrintable(admin.lastError().text()));
        QSqlQuery query(admin);
        if (!query.exec(sql))
            qFatal("PgCluster: %s", qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("PgClusterAdmin"));
}

QString PgCluster::uriOf(const QString &database) const
{
    return QStringLiteral("postgresql://tovik@/%1?host=%2&port=%3").arg(database, m_socketDir).arg(Port);
}
