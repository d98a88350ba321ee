#include "XlsxReader.h"

#include "NumberFormat.h"
#include "SheetError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSizeF>
#include <QXmlStreamReader>

#include <zip.h>

#include <array>
#include <cmath>
#include <memory>

namespace {

// A part bigger than this is no template a person made; refusing it keeps a
// damaged or hostile file from exhausting memory.
constexpr zip_uint64_t kMaxPartSize = 256ull * 1024 * 1024;

// A zip package opened read-only.
class ZipPackage
{
public:
    explicit ZipPackage(const QString &path)
        : m_path(path)
    {
        int code = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (!m_zip) {
            zip_error_t error;
            zip_error_init_with_code(&error, code);
            const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
            zip_error_fini(&error);
            throw SheetError(QStringLiteral("“%1”不是可以读取的工作簿（%2）。").arg(path, text));
        }
    }
    ~ZipPackage() { zip_discard(m_zip); }
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    bool contains(const QString &name) const
    {
        return zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    QByteArray read(const QString &name) const
    {
        const QByteArray utf8 = name.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(m_zip, utf8.constData(), ZIP_FL_NOCASE, &stat) != 0)
            throw damaged(QStringLiteral("缺少 %1").arg(name));
        if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > kMaxPartSize)
            throw damaged(QStringLiteral("%1 过大").arg(name));
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
            zip_fopen(m_zip, utf8.constData(), ZIP_FL_NOCASE), &zip_fclose);
        if (!file)
            throw damaged(QString::fromLocal8Bit(zip_strerror(m_zip)));
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        zip_int64_t done = 0;
        while (done < zip_int64_t(stat.size)) {
            const zip_int64_t n = zip_fread(file.get(), data.data() + done, stat.size - done);
            if (n <= 0)
                throw damaged(QStringLiteral("%1：%2").arg(name, QString::fromLocal8Bit(zip_file_strerror(file.get()))));
            done += n;
        }
        return data;
    }

    SheetError damaged(const QString &detail) const
    {
        return SheetError(QStringLiteral("工作簿“%1”已损坏：%2").arg(m_path, detail));
    }

private:
    QString m_path;
    zip_t *m_zip = nullptr;
};

// Reads one XML part; any XML error becomes a SheetError naming the part.
class PartReader : public QXmlStreamReader
{
public:
    PartReader(const ZipPackage &package, const QString &name)
        : QXmlStreamReader(package.read(name))
        , m_package(package)
        , m_name(name)
    {
    }

    void check() const
    {
        if (hasError())
            throw m_package.damaged(QStringLiteral("%1 第 %2 行：%3").arg(m_name).arg(lineNumber()).arg(errorString()));
    }

    QStringView attr(QLatin1StringView name) const { return attributes().value(name); }
    int intAttr(QLatin1StringView name, int fallback = 0) const
    {
        bool ok = false;
        const int value = attr(name).toInt(&ok);
        return ok ? value : fallback;
    }
    double doubleAttr(QLatin1StringView name, double fallback = 0) const
    {
        bool ok = false;
        const double value = attr(name).toDouble(&ok);
        return ok && std::isfinite(value) ? value : fallback;
    }
    // Boolean attributes default to false when absent; val="0"/"false" is false.
    bool boolAttr(QLatin1StringView name, bool absent = false) const
    {
        if (!attributes().hasAttribute(name))
            return absent;
        const QStringView value = attr(name);
        return value == QLatin1String("1") || value == QLatin1String("true");
    }
    QString relationshipId() const
    {
        for (const QXmlStreamAttribute &a : attributes()) {
            if (a.name() == QLatin1String("id") && a.namespaceUri().endsWith(QLatin1String("/relationships")))
                return a.value().toString();
        }
        return QString();
    }
    // The text of the current element and its descendants, without
    // phonetic runs (<rPh>); reads to the element's end.
    QString allText()
    {
        QString text;
        int depth = 1;
        int phonetic = 0;
        while (depth > 0 && !atEnd()) {
            switch (readNext()) {
            case StartElement:
                ++depth;
                if (name() == QLatin1String("rPh") && !phonetic)
                    phonetic = depth;
                break;
            case EndElement:
                if (depth == phonetic)
                    phonetic = 0;
                --depth;
                break;
            case Characters:
                if (!phonetic)
                    text += this->text();
                break;
            default:
                break;
            }
        }
        check();
        return text;
    }

private:
    const ZipPackage &m_package;
    QString m_name;
};

// Walks every start element of a part with its ancestors' names available.
template<typename F>
void forEachElement(PartReader &xml, F onStart)
{
    QList<QString> path;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            path.append(xml.name().toString());
            onStart(path);
            // onStart may consume the element (allText); keep the path right.
            if (xml.isEndElement())
                path.removeLast();
        } else if (token == QXmlStreamReader::EndElement && !path.isEmpty()) {
            path.removeLast();
        }
    }
    xml.check();
}

QString partFolder(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash);
}

QString resolveTarget(const QString &sourcePart, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = partFolder(sourcePart).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &piece : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (piece == QLatin1String(".."))
            parts.removeLast();
        else if (piece != QLatin1String("."))
            parts.append(piece);
    }
    return parts.join(QLatin1Char('/'));
}

struct Relationship
{
    QString type;
    QString target;
};

// The relationships of a part, by id: the part's _rels/<name>.rels.
QHash<QString, Relationship> readRelationships(const ZipPackage &package, const QString &part)
{
    QHash<QString, Relationship> relationships;
    const QString folder = partFolder(part);
    const QString relsName = (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("_rels/")
                             + part.mid(folder.isEmpty() ? 0 : folder.size() + 1) + QStringLiteral(".rels");
    if (!package.contains(relsName))
        return relationships;
    PartReader xml(package, relsName);
    forEachElement(xml, [&](const QList<QString> &path) {
        if (path.last() == QLatin1String("Relationship") && xml.attr(QLatin1StringView("TargetMode")) != QLatin1String("External")) {
            relationships.insert(xml.attr(QLatin1StringView("Id")).toString(),
                                 {xml.attr(QLatin1StringView("Type")).toString(),
                                  resolveTarget(part, xml.attr(QLatin1StringView("Target")).toString())});
        }
    });
    return relationships;
}

QString targetOfType(const QHash<QString, Relationship> &relationships, QLatin1StringView typeEnd)
{
    for (const Relationship &r : relationships) {
        if (r.type.endsWith(typeEnd))
            return r.target;
    }
    return QString();
}

// The spreadsheet's fixed colour palette for indexed colours.
QColor indexedColor(int index)
{
    static const std::array<QRgb, 56> palette{
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
    };
    if (index >= 0 && index < 8)
        return QColor(palette[index]);
    if (index >= 8 && index < 64)
        return QColor(palette[index - 8]);
    return index == 65 ? QColor(Qt::white) : QColor(Qt::black); // 64: system foreground
}

QColor applyTint(QColor color, double tint)
{
    if (tint == 0)
        return color;
    float h, s, l, a;
    color.getHslF(&h, &s, &l, &a);
    l = tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint;
    color.setHslF(h, s, std::clamp(l, 0.0f, 1.0f), a);
    return color;
}

class StyleReader
{
public:
    // Theme colours in the order the theme index counts them.
    std::array<QColor, 12> themeColors{
        QColor(QRgb(0xFFFFFF)), QColor(QRgb(0x000000)), QColor(QRgb(0xE7E6E6)), QColor(QRgb(0x44546A)),
        QColor(QRgb(0x4472C4)), QColor(QRgb(0xED7D31)), QColor(QRgb(0xA5A5A5)), QColor(QRgb(0xFFC000)),
        QColor(QRgb(0x5B9BD5)), QColor(QRgb(0x70AD47)), QColor(QRgb(0x0563C1)), QColor(QRgb(0x954F72)),
    };

    void readTheme(const ZipPackage &package, const QString &part)
    {
        // The scheme lists dk1 lt1 dk2 lt2 …; the index swaps each pair.
        static const QStringList order{QStringLiteral("dk1"), QStringLiteral("lt1"), QStringLiteral("dk2"),
                                       QStringLiteral("lt2"), QStringLiteral("accent1"), QStringLiteral("accent2"),
                                       QStringLiteral("accent3"), QStringLiteral("accent4"), QStringLiteral("accent5"),
                                       QStringLiteral("accent6"), QStringLiteral("hlink"), QStringLiteral("folHlink")};
        PartReader xml(package, part);
        forEachElement(xml, [&](const QList<QString> &path) {
            if (path.size() < 2 || !path.contains(QLatin1String("clrScheme")))
                return;
            const qsizetype slot = order.indexOf(path.at(path.size() - 2));
            if (slot < 0)
                return;
            QStringView hex;
            if (path.last() == QLatin1String("srgbClr"))
                hex = xml.attr(QLatin1StringView("val"));
            else if (path.last() == QLatin1String("sysClr"))
                hex = xml.attr(QLatin1StringView("lastClr"));
            else
                return;
            const int index = slot < 4 ? int(slot ^ 1) : int(slot);
            const QColor color(QLatin1Char('#') + hex.toString());
            if (color.isValid())
                themeColors[index] = color;
        });
    }

    QColor color(const PartReader &xml) const
    {
        QColor color;
        if (xml.attributes().hasAttribute(QLatin1StringView("rgb"))) {
            const QStringView argb = xml.attr(QLatin1StringView("rgb"));
            color = QColor(QLatin1Char('#') + argb.right(6).toString());
        } else if (xml.attributes().hasAttribute(QLatin1StringView("theme"))) {
            const int index = xml.intAttr(QLatin1StringView("theme"));
            if (index >= 0 && std::size_t(index) < themeColors.size())
                color = themeColors[index];
        } else if (xml.attributes().hasAttribute(QLatin1StringView("indexed"))) {
            color = indexedColor(xml.intAttr(QLatin1StringView("indexed")));
        }
        if (!color.isValid())
            return color;
        return applyTint(color, xml.doubleAttr(QLatin1StringView("tint")));
    }

    void readStyles(const ZipPackage &package, const QString &part)
    {
        PartReader xml(package, part);
        forEachElement(xml, [&](const QList<QString> &path) {
            const QString &name = path.last();
            const QString parent = path.size() >= 2 ? path.at(path.size() - 2) : QString();
            const QString grand = path.size() >= 3 ? path.at(path.size() - 3) : QString();
            if (name == QLatin1String("numFmt") && parent == QLatin1String("numFmts")) {
                m_formats.insert(xml.intAttr(QLatin1StringView("numFmtId")),
                                 xml.attr(QLatin1StringView("formatCode")).toString());
            } else if (parent == QLatin1String("fonts") && name == QLatin1String("font")) {
                m_fonts.append(CellFont());
                m_fonts.last().name = QStringLiteral("Calibri");
            } else if (grand == QLatin1String("fonts") && !m_fonts.isEmpty()) {
                readFontProperty(xml, name, m_fonts.last());
            } else if (parent == QLatin1String("fills") && name == QLatin1String("fill")) {
                m_fills.append(QColor());
                m_solid = false;
            } else if (name == QLatin1String("patternFill") && grand == QLatin1String("fills") && !m_fills.isEmpty()) {
                m_solid = xml.attr(QLatin1StringView("patternType")) == QLatin1String("solid");
            } else if (name == QLatin1String("fgColor") && path.contains(QLatin1String("fills")) && m_solid
                       && !m_fills.isEmpty()) {
                m_fills.last() = color(xml);
            } else if (parent == QLatin1String("borders") && name == QLatin1String("border")) {
                m_borders.append(Borders());
                m_currentLine = nullptr;
            } else if (grand == QLatin1String("borders") && !m_borders.isEmpty()) {
                m_currentLine = m_borders.last().side(name); // null for diagonals
                if (m_currentLine)
                    m_currentLine->style = borderStyle(xml.attr(QLatin1StringView("style")));
            } else if (name == QLatin1String("color") && path.size() >= 4 && path.at(path.size() - 4) == QLatin1String("borders")
                       && m_currentLine) {
                const QColor c = color(xml);
                if (c.isValid())
                    m_currentLine->color = c;
            } else if (parent == QLatin1String("cellXfs") && name == QLatin1String("xf")) {
                m_xfs.append(readXf(xml));
            } else if (grand == QLatin1String("cellXfs") && name == QLatin1String("alignment") && !m_xfs.isEmpty()) {
                readAlignment(xml, m_xfs.last());
            }
        });
    }

    // Adds the cell styles to the sheet; style i of the file becomes sheet
    // style i.
    void addTo(Worksheet &sheet) const
    {
        for (qsizetype i = 0; i < m_xfs.size(); ++i) {
            if (i == 0)
                sheet.setStyle(0, m_xfs.at(0));
            else
                sheet.addStyle(m_xfs.at(i));
        }
    }

    CellFont defaultFont() const { return m_fonts.isEmpty() ? CellFont() : m_fonts.first(); }

private:
    struct Borders
    {
        BorderLine left, right, top, bottom;
        BorderLine *side(const QString &name)
        {
            if (name == QLatin1String("left") || name == QLatin1String("start"))
                return &left;
            if (name == QLatin1String("right") || name == QLatin1String("end"))
                return &right;
            if (name == QLatin1String("top"))
                return &top;
            if (name == QLatin1String("bottom"))
                return &bottom;
            return nullptr;
        }
    };

    static BorderStyle borderStyle(QStringView name)
    {
        static const QHash<QString, BorderStyle> styles{
            {QStringLiteral("hair"), BorderStyle::Hair},
            {QStringLiteral("thin"), BorderStyle::Thin},
            {QStringLiteral("medium"), BorderStyle::Medium},
            {QStringLiteral("thick"), BorderStyle::Thick},
            {QStringLiteral("double"), BorderStyle::Double},
            {QStringLiteral("dotted"), BorderStyle::Dotted},
            {QStringLiteral("dashed"), BorderStyle::Dashed},
            {QStringLiteral("dashDot"), BorderStyle::DashDot},
            {QStringLiteral("dashDotDot"), BorderStyle::DashDotDot},
            {QStringLiteral("mediumDashed"), BorderStyle::MediumDashed},
            {QStringLiteral("mediumDashDot"), BorderStyle::MediumDashDot},
            {QStringLiteral("mediumDashDotDot"), BorderStyle::MediumDashDotDot},
            {QStringLiteral("slantDashDot"), BorderStyle::SlantDashDot},
        };
        return styles.value(name.toString(), BorderStyle::None);
    }

    void readFontProperty(const PartReader &xml, const QString &name, CellFont &font) const
    {
        const bool on = xml.boolAttr(QLatin1StringView("val"), true);
        if (name == QLatin1String("b"))
            font.bold = on;
        else if (name == QLatin1String("i"))
            font.italic = on;
        else if (name == QLatin1String("strike"))
            font.strikeOut = on;
        else if (name == QLatin1String("u"))
            font.underline = xml.attr(QLatin1StringView("val")) != QLatin1String("none");
        else if (name == QLatin1String("sz"))
            font.size = std::clamp(xml.doubleAttr(QLatin1StringView("val"), 11), 1.0, 409.0);
        else if (name == QLatin1String("name") || name == QLatin1String("rFont"))
            font.name = xml.attr(QLatin1StringView("val")).toString();
        else if (name == QLatin1String("color")) {
            const QColor c = color(xml);
            if (c.isValid())
                font.color = c;
        }
    }

    CellStyle readXf(const PartReader &xml) const
    {
        CellStyle style;
        const int fontId = xml.intAttr(QLatin1StringView("fontId"));
        if (fontId >= 0 && fontId < m_fonts.size())
            style.font = m_fonts.at(fontId);
        const int fillId = xml.intAttr(QLatin1StringView("fillId"));
        if (fillId >= 0 && fillId < m_fills.size())
            style.fill = m_fills.at(fillId);
        const int borderId = xml.intAttr(QLatin1StringView("borderId"));
        if (borderId >= 0 && borderId < m_borders.size()) {
            const Borders &b = m_borders.at(borderId);
            style.left = b.left;
            style.right = b.right;
            style.top = b.top;
            style.bottom = b.bottom;
        }
        const int formatId = xml.intAttr(QLatin1StringView("numFmtId"));
        style.numberFormat = m_formats.value(formatId, BuiltInNumberFormat(formatId));
        return style;
    }

    static void readAlignment(const PartReader &xml, CellStyle &style)
    {
        static const QHash<QString, HorizontalAlignment> horizontal{
            {QStringLiteral("general"), HorizontalAlignment::General},
            {QStringLiteral("left"), HorizontalAlignment::Left},
            {QStringLiteral("center"), HorizontalAlignment::Center},
            {QStringLiteral("right"), HorizontalAlignment::Right},
            {QStringLiteral("fill"), HorizontalAlignment::Fill},
            {QStringLiteral("justify"), HorizontalAlignment::Justify},
            {QStringLiteral("centerContinuous"), HorizontalAlignment::CenterContinuous},
            {QStringLiteral("distributed"), HorizontalAlignment::Distributed},
        };
        static const QHash<QString, VerticalAlignment> vertical{
            {QStringLiteral("top"), VerticalAlignment::Top},
            {QStringLiteral("center"), VerticalAlignment::Center},
            {QStringLiteral("bottom"), VerticalAlignment::Bottom},
            {QStringLiteral("justify"), VerticalAlignment::Justify},
            {QStringLiteral("distributed"), VerticalAlignment::Distributed},
        };
        style.horizontal = horizontal.value(xml.attr(QLatin1StringView("horizontal")).toString(), HorizontalAlignment::General);
        style.vertical = vertical.value(xml.attr(QLatin1StringView("vertical")).toString(), VerticalAlignment::Bottom);
        style.wrapText = xml.boolAttr(QLatin1StringView("wrapText"));
        style.shrinkToFit = xml.boolAttr(QLatin1StringView("shrinkToFit"));
        style.indent = std::clamp(xml.intAttr(QLatin1StringView("indent")), 0, 250);
    }

    QHash<int, QString> m_formats;
    QList<CellFont> m_fonts;
    QList<QColor> m_fills;
    QList<Borders> m_borders;
    QList<CellStyle> m_xfs;
    bool m_solid = false;
    BorderLine *m_currentLine = nullptr;
};

QStringList readSharedStrings(const ZipPackage &package, const QString &part)
{
    QStringList strings;
    PartReader xml(package, part);
    forEachElement(xml, [&](const QList<QString> &path) {
        if (path.last() == QLatin1String("si"))
            strings.append(xml.allText());
    });
    return strings;
}

std::optional<QPageSize> paperOfCode(int code)
{
    switch (code) {
    case 1: return QPageSize(QPageSize::Letter);
    case 5: return QPageSize(QPageSize::Legal);
    case 7: return QPageSize(QPageSize::Executive);
    case 8: return QPageSize(QPageSize::A3);
    case 9: return QPageSize(QPageSize::A4);
    case 11: return QPageSize(QPageSize::A5);
    case 12: return QPageSize(QPageSize::JisB4);
    case 13: return QPageSize(QPageSize::JisB5);
    case 39: return QPageSize(QSizeF(14.875, 11), QPageSize::Inch, QStringLiteral("US Std Fanfold"));
    case 40: return QPageSize(QSizeF(8.5, 12), QPageSize::Inch, QStringLiteral("German Std Fanfold"));
    case 41: return QPageSize(QSizeF(8.5, 13), QPageSize::Inch, QStringLiteral("German Legal Fanfold"));
    case 70: return QPageSize(QPageSize::A6);
    default: return std::nullopt;
    }
}

// "241mm", "9.5in", "24.1cm" in millimetres; 0 when unreadable.
double lengthInMillimetres(QStringView text)
{
    struct Unit { QLatin1StringView suffix; double mm; };
    static const std::array<Unit, 3> units{{{QLatin1StringView("mm"), 1}, {QLatin1StringView("cm"), 10}, {QLatin1StringView("in"), 25.4}}};
    for (const Unit &unit : units) {
        if (text.endsWith(unit.suffix)) {
            bool ok = false;
            const double value = text.chopped(unit.suffix.size()).toDouble(&ok);
            return ok && value > 0 && value < 10000 ? value * unit.mm : 0;
        }
    }
    return 0;
}

class SheetReader
{
public:
    SheetReader(const ZipPackage &package, Worksheet &sheet, const QStringList &sharedStrings)
        : m_package(package)
        , m_sheet(sheet)
        , m_strings(sharedStrings)
    {
    }

    void read(const QString &part)
    {
        PartReader xml(m_package, part);
        forEachElement(xml, [&](const QList<QString> &path) { element(xml, path); });
        m_sheet.pageSetup().margins = m_margins;
    }

private:
    void element(PartReader &xml, const QList<QString> &path)
    {
        const QString &name = path.last();
        if (name == QLatin1String("c")) {
            cell(xml);
        } else if (name == QLatin1String("row")) {
            row(xml);
        } else if (name == QLatin1String("col")) {
            const int first = xml.intAttr(QLatin1StringView("min"), 1);
            const int last = xml.intAttr(QLatin1StringView("max"), first);
            const double width = xml.attributes().hasAttribute(QLatin1StringView("width"))
                                     ? std::clamp(xml.doubleAttr(QLatin1StringView("width")), 0.0, 255.0)
                                     : -1;
            m_sheet.setColumnFormat(first, last, width, xml.boolAttr(QLatin1StringView("hidden")),
                                    xml.intAttr(QLatin1StringView("style"), -1));
        } else if (name == QLatin1String("sheetFormatPr")) {
            m_sheet.setDefaultRowHeight(std::clamp(xml.doubleAttr(QLatin1StringView("defaultRowHeight"), 15), 0.0, 409.0));
            if (xml.attributes().hasAttribute(QLatin1StringView("defaultColWidth"))) {
                m_sheet.setDefaultColumnWidth(std::clamp(xml.doubleAttr(QLatin1StringView("defaultColWidth")), 0.0, 255.0));
            } else {
                // baseColWidth characters plus padding, rounded up to 8 pixels.
                const int base = std::clamp(xml.intAttr(QLatin1StringView("baseColWidth"), 8), 0, 255);
                m_sheet.setDefaultColumnWidth(std::ceil((base * 7 + 5) / 8.0) * 8 / 7.0);
            }
        } else if (name == QLatin1String("mergeCell")) {
            if (const auto range = CellRange::fromReference(xml.attr(QLatin1StringView("ref"))))
                m_sheet.addMerge(*range);
        } else if (name == QLatin1String("pageSetUpPr")) {
            m_sheet.pageSetup().fitToPage = xml.boolAttr(QLatin1StringView("fitToPage"));
        } else if (name == QLatin1String("pageMargins")) {
            auto mm = [&](QLatin1StringView side, double fallback) {
                return std::clamp(xml.doubleAttr(side, fallback), 0.0, 20.0) * 25.4;
            };
            m_margins = QMarginsF(mm(QLatin1StringView("left"), 0.7), mm(QLatin1StringView("top"), 0.75),
                                  mm(QLatin1StringView("right"), 0.7), mm(QLatin1StringView("bottom"), 0.75));
        } else if (name == QLatin1String("pageSetup")) {
            pageSetup(xml);
        } else if (name == QLatin1String("printOptions")) {
            PageSetup &page = m_sheet.pageSetup();
            page.centerHorizontally = xml.boolAttr(QLatin1StringView("horizontalCentered"));
            page.centerVertically = xml.boolAttr(QLatin1StringView("verticalCentered"));
            page.gridLines = xml.boolAttr(QLatin1StringView("gridLines"));
        } else if (name == QLatin1String("selection") && path.contains(QLatin1String("sheetView")) && !m_selected) {
            if (const auto range = CellRange::fromReference(xml.attr(QLatin1StringView("activeCell")))) {
                m_sheet.select(range->top, range->left);
                m_selected = true;
            }
        }
    }

    void row(PartReader &xml)
    {
        m_row = xml.attributes().hasAttribute(QLatin1StringView("r")) ? xml.intAttr(QLatin1StringView("r")) : m_row + 1;
        if (m_row < 1 || m_row > kMaxSheetRows)
            throw m_package.damaged(QStringLiteral("行号无效：%1").arg(m_row));
        m_column = 0;
        const bool hidden = xml.boolAttr(QLatin1StringView("hidden"));
        const int style = xml.boolAttr(QLatin1StringView("customFormat")) ? xml.intAttr(QLatin1StringView("s"), -1) : -1;
        // A height without customHeight was fitted to the text; it still is
        // the height the row was shown with.
        const double height = std::clamp(xml.doubleAttr(QLatin1StringView("ht"), -1), -1.0, 409.0);
        if (height >= 0 || hidden || style >= 0)
            m_sheet.setRowFormat(m_row, height, hidden, style);
    }

    void cell(PartReader &xml)
    {
        if (const QStringView ref = xml.attr(QLatin1StringView("r")); !ref.isEmpty()) {
            const auto range = CellRange::fromReference(ref);
            if (!range)
                throw m_package.damaged(QStringLiteral("单元格地址无效：%1").arg(ref.toString()));
            m_row = range->top;
            m_column = range->left;
        } else {
            ++m_column;
        }
        if (m_row < 1 || m_column < 1 || m_column > kMaxSheetColumns)
            throw m_package.damaged(QStringLiteral("单元格地址无效"));
        const QString type = xml.attr(QLatin1StringView("t")).toString();
        const int style = xml.intAttr(QLatin1StringView("s"), 0);
        m_sheet.setStyleIndex(m_row, m_column, style >= 0 && style < m_sheet.styleCount() ? style : 0);

        // Children: <v>, <is>, <f>; read them here so the walk goes on after </c>.
        QString value;
        bool hasValue = false;
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("v")) {
                    value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    hasValue = true;
                } else if (xml.name() == QLatin1String("is")) {
                    value = xml.allText();
                    hasValue = true;
                } else {
                    ++depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            }
        }
        xml.check();
        if (!hasValue)
            return;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = value.toInt(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                throw m_package.damaged(QStringLiteral("引用了不存在的共享文本：%1").arg(value));
            m_sheet.setText(m_row, m_column, m_strings.at(index));
        } else if (type == QLatin1String("str") || type == QLatin1String("inlineStr") || type == QLatin1String("e")
                   || type == QLatin1String("d")) {
            m_sheet.setText(m_row, m_column, value);
        } else if (type == QLatin1String("b")) {
            m_sheet.setText(m_row, m_column, value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        } else if (!value.isEmpty()) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (!ok)
                throw m_package.damaged(QStringLiteral("数值无效：%1").arg(value));
            m_sheet.setNumber(m_row, m_column, number);
        }
    }

    void pageSetup(const PartReader &xml)
    {
        PageSetup &page = m_sheet.pageSetup();
        const double width = lengthInMillimetres(xml.attr(QLatin1StringView("paperWidth")));
        const double height = lengthInMillimetres(xml.attr(QLatin1StringView("paperHeight")));
        if (width > 0 && height > 0)
            page.paper = QPageSize(QSizeF(width, height), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
        else if (const auto paper = paperOfCode(xml.intAttr(QLatin1StringView("paperSize"), 9)))
            page.paper = *paper;
        page.orientation = xml.attr(QLatin1StringView("orientation")) == QLatin1String("landscape")
                               ? QPageLayout::Landscape
                               : QPageLayout::Portrait;
        page.scale = std::clamp(xml.intAttr(QLatin1StringView("scale"), 100), 10, 400);
        page.fitToWidth = std::clamp(xml.intAttr(QLatin1StringView("fitToWidth"), 1), 0, 32767);
        page.fitToHeight = std::clamp(xml.intAttr(QLatin1StringView("fitToHeight"), 1), 0, 32767);
    }

    const ZipPackage &m_package;
    Worksheet &m_sheet;
    const QStringList &m_strings;
    int m_row = 0;
    int m_column = 0;
    bool m_selected = false;
    QMarginsF m_margins = QMarginsF(17.78, 19.05, 17.78, 19.05);
};

struct WorkbookParts
{
    QString firstSheetName;
    QString firstSheetPart;
    QString printArea;
};

WorkbookParts readWorkbook(const ZipPackage &package, const QString &part)
{
    const QHash<QString, Relationship> relationships = readRelationships(package, part);
    WorkbookParts parts;
    PartReader xml(package, part);
    forEachElement(xml, [&](const QList<QString> &path) {
        if (path.last() == QLatin1String("sheet") && parts.firstSheetPart.isEmpty()) {
            parts.firstSheetName = xml.attr(QLatin1StringView("name")).toString();
            parts.firstSheetPart = relationships.value(xml.relationshipId()).target;
            if (parts.firstSheetPart.isEmpty())
                throw package.damaged(QStringLiteral("找不到工作表“%1”").arg(parts.firstSheetName));
        } else if (path.last() == QLatin1String("definedName")
                   && xml.attr(QLatin1StringView("name")) == QLatin1String("_xlnm.Print_Area")
                   && xml.attr(QLatin1StringView("localSheetId")) == QLatin1String("0")) {
            parts.printArea = xml.allText();
        }
    });
    if (parts.firstSheetPart.isEmpty())
        throw package.damaged(QStringLiteral("没有工作表"));
    return parts;
}

// "'送货单'!$A$1:$O$16,…" → the first range.
std::optional<CellRange> printAreaRange(const QString &definition)
{
    QString first = definition.section(QLatin1Char(','), 0, 0);
    first = first.mid(first.lastIndexOf(QLatin1Char('!')) + 1);
    return CellRange::fromReference(first);
}

} // namespace

Worksheet ReadFirstWorksheet(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw SheetError(QStringLiteral("找不到文件“%1”。").arg(path));
    const ZipPackage package(path);

    QString workbookPart = targetOfType(readRelationships(package, QString()), QLatin1StringView("/officeDocument"));
    if (workbookPart.isEmpty())
        workbookPart = QStringLiteral("xl/workbook.xml");
    const WorkbookParts parts = readWorkbook(package, workbookPart);
    const QHash<QString, Relationship> relationships = readRelationships(package, workbookPart);

    Worksheet sheet;
    StyleReader styles;
    if (const QString theme = targetOfType(relationships, QLatin1StringView("/theme")); !theme.isEmpty() && package.contains(theme))
        styles.readTheme(package, theme);
    if (const QString styleParts = targetOfType(relationships, QLatin1StringView("/styles")); !styleParts.isEmpty())
        styles.readStyles(package, styleParts);
    styles.addTo(sheet);

    QStringList sharedStrings;
    if (const QString strings = targetOfType(relationships, QLatin1StringView("/sharedStrings")); !strings.isEmpty())
        sharedStrings = readSharedStrings(package, strings);

    try {
        sheet.setName(parts.firstSheetName);
    } catch (const SheetError &) {
        // A name some other program allowed; it only labels the sheet.
    }
    SheetReader(package, sheet, sharedStrings).read(parts.firstSheetPart);
    if (!parts.printArea.isEmpty())
        sheet.setPrintArea(printAreaRange(parts.printArea));
    return sheet;
}
