#pragma once

// A throwaway PostgreSQL server for the tests of one process: initdb and
// pg_ctl in a private temporary folder, reachable only through a Unix socket
// in that folder. The server refuses to run as root, so as root (CI) it runs
// as "nobody". Where PostgreSQL is not installed, skipReason() says so.

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <pwd.h>
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
        if (m_running)
            run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"), QStringLiteral("immediate"),
                                           QStringLiteral("stop")});
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
        if (geteuid() == 0) {
            const passwd *nobody = getpwnam("nobody");
            if (!nobody || chown(QFile::encodeName(m_dir.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                qFatal("PgCluster: cannot hand %s to nobody", qPrintable(m_dir.path()));
        }
        if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QStringLiteral("tovik"),
                                            QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                                            QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
                                            QStringLiteral("--no-sync")}))
            qFatal("PgCluster: initdb failed");
        // No TCP at all; fsync off: the data lives as long as the test.
        const QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses= -F").arg(m_dir.path()).arg(Port);
        if (!run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                                            m_dir.filePath(QStringLiteral("log")), QStringLiteral("-o"), options,
                                            QStringLiteral("-w"), QStringLiteral("start")}))
            qFatal("PgCluster: pg_ctl start failed, see %s", qPrintable(m_dir.filePath(QStringLiteral("log"))));
        m_running = true;
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
    QString m_bin;
    QString m_skipReason;
    bool m_running = false;
    int m_count = 0;
};
