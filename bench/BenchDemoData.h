#pragma once

// The demo books the window benchmarks measure on (the generator's default
// size: 100,000 bills, 1,000,000 lines, 5,000 clients, 50,000 articles),
// generated on first use into ~/.cache/tovik/bench_query and shared by the
// benchmarks, or named by TOVIK_QUERY_DB (an ovBill.db).

#include "demodata/DemoData.h"
#include "schema/Schema.h"
#include "shared/data/Database.h"
#include "shared/data/DbError.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>

inline QString demoDatabasePath()
{
    const QString given = qEnvironmentVariable("TOVIK_QUERY_DB");
    if (!given.isEmpty())
        return given;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/tovik/bench_query");
    QDir().mkpath(folder);
    // A schema change makes a new database: the figures are of the tables
    // and indexes the program creates.
    const QByteArray schema = Schema::createStatements().join(u';').toUtf8();
    return folder + QStringLiteral("/ovBill-%1.db").arg(qHash(schema), 8, 16, QLatin1Char('0'));
}

// Opens DbConnection on the demo books, generating them first when missing;
// false (after saying why) when that fails.
inline bool connectDemoDatabase(const QString &path)
{
    try {
        if (QFile::exists(path)) {
            ConnectDatabaseAt(path);
        } else {
            std::fprintf(stderr, "generating %s ...\n", qPrintable(path));
            MakeDemoData(path, DemoDataSize(), [](const QString &t) { std::fprintf(stderr, "  %s\n", qPrintable(t)); });
        }
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return false;
    }
    return true;
}
