#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

struct UCollator;

// Lists sorted by a text column follow the Mandarin reading of Chinese text
// (甲 before 乙, 麻布 before 丝绸), case-insensitively: ICU's Chinese
// collation on both engines. Only the order changes; equality and "like"
// keep the columns' own case-insensitive comparison.

// The ORDER BY list for the given text columns on db ("artno collate zh,
// product collate zh" on SQLite).
QString TextOrderBy(const QSqlDatabase &db, const QStringList &columns);

// The same for DbConnection().
QString TextOrderBy(const QStringList &columns);

// Makes the collation that TextOrderBy names known on an SQLite connection;
// every connection the program opens on a file gets it. Returns false when
// the connection is not SQLite or the engine refuses.
bool RegisterTextCollation(const QSqlDatabase &db);

// A key whose bytes order as TextOrderBy orders the texts, column after
// column: ICU's sort keys of the texts (at the same strength), one after
// the other, each with its closing 0 byte, which no key byte undercuts, so
// a text that is a prefix of another still sorts first. The key starts
// with the collator's 4-byte version, since another ICU may order
// differently. Empty when ICU has no Chinese collation.
class TextSortKey
{
public:
    TextSortKey();
    ~TextSortKey();
    TextSortKey(const TextSortKey &) = delete;
    TextSortKey &operator=(const TextSortKey &) = delete;

    bool isValid() const { return m_collator != nullptr; }
    QByteArray version() const { return m_version; }

    // Starts a key with the version; append() adds the texts in order.
    QByteArray start() const { return m_version; }
    void append(QByteArray &key, QStringView text) const;

private:
    UCollator *m_collator = nullptr;
    QByteArray m_version;
};
