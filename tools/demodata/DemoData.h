#pragma once

#include <QString>

#include <functional>

// A believable trader's books for trying the program and measuring it: bills
// over several years for clients big and small, each with its lines of
// articles, pieces and weights, and the clients, articles and value lists
// behind them. The same seed gives the same books.
struct DemoDataSize
{
    int bills = 100000;
    int lines = 1000000;
    int clients = 5000;
    int articles = 50000;
    int years = 5;
    quint32 seed = 20240601;
};

// Creates a new database at file through the program's own ConnectDatabaseAt
// (so its tables are the program's) and fills it; DbConnection stays open on
// it. An existing file is never touched: DbError is thrown, as for any
// database error. progress, when given, hears what is being written.
void MakeDemoData(const QString &file, const DemoDataSize &size,
                  const std::function<void(const QString &)> &progress = {});
