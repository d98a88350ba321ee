#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// Where a shared PostgreSQL database lives, read from a connection URI
// ("postgresql://user@host:port/dbname?sslmode=require"). The password never
// travels in it: libpq finds it in ~/.pgpass, PGPASSWORD or a service file.
struct ServerAddress
{
    QString host;         // a name, an address or a socket folder; empty: libpq's default
    int port = -1;        // -1: libpq's default
    QString user;
    QString databaseName;
    QStringList options;  // further libpq keywords, "key=value"

    // Whether location names a server rather than an SQLite file.
    static bool isUri(const QString &location);

    // Reads uri; a malformed one, or one that carries a password, gives an
    // empty optional-like result with *error set to what the user is told.
    static ServerAddress parse(const QString &uri, QString *error);

    // Where an open QPSQL connection leads.
    static ServerAddress of(const QSqlDatabase &db);

    // Fills in a QPSQL connection.
    void applyTo(QSqlDatabase &db) const;

    // The same place as a URI, for pg_dump and the like.
    QString toUri() const;
};
