#pragma once

// A fresh database in a private data folder for one test, opened as
// DbConnection: an ovBill.db file, or, when the test runs with
// TOVIK_TEST_ENGINE=postgresql, a new database on a throwaway server.

#include "PgCluster.h"
#include "shared/data/Database.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDatabase
{
public:
    static bool onServer() { return qEnvironmentVariable("TOVIK_TEST_ENGINE") == QLatin1String("postgresql"); }

    // Why this process cannot run its server case; empty when it can (or
    // runs on SQLite). Call from initTestCase() and QSKIP with it.
    static QString skipReason() { return onServer() ? PgCluster::instance().skipReason() : QString(); }

    TestDatabase()
    {
        qputenv("TOVIK_DATA_DIR", m_dir.path().toUtf8());
        if (onServer())
            ConnectDatabaseAt(m_location = PgCluster::instance().createDatabase());
        else
            ConnectDatabaseAt(m_location = file());
    }
    ~TestDatabase() { CloseDatabase(); }

    QString folder() const { return m_dir.path(); }
    QString file() const { return m_dir.filePath(QStringLiteral("ovBill.db")); }
    // What ConnectDatabaseAt() takes to open this database again.
    QString location() const { return m_location; }

private:
    QTemporaryDir m_dir;
    QString m_location;
};
