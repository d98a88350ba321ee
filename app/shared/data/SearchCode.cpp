#include "SearchCode.h"

#include "DataAccess.h"
#include "Database.h"
#include "shared/base/TextRules.h"

#include <QHash>

#include <optional>

namespace {

// tblspell.word compares case-insensitively, as the engine folds ASCII only.
QString foldKey(const QString &word)
{
    QString key = word;
    for (QChar &c : key) {
        if (c.unicode() < 128)
            c = c.toLower();
    }
    return key;
}

struct SpellCache
{
    quint64 generation = 0;
    std::optional<QHash<QString, QString>> table;
};

SpellCache &cache()
{
    static SpellCache instance;
    return instance;
}

const QHash<QString, QString> &spellTable()
{
    SpellCache &c = cache();
    if (c.generation != ConnectionGeneration())
        c.table.reset();
    std::optional<QHash<QString, QString>> &table = c.table;
    if (!table) {
        QHash<QString, QString> loaded;
        QSqlQuery query = ExecSql(QStringLiteral("select word, spell from tblspell"));
        while (query.next()) {
            const QString spell = query.value(1).toString();
            const QString key = foldKey(query.value(0).toString());
            // The first row wins, as a lookup of the first matching row would.
            if (!spell.isEmpty() && !loaded.contains(key))
                loaded.insert(key, spell);
        }
        table = std::move(loaded);
        c.generation = ConnectionGeneration();
    }
    return *table;
}

} // namespace

QString SpellOf(const QString &character)
{
    return spellTable().value(foldKey(character), character);
}

QString MakeSearchCode(const QString &text)
{
    const QString clean = CleanText(text);
    const QHash<QString, QString> &table = spellTable();
    QString code;
    code.reserve(clean.size());
    for (qsizetype i = 0; i < clean.size();) {
        // One character may be a surrogate pair (rare ideographs).
        const qsizetype len = (clean.at(i).isHighSurrogate() && i + 1 < clean.size()) ? 2 : 1;
        const QString character = clean.mid(i, len);
        code += table.value(foldKey(character), character);
        i += len;
    }
    return code;
}

void ForgetSpellTable()
{
    cache().table.reset();
}
