#include "MdbWriter.h"

#include <QDateTime>
#include <QtEndian>

#include <array>
#include <cstring>

namespace {

constexpr int PageSize = 4096;
constexpr int RowCountOffset = 12; // data pages: row count, then the row offsets
constexpr int MaxRowsPerPage = 255; // a row pointer keeps the row in one byte
constexpr int ColumnEntrySize = 25;
constexpr int ColumnsStart = 63;
constexpr int BitsPerMapPage = (PageSize - 4) * 8;
constexpr quint32 TablesContainer = 0x0F000001; // the catalog's parent of every table

template<typename T>
void put(QByteArray &buffer, int offset, T value)
{
    qToLittleEndian(value, buffer.data() + offset);
}

template<typename T>
void append(QByteArray &buffer, T value)
{
    const int at = int(buffer.size());
    buffer.resize(at + int(sizeof(T)));
    put(buffer, at, value);
}

QByteArray utf16(const QString &text)
{
    QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
        for (qsizetype i = 0; i < bytes.size(); i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    return bytes;
}

// The header page hides its fields behind RC4 with a fixed key; readers
// decrypt before they look, so a plain zero there would read as a key.
void rc4(const std::array<quint8, 4> &key, char *data, int length)
{
    std::array<quint8, 256> s;
    for (int i = 0; i < 256; ++i)
        s[i] = quint8(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] = char(quint8(data[n]) ^ s[(s[i] + s[j]) & 0xff]);
    }
}

QByteArray headerPage()
{
    QByteArray page(PageSize, '\0');
    page[1] = 0x01;
    std::memcpy(page.data() + 4, "Standard Jet DB", 16);
    put<quint32>(page, 0x14, 1); // Jet 4
    put<quint16>(page, 0x3c, 1252); // code page, used by Jet 3 only
    put<quint32>(page, 0x3e, 0); // no page encryption
    put<quint16>(page, 0x6e, 0x0409); // general sort order
    rc4({0xc7, 0xda, 0x39, 0x6b}, page.data() + 0x18, 128);
    return page;
}

bool isFixed(MdbType type)
{
    return type != MdbType::Text && type != MdbType::Memo && type != MdbType::Ole;
}

int fixedSize(MdbType type)
{
    switch (type) {
    case MdbType::Boolean: return 0;
    case MdbType::Byte: return 1;
    case MdbType::Integer: return 2;
    case MdbType::Long:
    case MdbType::Single: return 4;
    case MdbType::Currency:
    case MdbType::Double:
    case MdbType::DateTime: return 8;
    case MdbType::Text:
    case MdbType::Ole:
    case MdbType::Memo: return 0;
    }
    return 0;
}

int textLength(const MdbColumnDef &column)
{
    return column.length > 0 ? column.length : 255;
}

bool parseCurrency(const QString &text, qint64 *value)
{
    const QString t = text.trimmed();
    const bool negative = t.startsWith(u'-');
    const QStringList parts = t.mid(negative || t.startsWith(u'+') ? 1 : 0).split(u'.');
    if (parts.size() > 2 || parts[0].isEmpty() || (parts.size() == 2 && parts[1].size() > 4))
        return false;
    bool ok = true;
    qint64 units = parts[0].toLongLong(&ok) * 10000;
    if (ok && parts.size() == 2 && !parts[1].isEmpty())
        units += parts[1].leftJustified(4, u'0').toLongLong(&ok);
    *value = negative ? -units : units;
    return ok;
}

double jetDate(const QVariant &value)
{
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    const bool withTime = value.metaType().id() == QMetaType::QDateTime;
    const QDateTime dt = withTime ? value.toDateTime() : QDateTime(value.toDate(), QTime(0, 0));
    const double days = double(dt.date().toJulianDay() - epoch);
    const double time = dt.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the day counts down but the time of day still counts up.
    return days < 0 ? days - time : days + time;
}

// Appends a fixed-size value (zeros for Null); false when it does not fit.
bool appendFixed(QByteArray &row, MdbType type, const QVariant &v)
{
    bool ok = true;
    switch (type) {
    case MdbType::Boolean: break;
    case MdbType::Byte: {
        const uint n = v.isValid() ? v.toUInt(&ok) : 0;
        ok = ok && n <= 255;
        row.append(char(n));
        break;
    }
    case MdbType::Integer: {
        const int n = v.isValid() ? v.toInt(&ok) : 0;
        ok = ok && n >= -32768 && n <= 32767;
        append<qint16>(row, qint16(n));
        break;
    }
    case MdbType::Long: append<qint32>(row, v.isValid() ? v.toInt(&ok) : 0); break;
    case MdbType::Single: append<float>(row, v.isValid() ? v.toFloat(&ok) : 0); break;
    case MdbType::Double: append<double>(row, v.isValid() ? v.toDouble(&ok) : 0); break;
    case MdbType::DateTime: append<double>(row, v.isValid() ? jetDate(v) : 0); break;
    case MdbType::Currency: {
        qint64 units = 0;
        if (v.metaType() == QMetaType::fromType<MdbCurrency>())
            units = v.value<MdbCurrency>().tenThousandths;
        else if (v.metaType().id() == QMetaType::QString)
            ok = parseCurrency(v.toString(), &units);
        else if (v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float)
            units = qRound64(v.toDouble() * 10000);
        else if (v.isValid())
            units = v.toLongLong(&ok) * 10000;
        append<qint64>(row, units);
        break;
    }
    case MdbType::Text:
    case MdbType::Ole:
    case MdbType::Memo: break;
    }
    return ok;
}

} // namespace

// A data page being filled: rows from the end backwards, their offsets after
// the header.
class MdbPage
{
public:
    explicit MdbPage(quint32 owner) : m_bytes(PageSize, '\0')
    {
        m_bytes[0] = 0x01;
        m_bytes[1] = 0x01;
        put<quint32>(m_bytes, 4, owner);
    }
    int rows() const { return m_rows; }
    bool fits(int length) const
    {
        return m_rows < MaxRowsPerPage && m_end - length >= RowCountOffset + 2 + 2 * (m_rows + 1);
    }
    int add(const QByteArray &row)
    {
        m_end -= int(row.size());
        std::memcpy(m_bytes.data() + m_end, row.constData(), row.size());
        put<quint16>(m_bytes, RowCountOffset + 2 + 2 * m_rows, quint16(m_end));
        return m_rows++;
    }
    const QByteArray &bytes()
    {
        put<quint16>(m_bytes, RowCountOffset, quint16(m_rows));
        put<quint16>(m_bytes, 2, quint16(m_end - RowCountOffset - 2 - 2 * m_rows));
        return m_bytes;
    }
    static int capacity() { return PageSize - RowCountOffset - 4; }

private:
    QByteArray m_bytes;
    int m_rows = 0;
    int m_end = PageSize;
};

MdbTable::MdbTable(MdbWriter *writer, QString name, QList<MdbColumnDef> columns, quint32 tdefPage)
    : m_writer(writer), m_name(std::move(name)), m_columns(std::move(columns)), m_tdefPage(tdefPage)
{
}

// Jet 4 row: column count, the fixed columns, the variable ones, then from
// the end backwards the null mask, the count of variable columns, their
// offsets and the end of their data.
QByteArray MdbTable::packRow(const QVariantList &values, QString *error) const
{
    const auto bad = [&](const MdbColumnDef &c, const QString &why) {
        *error = QStringLiteral("%1.%2: %3").arg(m_name, c.name, why);
        return QByteArray();
    };
    if (values.size() != m_columns.size()) {
        *error = QStringLiteral("%1: %2 values for %3 columns").arg(m_name).arg(values.size()).arg(m_columns.size());
        return {};
    }
    QByteArray row;
    append<quint16>(row, quint16(m_columns.size()));
    QByteArray nullMask((m_columns.size() + 7) / 8, '\0');
    QList<QByteArray> variable;
    for (int i = 0; i < m_columns.size(); ++i) {
        const MdbColumnDef &c = m_columns[i];
        const QVariant &v = values[i];
        const bool present = v.isValid() && !v.isNull();
        if (present && (c.type != MdbType::Boolean || v.toBool()))
            nullMask[i / 8] = char(nullMask[i / 8] | (1 << (i % 8)));
        if (!isFixed(c.type)) {
            QByteArray data;
            if (present) {
                const QByteArray bytes = c.type == MdbType::Ole ? v.toByteArray() : utf16(v.toString());
                if (c.type == MdbType::Text && bytes.size() > textLength(c) * 2)
                    return bad(c, QStringLiteral("longer than %1 characters").arg(textLength(c)));
                if (c.type != MdbType::Text) {
                    append<quint32>(data, quint32(bytes.size()) | 0x80000000u); // stored inline
                    append<quint32>(data, 0);
                    append<quint32>(data, 0);
                }
                data += bytes;
            }
            variable << data;
            continue;
        }
        if (!appendFixed(row, c.type, present ? v : QVariant()))
            return bad(c, QStringLiteral("out of range or of the wrong kind: %1").arg(v.toString()));
    }
    if (!variable.isEmpty()) {
        QList<quint16> offsets;
        for (const QByteArray &data : std::as_const(variable)) {
            offsets << quint16(row.size());
            row += data;
        }
        append<quint16>(row, quint16(row.size())); // end of the variable data
        for (auto it = offsets.crbegin(); it != offsets.crend(); ++it)
            append<quint16>(row, *it);
        append<quint16>(row, quint16(offsets.size()));
    }
    row += nullMask;
    if (row.size() > MdbPage::capacity())
        return bad(m_columns.constFirst(), QStringLiteral("row of %1 bytes does not fit a page").arg(row.size()));
    return row;
}

bool MdbTable::addRow(const QVariantList &values)
{
    QString error;
    const QByteArray row = packRow(values, &error);
    if (row.isEmpty()) {
        m_writer->fail(error);
        return false;
    }
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].autoNumber && values[i].isValid())
            m_nextAutoNumber = std::max(m_nextAutoNumber, values[i].toLongLong() + 1);
    }
    return storeRow(row);
}

bool MdbTable::storeRow(const QByteArray &row)
{
    if (m_page && !m_page->fits(int(row.size())) && !m_writer->flushTable(*this))
        return false;
    if (!m_page)
        m_page = std::make_unique<MdbPage>(m_tdefPage);
    m_page->add(row);
    ++m_rows;
    return true;
}

MdbWriter::MdbWriter() = default;
MdbWriter::~MdbWriter() = default;

bool MdbWriter::open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = m_file.errorString();
        return false;
    }
    m_catalog.reset(new MdbTable(this, QStringLiteral("MSysObjects"),
                                 {{QStringLiteral("Id"), MdbType::Long},
                                  {QStringLiteral("ParentId"), MdbType::Long},
                                  {QStringLiteral("Name"), MdbType::Text, 128},
                                  {QStringLiteral("Type"), MdbType::Integer},
                                  {QStringLiteral("Flags"), MdbType::Long},
                                  {QStringLiteral("DateCreate"), MdbType::DateTime},
                                  {QStringLiteral("DateUpdate"), MdbType::DateTime},
                                  {QStringLiteral("LvProp"), MdbType::Ole}},
                                 2));
    return true;
}

void MdbWriter::fail(const QString &error)
{
    if (m_error.isEmpty())
        m_error = error;
}

MdbTable &MdbWriter::addTable(const QString &name, const QList<MdbColumnDef> &columns)
{
    if (name.isEmpty() || name.size() > 64 || columns.isEmpty() || columns.size() > 255)
        fail(QStringLiteral("table %1: a name of 1 to 64 characters and 1 to 255 columns").arg(name));
    for (const MdbColumnDef &c : columns) {
        if (c.name.isEmpty() || c.name.size() > 64 || (c.type == MdbType::Text && c.length > 255))
            fail(QStringLiteral("table %1: column %2").arg(name, c.name));
    }
    m_tables.emplace_back(new MdbTable(this, name, columns, allocatePage()));
    return *m_tables.back();
}

bool MdbWriter::writePage(quint32 number, const QByteArray &page)
{
    if (!m_file.seek(qint64(number) * PageSize) || m_file.write(page) != PageSize) {
        fail(m_file.errorString());
        return false;
    }
    return true;
}

bool MdbWriter::flushTable(MdbTable &table)
{
    if (!table.m_page || table.m_page->rows() == 0)
        return true;
    const quint32 number = allocatePage();
    table.m_dataPages.push_back(number);
    const bool ok = writePage(number, table.m_page->bytes());
    table.m_page.reset();
    return ok;
}

// Map rows share data pages of no table; a row pointer is page << 8 | row.
quint32 MdbWriter::storeMapRow(const QByteArray &map)
{
    if (m_mapPage && !m_mapPage->fits(int(map.size()))) {
        writePage(m_mapPageNumber, m_mapPage->bytes());
        m_mapPage.reset();
    }
    if (!m_mapPage) {
        m_mapPage = std::make_unique<MdbPage>(0);
        m_mapPageNumber = allocatePage();
    }
    return m_mapPageNumber << 8 | quint32(m_mapPage->add(map));
}

// Type 0: the bitmap inline from a first page on. Type 1: pointers to bitmap
// pages, each covering a fixed stretch of the file from page 0.
QByteArray MdbWriter::usageMap(const std::vector<quint32> &pages)
{
    QByteArray map;
    const quint32 first = pages.empty() ? 0 : pages.front();
    const quint32 last = pages.empty() ? 0 : pages.back();
    if (pages.empty() || int((last - first) / 8 + 1) <= m_inlineMapLimit) {
        map.append('\0');
        append<quint32>(map, first);
        if (!pages.empty())
            map.append(QByteArray(int((last - first) / 8 + 1), '\0'));
        for (quint32 p : pages)
            map[5 + (p - first) / 8] = char(map[5 + (p - first) / 8] | (1 << ((p - first) % 8)));
        return map;
    }
    map.append('\1');
    std::vector<QByteArray> bitmaps(last / BitsPerMapPage + 1);
    for (quint32 p : pages) {
        QByteArray &bitmap = bitmaps[p / BitsPerMapPage];
        if (bitmap.isEmpty()) {
            bitmap = QByteArray(PageSize, '\0');
            bitmap[0] = 0x05;
            bitmap[1] = 0x01;
        }
        const int bit = int(p % BitsPerMapPage);
        bitmap[4 + bit / 8] = char(bitmap[4 + bit / 8] | (1 << (bit % 8)));
    }
    for (const QByteArray &bitmap : bitmaps) {
        quint32 number = 0;
        if (!bitmap.isEmpty()) {
            number = allocatePage();
            writePage(number, bitmap);
        }
        append<quint32>(map, number);
    }
    return map;
}

namespace {

QByteArray tableDefinition(const QList<MdbColumnDef> &columns, bool system, quint32 rows,
                           qint64 nextAutoNumber, quint32 usedMap, quint32 freeMap)
{
    int needed = ColumnsStart;
    for (const MdbColumnDef &c : columns)
        needed += ColumnEntrySize + 2 + int(c.name.size()) * 2;
    if (needed > PageSize)
        return {};
    QByteArray page(PageSize, '\0');
    page[0] = 0x02;
    page[1] = 0x01;
    page[2] = 'V';
    page[3] = 'C';
    int variableCount = 0;
    for (const MdbColumnDef &c : columns)
        variableCount += isFixed(c.type) ? 0 : 1;
    put<quint32>(page, 16, rows);
    put<quint32>(page, 20, quint32(nextAutoNumber));
    page[24] = 0x01;
    page[40] = char(system ? 0x53 : 0x4e);
    put<quint16>(page, 41, quint16(columns.size()));
    put<quint16>(page, 43, quint16(variableCount));
    put<quint16>(page, 45, quint16(columns.size()));
    put<quint32>(page, 55, usedMap);
    put<quint32>(page, 59, freeMap);
    int at = ColumnsStart;
    int fixedOffset = 0;
    int variableIndex = 0;
    for (int i = 0; i < columns.size(); ++i, at += ColumnEntrySize) {
        const MdbColumnDef &c = columns[i];
        page[at] = char(c.type);
        put<quint16>(page, at + 5, quint16(i));
        put<quint16>(page, at + 7, quint16(isFixed(c.type) ? 0 : variableIndex++));
        put<quint16>(page, at + 9, quint16(i));
        if (!isFixed(c.type))
            put<quint16>(page, at + 11, 0x0409); // general sort order
        page[at + 15] = char((isFixed(c.type) ? 0x01 : 0) | 0x02 | (c.autoNumber ? 0x04 : 0));
        put<quint16>(page, at + 21, quint16(fixedOffset));
        const int size = c.type == MdbType::Text ? textLength(c) * 2 : fixedSize(c.type);
        put<quint16>(page, at + 23, quint16(size));
        fixedOffset += isFixed(c.type) ? size : 0;
    }
    for (const MdbColumnDef &c : columns) {
        const QByteArray name = utf16(c.name);
        put<quint16>(page, at, quint16(name.size()));
        std::memcpy(page.data() + at + 2, name.constData(), name.size());
        at += 2 + int(name.size());
    }
    put<quint32>(page, 8, quint32(at - 8));
    put<quint16>(page, 2, quint16(PageSize - at));
    return page;
}

} // namespace

bool MdbWriter::close()
{
    if (!m_file.isOpen()) {
        fail(QStringLiteral("no file is open"));
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    m_catalog->addRow({2, TablesContainer, m_catalog->name(), 1, qint32(0x80000002u), now, now, QVariant()});
    for (const auto &t : m_tables)
        m_catalog->addRow({t->m_tdefPage, TablesContainer, t->name(), 1, 0, now, now, QVariant()});
    std::vector<MdbTable *> all{m_catalog.get()};
    for (const auto &t : m_tables)
        all.push_back(t.get());
    for (MdbTable *t : all)
        flushTable(*t);
    for (MdbTable *t : all) {
        const quint32 used = storeMapRow(usageMap(t->m_dataPages));
        const quint32 free = storeMapRow(usageMap({}));
        const QByteArray tdef = tableDefinition(t->m_columns, t == m_catalog.get(), t->m_rows,
                                                t->m_nextAutoNumber, used, free);
        if (tdef.isEmpty())
            fail(QStringLiteral("table %1: its columns do not fit one definition page").arg(t->name()));
        else
            writePage(t->m_tdefPage, tdef);
    }
    if (m_mapPage)
        writePage(m_mapPageNumber, m_mapPage->bytes());
    writePage(0, headerPage());
    writePage(1, QByteArray(PageSize, '\0'));
    m_file.close();
    return m_error.isEmpty();
}
