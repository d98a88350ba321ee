#pragma once

// A fresh database in a private data folder for one test, opened as
// DbConnection: an ovBill.db file, or, when the test runs with
// TOVIK_TEST_ENGINE=postgresql, a database of its own on the test server.
// Each is a copy of one new database the process builds the first time.

#include <QString>
#include <QTemporaryDir>

class TestDatabase
{
public:
    static bool onServer();

    // Why this process cannot run its server case; empty when it can (or
    // runs on SQLite). Call from initTestCase() and QSKIP with it.
    static QString skipReason();

    TestDatabase();
    ~TestDatabase();
    Q_DISABLE_COPY_MOVE(TestDatabase)

    QString folder() const { return m_dir.path(); }
    QString file() const { return m_dir.filePath(QStringLiteral("ovBill.db")); }
    // What ConnectDatabaseAt() takes to open this database again.
    QString location() const { return m_location; }

private:
    QTemporaryDir m_dir;
    QString m_location;
};

// The open database's books as text, a line per row of the five data tables
// by id: a Null as ∅, dates in ISO form, numbers as doubles, so the same
// books read alike from either engine. SQLite's sort keys are left out.
QString BooksText();
