#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// Writes Access (Jet 4) database files for test fixtures and benchmarks: the
// catalog, one table definition page per table, data pages and usage maps,
// text as uncompressed UTF-16LE. No indexes, no relationships, no long-value
// pages: a memo is stored inline and its row must fit a page (about 2,000
// characters less the rest of the row). Rows stream to disk as their pages
// fill, so a million rows take little memory.

enum class MdbType : quint8 {
    Boolean = 0x01, // kept in the null mask: Null reads as false
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05, // QString "12.3456", MdbCurrency, a whole number or a double
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08, // QDate or QDateTime
    Text = 0x0a,
    Ole = 0x0b, // QByteArray, inline like a memo
    Memo = 0x0c,
};

// A currency value in ten-thousandths, as Jet stores it.
struct MdbCurrency
{
    qint64 tenThousandths = 0;
};

struct MdbColumnDef
{
    QString name;
    MdbType type;
    int length = 0; // characters, for Text (1 to 255; 0 means 255)
    bool autoNumber = false;
};

class MdbPage;

class MdbTable
{
public:
    // Values in column order; an invalid QVariant is Null. Returns false and
    // keeps the writer's first error when a value does not fit its column.
    bool addRow(const QVariantList &values);
    QString name() const { return m_name; }

private:
    friend class MdbWriter;
    MdbTable(class MdbWriter *writer, QString name, QList<MdbColumnDef> columns, quint32 tdefPage);
    QByteArray packRow(const QVariantList &values, QString *error) const;
    bool storeRow(const QByteArray &row);

    MdbWriter *m_writer;
    QString m_name;
    QList<MdbColumnDef> m_columns;
    quint32 m_tdefPage;
    quint32 m_rows = 0;
    qint64 m_nextAutoNumber = 1;
    std::unique_ptr<MdbPage> m_page;
    std::vector<quint32> m_dataPages;
};

class MdbWriter
{
public:
    MdbWriter();
    ~MdbWriter();

    bool open(const QString &path);
    // Table names and column definitions are checked here; a bad one leaves
    // an error and a table that takes no rows.
    MdbTable &addTable(const QString &name, const QList<MdbColumnDef> &columns);
    // Writes the catalog, the usage maps and the table definitions.
    bool close();
    QString errorString() const { return m_error; }

    // Usage maps longer than this many bitmap bytes go to bitmap pages of
    // their own (tests lower it to reach that layout with few rows).
    void setInlineMapLimit(int bytes) { m_inlineMapLimit = bytes; }

private:
    friend class MdbTable;
    quint32 allocatePage() { return m_nextPage++; }
    bool writePage(quint32 number, const QByteArray &page);
    void fail(const QString &error);
    bool flushTable(MdbTable &table);
    quint32 storeMapRow(const QByteArray &map);
    QByteArray usageMap(const std::vector<quint32> &pages);

    QFile m_file;
    QString m_error;
    quint32 m_nextPage = 3;
    int m_inlineMapLimit = 512;
    std::unique_ptr<MdbTable> m_catalog;
    std::vector<std::unique_ptr<MdbTable>> m_tables;
    std::unique_ptr<MdbPage> m_mapPage;
    quint32 m_mapPageNumber = 0;
};

Q_DECLARE_METATYPE(MdbCurrency)
