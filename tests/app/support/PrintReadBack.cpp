#include "PrintReadBack.h"

#include "shared/sheet/SheetPainter.h"
#include "shared/sheet/Worksheet.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning().noquote() << program << "failed:" << process.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList pdfLines(const QString &pdf, int page)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << pdf << QStringLiteral("-");
    return runTool(QStringLiteral("pdftotext"), arguments).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int pdfPageCount(const QString &pdf)
{
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runTool(QStringLiteral("pdfinfo"), {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QString normalised(const QString &text)
{
    static const QRawFont font = QRawFont::fromFont(SheetFont(CellFont(), nullptr), QFontDatabase::SimplifiedChinese);
    static const QHash<quint32, QChar> radicalOfGlyph = [] {
        QHash<quint32, QChar> map;
        for (char16_t radical = 0x2E80; radical <= 0x2FDF; ++radical) {
            const QList<quint32> glyphs = font.glyphIndexesForString(QString(QChar(radical)));
            if (!glyphs.isEmpty() && glyphs.first() != 0 && !map.contains(glyphs.first()))
                map.insert(glyphs.first(), QChar(radical));
        }
        return map;
    }();
    QString result = text;
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    for (qsizetype i = 0; i < result.size() && i < glyphs.size(); ++i) {
        const auto radical = radicalOfGlyph.constFind(glyphs.at(i));
        if (radical != radicalOfGlyph.constEnd())
            result[i] = *radical;
    }
    return result;
}

QString squeezed(const QString &text)
{
    QString result = normalised(text);
    result.remove(QRegularExpression(QStringLiteral("\\s")));
    return result;
}

QStringList wordsOf(const QString &line)
{
    return normalised(line).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

QByteArray fileChecksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}
