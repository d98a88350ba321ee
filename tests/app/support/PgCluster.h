#pragma once

// A throwaway PostgreSQL server for the tests of one process: initdb in a
// private temporary folder, the server a child of the test reachable only
// through a Unix socket in that folder, and told to quit when the test dies
// however it dies. The server refuses to run as root, so as root (CI) it
// runs as "nobody". Where PostgreSQL is not installed, skipReason() says so.

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <QThread>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

class PgCluster
{
public:
    static PgCluster &instance()
    {
        static PgCluster cluster;
        return cluster;
    }

    QString skipReason() const { return m_skipReason; }

    // A new, empty database of its own for each call, as a URI.
    QString createDatabase()
    {
        const QString name = QStringLiteral("tovik_%1").arg(++m_count);
        {
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("PgClusterAdmin"));
            admin.setHostName(m_dir.path());
            admin.setPort(Port);
            admin.setUserName(QStringLiteral("tovik"));
            admin.setDatabaseName(QStringLiteral("postgres"));
            if (!admin.open())
                qFatal("PgCluster: %s", qPrintable(admin.lastError().text()));
            QSqlQuery query(admin);
            if (!query.exec(QStringLiteral("create database ") + name))
                qFatal("PgCluster: %s", qPrintable(query.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("PgClusterAdmin"));
        return uriOf(name);
    }

    QString uriOf(const QString &database) const
    {
        return QStringLiteral("postgresql://tovik@/%1?host=%2&port=%3").arg(database, m_dir.path()).arg(Port);
    }

    ~PgCluster()
    {
        // SIGQUIT: an immediate stop; the data goes with the folder anyway.
        if (m_server.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_server.processId()), SIGQUIT);
            m_server.waitForFinished(10000);
        }
    }

private:
    static constexpr int Port = 5432;

    PgCluster()
    {
        const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql"))
                                         .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &version : versions) {
            if (QFile::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(version)))
                m_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(version);
        }
        if (m_bin.isEmpty()) {
            m_skipReason = QStringLiteral("PostgreSQL is not installed (apt-get install postgresql): server case skipped");
            return;
        }
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
            m_skipReason = QStringLiteral("Qt's QPSQL driver is missing (libqt6sql6-psql): server case skipped");
            return;
        }
        QStringList asUser;
        if (geteuid() == 0) {
            const passwd *nobody = getpwnam("nobody");
            if (!nobody || chown(QFile::encodeName(m_dir.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                qFatal("PgCluster: cannot hand %s to nobody", qPrintable(m_dir.path()));
            asUser << QStringLiteral("--reuid=%1").arg(nobody->pw_uid) << QStringLiteral("--regid=%1").arg(nobody->pw_gid)
                   << QStringLiteral("--clear-groups");
        }
        if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QStringLiteral("tovik"),
                                            QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                                            QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
                                            QStringLiteral("--no-sync")}))
            qFatal("PgCluster: initdb failed");
        // No TCP at all; fsync off: the data lives as long as the test.
        m_server.setStandardOutputFile(m_dir.filePath(QStringLiteral("log")));
        m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("log")), QIODevice::Append);
        m_server.start(QStringLiteral("setpriv"),
                       QStringList{QStringLiteral("--pdeathsig"), QStringLiteral("SIGQUIT")} + asUser
                           + QStringList{QStringLiteral("--"), m_bin + QStringLiteral("postgres"), QStringLiteral("-D"),
                                         dataDir(), QStringLiteral("-k"), m_dir.path(), QStringLiteral("-p"),
                                         QString::number(Port), QStringLiteral("-c"),
                                         QStringLiteral("listen_addresses="), QStringLiteral("-F")});
        if (!m_server.waitForStarted(10000) || !waitUntilReady())
            qFatal("PgCluster: the server did not start, see %s", qPrintable(m_dir.filePath(QStringLiteral("log"))));
    }

    bool waitUntilReady()
    {
        for (int i = 0; i < 300 && m_server.state() == QProcess::Running; ++i) {
            bool ready = false;
            {
                QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("PgClusterProbe"));
                probe.setHostName(m_dir.path());
                probe.setPort(Port);
                probe.setUserName(QStringLiteral("tovik"));
                probe.setDatabaseName(QStringLiteral("postgres"));
                ready = probe.open();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("PgClusterProbe"));
            if (ready)
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }

    bool run(const QString &tool, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        if (geteuid() == 0)
            process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                                                 QStringLiteral("--"), m_bin + tool}
                                                         + arguments);
        else
            process.start(m_bin + tool, arguments);
        return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_bin;
    QString m_skipReason;
    int m_count = 0;
};
