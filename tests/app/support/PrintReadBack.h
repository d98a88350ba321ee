#pragma once

// Reading printed PDFs back with poppler's tools, a reader that is not ours,
// and checking that a template file stayed as it was.

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
#include <QString>
#include <QStringList>

// The program's standard output, or empty text when it fails.
inline QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning().noquote() << program << "failed:" << process.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The non-empty lines of `pdftotext -layout`, of one page (from 1) or all.
inline QStringList pdfLines(const QString &pdf, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << pdf << QStringLiteral("-");
    return runTool(QStringLiteral("pdftotext"), arguments).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline int pdfPageCount(const QString &pdf)
{
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runTool(QStringLiteral("pdfinfo"), {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// A PDF names each glyph by the lowest code point the font draws with it, so
// an ideograph whose glyph a CJK radical shares comes back as the radical
// (户 as ⼾, 日 as ⽇). Expected and extracted texts are compared with every
// such character replaced by that radical, using the font that printed them.
inline QString normalised(const QString &text)
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

// Without any white space: for texts the layout may space out.
inline QString squeezed(const QString &text)
{
    QString result = normalised(text);
    result.remove(QRegularExpression(QStringLiteral("\\s")));
    return result;
}

inline QStringList wordsOf(const QString &line)
{
    return normalised(line).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// SHA-256 of a file's bytes; empty when it cannot be read.
inline QByteArray fileChecksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}
