#pragma once

// A fresh ovBill.db in a private data folder for one test, opened as
// DbConnection.

#include "shared/data/Database.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDatabase
{
public:
    TestDatabase()
    {
        qputenv("TOVIK_DATA_DIR", m_dir.path().toUtf8());
        ConnectDatabase();
    }
    ~TestDatabase() { CloseDatabase(); }

    QString folder() const { return m_dir.path(); }
    QString file() const { return m_dir.filePath(QStringLiteral("ovBill.db")); }

private:
    QTemporaryDir m_dir;
};
