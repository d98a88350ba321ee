#pragma once

#include "model/GridRow.h"

#include <QVariant>

#include <vector>

class CellFormat;

// Builds grid rows cell by cell into one reused buffer, turning database
// values into the texts a cell shows without a string per value.
class RowBuilder
{
public:
    void start();
    void append(QStringView text);
    void appendLatin1(const char *text, qsizetype length);
    // Appends well-formed UTF-8 text, each cell decoded on its own. Returns
    // false, appending nothing, for ill-formed bytes and the noncharacters
    // U+FFFE and U+FFFF, whose replacement the caller's source decides.
    bool appendWellFormedUtf8(const char *text, qsizetype length);
    // UTF-8 as QString::fromUtf8() reads it: ill-formed bytes become U+FFFD.
    void appendUtf8(const char *text, qsizetype length);
    // Shortest text that reads back as the same double, as QVariant gives it.
    void appendNumber(double value);
    void appendNumber(qint64 value);
    // A double through a number format, formatted from the value's decimal
    // form rather than from its text. False, appending nothing, where the
    // text has to be formatted instead.
    bool appendFormatted(double value, const CellFormat &format);
    // The text QVariant::toString() gives; Null gives nothing.
    void appendValue(const QVariant &value);
    // Ends the cell being built, formatting it first when a format is given.
    void endCell(const CellFormat *format = nullptr);
    GridRow finish(qint32 data);

private:
    bool appendShortDecimal(double value);

    std::vector<char16_t> m_text;
    std::vector<quint32> m_ends;
    size_t m_cellStart = 0;
    QString m_formatted;
};
