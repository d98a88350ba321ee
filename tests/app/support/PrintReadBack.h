#pragma once

// Reading printed PDFs back with poppler's tools, a reader that is not ours,
// and checking that a template file stayed as it was.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's standard output, or empty text when it fails.
QString runTool(const QString &program, const QStringList &arguments);

// The non-empty lines of `pdftotext -layout`, of one page (from 1) or all.
QStringList pdfLines(const QString &pdf, int page = 0);

int pdfPageCount(const QString &pdf);

// A PDF names each glyph by the lowest code point the font draws with it, so
// an ideograph whose glyph a CJK radical shares comes back as the radical
// (户 as ⼾, 日 as ⽇). Expected and extracted texts are compared with every
// such character replaced by that radical, using the font that printed them.
QString normalised(const QString &text);

// Without any white space: for texts the layout may space out.
QString squeezed(const QString &text);

QStringList wordsOf(const QString &line);

// SHA-256 of a file's bytes; empty when it cannot be read.
QByteArray fileChecksum(const QString &path);
