#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

// The Windows program's books, an Access (Jet 3 or Jet 4) file, read through
// libmdb and never written. Values come out exact and typed: Long, Integer
// and Byte as qint64; Double and Single as double (a Single as the shortest
// decimal that reads back to it, 1.1 rather than 1.100000023841858); Currency
// as its scaled integer divided once by 10,000, the double nearest the stored
// decimal; DateTime as QDate without its time; Text and Memo as QString, an
// empty text as "" and a Null as a null QVariant. libmdb's own text
// conversion is not used: it gives a Null and "" alike, and "?" for a
// character outside the Basic Multilingual Plane.
class AccessFile
{
public:
    // Opens path for reading. codePage names the code page of a Jet 3 file's
    // text as iconv knows it ("GBK", "CP1252"); empty takes the one the file
    // names, GBK where it names none. Throws DbError with a message for the
    // user when the file is missing, not an Access file, encrypted or damaged.
    explicit AccessFile(const QString &path, const QByteArray &codePage = QByteArray());
    ~AccessFile();
    AccessFile(const AccessFile &) = delete;
    AccessFile &operator=(const AccessFile &) = delete;

    bool isJet3() const;
    QStringList tables() const;
    // The table's column names in their order; throws DbError when the table
    // is missing.
    QStringList columns(const QString &table) const;

    // Calls row() once for each row of table, its values in the order of
    // columns (names compared case-insensitively). Throws DbError naming the
    // table and column that is missing, or the row and column whose value
    // cannot be read exactly.
    void read(const QString &table, const QStringList &columns,
              const std::function<void(const QVariantList &)> &row) const;

private:
    class Private;
    std::unique_ptr<Private> d;
};
