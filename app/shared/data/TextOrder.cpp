#include "TextOrder.h"

#include "Database.h"

#include <QCollator>
#include <QLocale>
#include <QSqlDriver>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// The SQLite collation's name; the server's ICU collation for Chinese gives
// the same order.
const QLatin1String SqliteCollation("zh");
const QLatin1String ServerCollation("\"zh-x-icu\"");

// ICU's Chinese collation at secondary strength: case is ignored, accents
// are not.
class ListCollator
{
public:
    ListCollator()
        : m_collator(QLocale(QLocale::Chinese, QLocale::China))
    {
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
        rankPrintableAscii();
    }

    int compare(QStringView a, QStringView b) const { return m_collator.compare(a, b); }

    // Texts in printable ASCII, the most common in article numbers, compare
    // character by character on a table taken from the collator itself:
    // such characters have one primary weight each and form no contractions,
    // so the collator's answer is exactly this one, without decoding UTF-8
    // and calling into ICU for every comparison of a sort.
    int compareUtf8(const char *a, int lengthA, const char *b, int lengthB) const
    {
        const int common = std::min(lengthA, lengthB);
        for (int i = 0; i < common; ++i) {
            // Equal bytes only need to be printable ASCII (shared prefixes
            // are the rule among article numbers).
            if (a[i] == b[i]) {
                if (rankOf(a[i]) < 0)
                    return slowCompare(a, lengthA, b, lengthB);
                continue;
            }
            const int rankA = rankOf(a[i]);
            const int rankB = rankOf(b[i]);
            if (rankA < 0 || rankB < 0)
                return slowCompare(a, lengthA, b, lengthB);
            if (rankA != rankB) {
                return isAscii(a + i, lengthA - i) && isAscii(b + i, lengthB - i) ? rankA - rankB
                                                                                  : slowCompare(a, lengthA, b, lengthB);
            }
        }
        if (isAscii(a + common, lengthA - common) && isAscii(b + common, lengthB - common))
            return lengthA - lengthB;
        return slowCompare(a, lengthA, b, lengthB);
    }

private:
    static constexpr int First = 0x20;
    static constexpr int Last = 0x7e;

    void rankPrintableAscii()
    {
        std::array<char16_t, Last - First + 1> chars;
        for (int c = First; c <= Last; ++c)
            chars[c - First] = char16_t(c);
        const auto view = [](const char16_t &c) { return QStringView(&c, 1); };
        std::stable_sort(chars.begin(), chars.end(),
                         [&](const char16_t &x, const char16_t &y) { return compare(view(x), view(y)) < 0; });
        int rank = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i > 0 && compare(view(chars[i - 1]), view(chars[i])) != 0)
                ++rank;
            m_rank[chars[i] - First] = rank;
        }
    }

    int rankOf(char c) const
    {
        const auto u = static_cast<unsigned char>(c);
        return u >= First && u <= Last ? m_rank[u - First] : -1;
    }

    bool isAscii(const char *text, int length) const
    {
        return std::all_of(text, text + length, [this](char c) { return rankOf(c) >= 0; });
    }

    int slowCompare(const char *a, int lengthA, const char *b, int lengthB) const
    {
        // UTF-8 never takes fewer bytes than UTF-16 takes code units.
        QVarLengthArray<QChar, 128> wideA(lengthA);
        QVarLengthArray<QChar, 128> wideB(lengthB);
        QStringDecoder decodeA(QStringDecoder::Utf8);
        QStringDecoder decodeB(QStringDecoder::Utf8);
        const QChar *endA = decodeA.appendToBuffer(wideA.data(), QByteArrayView(a, lengthA));
        const QChar *endB = decodeB.appendToBuffer(wideB.data(), QByteArrayView(b, lengthB));
        return compare(QStringView(wideA.data(), endA), QStringView(wideB.data(), endB));
    }

    QCollator m_collator;
    std::array<int, Last - First + 1> m_rank{};
};

int compareSqliteText(void *collator, int lengthA, const void *a, int lengthB, const void *b)
{
    return static_cast<const ListCollator *>(collator)->compareUtf8(static_cast<const char *>(a), lengthA,
                                                                     static_cast<const char *>(b), lengthB);
}

void deleteCollator(void *collator)
{
    delete static_cast<ListCollator *>(collator);
}

} // namespace

QString TextOrderBy(const QSqlDatabase &db, const QStringList &columns)
{
    const QString collate = QStringLiteral(" collate ") + (IsServerDatabase(db) ? ServerCollation : SqliteCollation);
    QStringList terms;
    terms.reserve(columns.size());
    for (const QString &column : columns)
        terms << column + collate;
    return terms.join(QStringLiteral(", "));
}

QString TextOrderBy(const QStringList &columns)
{
    return TextOrderBy(DbConnection(), columns);
}

bool RegisterTextCollation(const QSqlDatabase &db)
{
    sqlite3 *handle = SqliteHandle(db);
    if (!handle)
        return false;
    // Each connection owns its collator: QCollator is not to be shared
    // between threads, and a connection may live in another one.
    auto collator = std::make_unique<ListCollator>();
    const int rc = sqlite3_create_collation_v2(handle, SqliteCollation.data(), SQLITE_UTF8, collator.get(),
                                               compareSqliteText, deleteCollator);
    if (rc != SQLITE_OK)
        return false; // then the collator is ours to free
    collator.release();
    return true;
}

TextSortKey::TextSortKey()
{
    // The settings QCollator makes for the zh_CN locale, case-insensitive.
    UErrorCode status = U_ZERO_ERROR;
    UCollator *collator = ucol_open("zh_CN", &status);
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return;
    }
    m_collator = collator;
    UVersionInfo version;
    ucol_getVersion(m_collator, version);
    m_version = QByteArray(reinterpret_cast<const char *>(version), sizeof version);
}

TextSortKey::~TextSortKey()
{
    ucol_close(m_collator);
}

void TextSortKey::append(QByteArray &key, QStringView text) const
{
    const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
    const qsizetype start = key.size();
    // Most keys fit in a few bytes per character; a longer one is asked again.
    qsizetype room = 4 * text.size() + 16;
    for (;;) {
        key.resize(start + room);
        const int32_t length = ucol_getSortKey(m_collator, chars, int32_t(text.size()),
                                               reinterpret_cast<uint8_t *>(key.data() + start), int32_t(room));
        if (length <= room) {
            key.resize(start + length); // closing 0 byte and all: the texts' separator
            return;
        }
        room = length;
    }
}
