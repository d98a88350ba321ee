#pragma once

// The PostgreSQL server the server tests work on. Under ctest it is the one
// server of the whole run, which the fixture pgcluster starts and whose
// socket folder TOVIK_TEST_PGHOST names. A test run by hand starts its own
// (pgcluster.sh serve) in a private temporary folder, a child that quits
// when the test ends or dies. Where PostgreSQL is not installed,
// skipReason() says so.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PgCluster
{
public:
    static PgCluster &instance();

    QString skipReason() const { return m_skipReason; }

    // A new, empty database of its own for each call, as a URI.
    QString createDatabase();
    // A new database as a copy of another one of this server, as a URI.
    QString copyDatabase(const QString &source);
    // Gone with its data; the connections to it are ended.
    void dropDatabase(const QString &uri);

    ~PgCluster();

private:
    PgCluster();
    QString uriOf(const QString &database) const;
    void startOwnServer();
    bool ownServerReady() const;
    QString newName();
    void runAdmin(const QString &sql) const;

    QString m_socketDir;
    QTemporaryDir m_ownDir;
    QProcess m_ownServer;
    QString m_skipReason;
    int m_count = 0;
};
