#include "AccessFile.h"

#include "DbError.h"

#include <QDate>
#include <QFile>
#include <QHash>

#include <charconv>
#include <cmath>
#include <cstring>
#include <iconv.h>
#include <mdbtools.h>

namespace {

constexpr int PageSize3 = 2048;
constexpr int PageSize4 = 4096;
constexpr int OffsetMask = 0x1fff;
constexpr int DeletedRow = 0x4000;
constexpr quint32 MemoInline = 0x80000000u;
constexpr quint32 MemoOnePage = 0x40000000u;
constexpr int MemoHeader = 12;

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Jet counts days from 1899-12-30, the time of day as the fraction; a day
// before that has a negative whole part and a positive fraction.
QDate jetDate(double days)
{
    static const QDate epoch(1899, 12, 30);
    return epoch.addDays(qint64(std::trunc(days)));
}

// The shortest decimal that reads back as the same float: what was typed
// into a Single column, not the float's binary expansion.
double shortestFloat(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return QByteArray(text, int(result.ptr - text)).toDouble();
}

// Jet 4 stores text as UTF-16LE, or, behind the marker FF FE, "compressed":
// runs of one byte per Latin-1 character and runs of UTF-16LE, a zero byte
// switching between them.
QString jet4Text(const unsigned char *p, int size)
{
    if (size >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        QString text;
        text.reserve(size);
        bool compressed = true;
        for (int i = 2; i < size;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text += QChar(p[i++]);
            } else if (i + 1 < size) {
                text += QChar(char16_t(p[i] | p[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        return text;
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(p), size / 2);
}

bool hasLoneSurrogate(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

DbError fileError(const QString &what, const QString &path)
{
    return DbError(what.arg(path));
}

} // namespace

class AccessFile::Private
{
public:
    ~Private()
    {
        if (iconvIn != iconv_t(-1))
            iconv_close(iconvIn);
        // mdb_close frees the catalog too.
        if (mdb)
            mdb_close(mdb);
    }

    // Text of a Jet 3 file, in its code page. Nothing is ever replaced: a
    // byte sequence the code page lacks stops the copy.
    std::optional<QString> codePageText(const unsigned char *p, int size) const
    {
        QByteArray out(size * 4 + 4, Qt::Uninitialized);
        char *in = const_cast<char *>(reinterpret_cast<const char *>(p));
        size_t inLeft = size_t(size);
        char *o = out.data();
        size_t outLeft = size_t(out.size());
        iconv(iconvIn, nullptr, nullptr, nullptr, nullptr);
        if (iconv(iconvIn, &in, &inLeft, &o, &outLeft) == size_t(-1))
            return std::nullopt;
        return QString::fromUtf8(out.constData(), int(o - out.constData()));
    }

    std::optional<QString> text(const unsigned char *p, int size) const
    {
        if (jet3)
            return codePageText(p, size);
        QString value = jet4Text(p, size);
        if (hasLoneSurrogate(value))
            return std::nullopt;
        return value;
    }

    // A memo's bytes: inline after its header, or on one or a chain of
    // long-value pages. mdb_find_pg_row reads those into the second page
    // buffer, so the data page being walked stays in place.
    std::optional<QByteArray> memoBytes(const unsigned char *field, int size) const
    {
        if (size < MemoHeader)
            return std::nullopt;
        const quint32 head = le32(field);
        const int length = int(head & 0x00ffffff);
        if (head & MemoInline)
            return QByteArray(reinterpret_cast<const char *>(field + MemoHeader), size - MemoHeader);
        QByteArray bytes;
        quint32 pageRow = le32(field + 4);
        const bool onePage = head & MemoOnePage;
        // A damaged chain may run in a circle: no chain is longer than the file.
        for (qint64 links = 0; pageRow && bytes.size() < length; ++links) {
            if (links > pageCount)
                return std::nullopt;
            void *buffer = nullptr;
            int start = 0;
            size_t rowSize = 0;
            if (mdb_find_pg_row(mdb, int(pageRow), &buffer, &start, &rowSize) != 0)
                return std::nullopt;
            const auto *row = static_cast<const unsigned char *>(buffer) + start;
            if (onePage) {
                bytes.append(reinterpret_cast<const char *>(row), int(rowSize));
                break;
            }
            if (rowSize < 4)
                return std::nullopt;
            bytes.append(reinterpret_cast<const char *>(row + 4), int(rowSize) - 4);
            pageRow = le32(row);
        }
        if (bytes.size() < length)
            return std::nullopt;
        bytes.truncate(length);
        return bytes;
    }

    // The value of one field; nullopt when it cannot be read exactly.
    std::optional<QVariant> value(const MdbColumn &column, const MdbField &field) const
    {
        if (field.is_null && column.col_type != MDB_BOOL)
            return QVariant();
        // A damaged row may point past its page.
        if (field.start < 0 || field.siz < 0 || qint64(field.start) + field.siz > qint64(mdb->fmt->pg_size))
            return std::nullopt;
        const unsigned char *p = mdb->pg_buf + field.start;
        const auto fits = [&](int bytes) { return field.siz >= bytes; };
        switch (column.col_type) {
        case MDB_BOOL:
            // The value is the null-mask bit itself.
            return QVariant(qint64(field.is_null ? 0 : 1));
        case MDB_BYTE:
            return fits(1) ? std::optional<QVariant>(qint64(p[0])) : std::nullopt;
        case MDB_INT:
            return fits(2) ? std::optional<QVariant>(qint64(qint16(p[0] | p[1] << 8))) : std::nullopt;
        case MDB_LONGINT:
            return fits(4) ? std::optional<QVariant>(qint64(qint32(le32(p)))) : std::nullopt;
        case MDB_MONEY: {
            if (!fits(8))
                return std::nullopt;
            const qint64 scaled = qint64(quint64(le32(p)) | quint64(le32(p + 4)) << 32);
            return QVariant(double(scaled) / 10000.0);
        }
        case MDB_FLOAT: {
            float f;
            if (!fits(4))
                return std::nullopt;
            std::memcpy(&f, p, 4);
            return QVariant(shortestFloat(f));
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            double d;
            if (!fits(8))
                return std::nullopt;
            std::memcpy(&d, p, 8);
            if (!std::isfinite(d))
                return std::nullopt;
            return column.col_type == MDB_DATETIME ? QVariant(jetDate(d)) : QVariant(d);
        }
        case MDB_TEXT: {
            const std::optional<QString> t = text(p, field.siz);
            return t ? std::optional<QVariant>(*t) : std::nullopt;
        }
        case MDB_MEMO: {
            const std::optional<QByteArray> bytes = memoBytes(p, field.siz);
            if (!bytes)
                return std::nullopt;
            const std::optional<QString> t =
                text(reinterpret_cast<const unsigned char *>(bytes->constData()), int(bytes->size()));
            return t ? std::optional<QVariant>(*t) : std::nullopt;
        }
        default:
            return std::nullopt;
        }
    }

    MdbCatalogEntry *entry(const QString &table) const
    {
        for (guint i = 0; i < catalog->len; ++i) {
            auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
            if (e->object_type == MDB_TABLE && QString::fromUtf8(e->object_name).compare(table, Qt::CaseInsensitive) == 0)
                return e;
        }
        return nullptr;
    }

    QString path;
    MdbHandle *mdb = nullptr;
    GPtrArray *catalog = nullptr;
    bool jet3 = false;
    qint64 pageCount = 0;
    iconv_t iconvIn = iconv_t(-1);
};

namespace {

// A table definition with its columns, freed however the read ends; throws
// DbError when the table is missing or cannot be read.
struct TableDef
{
    TableDef(MdbCatalogEntry *entry, const QString &table, const QString &path)
        : def(entry ? mdb_read_table(entry) : nullptr)
    {
        if (!entry)
            throw DbError(QStringLiteral("Access 数据库里没有表 %1：%2").arg(table, path));
        if (def && !mdb_read_columns(def)) {
            mdb_free_tabledef(def);
            def = nullptr;
        }
        if (!def)
            throw DbError(QStringLiteral("Access 数据库文件已损坏，读不出表 %1：%2").arg(table, path));
    }
    ~TableDef()
    {
        if (def)
            mdb_free_tabledef(def);
    }
    MdbColumn *column(unsigned i) const { return static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i)); }
    MdbTableDef *def;
};

QString iconvName(quint16 codePage)
{
    // 936 is the Simplified Chinese Windows code page; GBK is its name here.
    if (codePage == 0 || codePage == 936)
        return QStringLiteral("GBK");
    return QStringLiteral("CP%1").arg(codePage);
}

} // namespace

AccessFile::AccessFile(const QString &path, const QByteArray &codePage)
    : d(new Private)
{
    d->path = path;
    QFile file(path);
    if (!file.exists())
        throw fileError(QStringLiteral("找不到要复制的数据库：%1"), path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("无法读取 %1：%2").arg(path, file.errorString()));
    // Checked before libmdb sees the file: it reports a foreign file only on
    // its error output, or not at all.
    const QByteArray head = file.read(PageSize4);
    const bool jet = head.size() >= PageSize3 && head.mid(4, 16) == QByteArray("Standard Jet DB\0", 16);
    const bool ace = head.size() >= PageSize3 && head.mid(4, 16) == QByteArray("Standard ACE DB\0", 16);
    if (!jet && !ace)
        throw fileError(QStringLiteral("不是 Access 数据库文件：%1"), path);
    d->jet3 = jet && head.at(0x14) == 0;
    const qint64 pageSize = d->jet3 ? PageSize3 : PageSize4;
    d->pageCount = file.size() / pageSize;
    if (file.size() < 3 * pageSize || file.size() % pageSize != 0)
        throw fileError(QStringLiteral("Access 数据库文件已损坏（长度不对）：%1"), path);
    file.close();

    d->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!d->mdb)
        throw fileError(QStringLiteral("Access 数据库文件已损坏，无法打开：%1"), path);
    d->catalog = mdb_read_catalog(d->mdb, MDB_ANY);
    const bool readable = d->catalog && d->catalog->len > 0 && mdb_get_catalogentry_by_name(d->mdb, "MSysObjects");
    if (!readable) {
        // An encoded file whose pages libmdb could not decode reads as noise.
        if (d->mdb->f->db_key != 0)
            throw fileError(QStringLiteral("Access 数据库已加密，无法读取：%1\n请先在 Access 中解密（工具 → 安全 → 编码/解码数据库）后再复制。"), path);
        throw fileError(QStringLiteral("Access 数据库文件已损坏，读不出表目录：%1"), path);
    }

    if (d->jet3) {
        const QByteArray name = codePage.isEmpty() ? iconvName(d->mdb->f->code_page).toLatin1() : codePage;
        d->iconvIn = iconv_open("UTF-8", name.constData());
        if (d->iconvIn == iconv_t(-1))
            throw DbError(QStringLiteral("不认识的代码页：%1").arg(QString::fromLatin1(name)));
    }
}

AccessFile::~AccessFile() = default;

bool AccessFile::isJet3() const
{
    return d->jet3;
}

QStringList AccessFile::tables() const
{
    QStringList names;
    for (guint i = 0; i < d->catalog->len; ++i) {
        const auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(d->catalog, i));
        if (e->object_type == MDB_TABLE && !mdb_is_system_table(const_cast<MdbCatalogEntry *>(e)))
            names << QString::fromUtf8(e->object_name);
    }
    return names;
}

QStringList AccessFile::columns(const QString &table) const
{
    const TableDef t(d->entry(table), table, d->path);
    QStringList names;
    for (unsigned i = 0; i < t.def->num_cols; ++i)
        names << QString::fromUtf8(t.column(i)->name);
    return names;
}

void AccessFile::read(const QString &table, const QStringList &columns,
                      const std::function<void(const QVariantList &)> &row) const
{
    const TableDef t(d->entry(table), table, d->path);

    // Where each wanted column sits among the table's.
    QHash<QString, int> position;
    for (unsigned i = 0; i < t.def->num_cols; ++i)
        position.insert(QString::fromUtf8(t.column(i)->name).toLower(), int(i));
    std::vector<int> wanted(t.def->num_cols, -1);
    for (int k = 0; k < columns.size(); ++k) {
        const int i = position.value(columns.at(k).toLower(), -1);
        if (i < 0)
            throw DbError(QStringLiteral("Access 数据库的表 %1 缺少列 %2：%3").arg(table, columns.at(k), d->path));
        wanted[size_t(i)] = k;
    }

    MdbHandle *mdb = d->mdb;
    const int rowCountOffset = mdb->fmt->row_count_offset;
    std::vector<MdbField> fields(t.def->num_cols);
    QVariantList values;
    mdb_rewind_table(t.def);
    // The data pages the table's usage map names, each row cracked once.
    while (mdb_read_next_dpg(t.def)) {
        const int rows = mdb->pg_buf[rowCountOffset] | mdb->pg_buf[rowCountOffset + 1] << 8;
        for (int r = 0; r < rows; ++r) {
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb, r, &start, &size) != 0 || size == 0 || (start & DeletedRow))
                continue;
            const int count = mdb_crack_row(t.def, start & OffsetMask, size, fields.data());
            if (count < 0)
                throw DbError(QStringLiteral("Access 数据库文件已损坏，读不出表 %1 第 %2 页的行：%3")
                                  .arg(table).arg(t.def->cur_phys_pg).arg(d->path));
            values = QVariantList(columns.size());
            int unreadable = -1;
            for (int f = 0; f < count; ++f) {
                const int col = fields[size_t(f)].colnum;
                const int k = col >= 0 && col < int(wanted.size()) ? wanted[size_t(col)] : -1;
                if (k < 0)
                    continue;
                const std::optional<QVariant> v = d->value(*t.column(unsigned(col)), fields[size_t(f)]);
                if (v)
                    values[k] = *v;
                else
                    unreadable = k;
            }
            if (unreadable >= 0) {
                const int id = columns.indexOf(QStringLiteral("id"), 0);
                throw DbError(QStringLiteral("Access 数据库的表 %1 有一个值读不准确（id %2，列 %3），没有复制：%4")
                                  .arg(table, id >= 0 ? values.at(id).toString() : QStringLiteral("?"),
                                       columns.at(unreadable), d->path));
            }
            row(values);
        }
    }
}
