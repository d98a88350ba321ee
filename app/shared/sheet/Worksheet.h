#pragma once

#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QVariant>

#include <map>
#include <optional>
#include <vector>

// One sheet of a workbook: cell values, cell styles, column widths, row
// heights, merged ranges and page set-up. Rows and columns count from 1, as
// a spreadsheet's cells(row, column) does. Sizes are a spreadsheet's own:
// column widths in characters of the standard font, row heights in points.

constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetColumns = 16384;

enum class BorderStyle {
    None, Hair, Thin, Medium, Thick, Double, Dotted, Dashed, DashDot, DashDotDot,
    MediumDashed, MediumDashDot, MediumDashDotDot, SlantDashDot
};

struct BorderLine
{
    BorderStyle style = BorderStyle::None;
    QColor color = Qt::black;
};

enum class HorizontalAlignment { General, Left, Center, Right, Fill, Justify, CenterContinuous, Distributed };
enum class VerticalAlignment { Top, Center, Bottom, Justify, Distributed };

struct CellFont
{
    QString name = QStringLiteral("宋体");
    double size = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = Qt::black;
};

struct CellStyle
{
    CellFont font;
    QColor fill; // invalid: no fill
    HorizontalAlignment horizontal = HorizontalAlignment::General;
    VerticalAlignment vertical = VerticalAlignment::Bottom;
    bool wrapText = false;
    bool shrinkToFit = false;
    int indent = 0;
    BorderLine left;
    BorderLine right;
    BorderLine top;
    BorderLine bottom;
    QString numberFormat = QStringLiteral("General");
};

// A rectangle of cells, inclusive.
struct CellRange
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    bool contains(int row, int column) const
    {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    bool operator==(const CellRange &) const = default;

    // "B3" or "A1:O1", with or without "$".
    static std::optional<CellRange> fromReference(QStringView reference);
};

// "A" for 1, "O" for 15, "AA" for 27.
QString ColumnLetters(int column);

struct PageSetup
{
    QPageSize paper = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins = QMarginsF(17.78, 19.05, 17.78, 19.05); // mm; a spreadsheet's default
    int scale = 100;           // percent, used unless fitToPage
    bool fitToPage = false;
    int fitToWidth = 1;        // pages across; 0: as many as needed
    int fitToHeight = 1;       // pages down; 0: as many as needed
    bool centerHorizontally = false;
    bool centerVertically = false;
    bool gridLines = false;
};

enum class CellKind : quint8 { Empty, Text, Number };

class Worksheet
{
public:
    explicit Worksheet(const QString &name = QStringLiteral("Sheet1"));

    QString name() const { return m_name; }
    // A sheet name has 1 to 31 characters, none of : \ / ? * [ ] and no
    // apostrophe at either end; anything else throws SheetError.
    void setName(const QString &name);

    // Values. setValue takes what cells(row, column) = value takes: a number,
    // or a text, which becomes a number when it reads entirely as one
    // (NumberFromCellText) unless the cell is formatted as text. An empty
    // text or invalid variant clears the value. Outside the sheet's bounds
    // these throw SheetError.
    void setValue(int row, int column, const QVariant &value);
    void setText(int row, int column, const QString &text);
    void setNumber(int row, int column, double number);
    CellKind kind(int row, int column) const;
    QString text(int row, int column) const;
    double number(int row, int column) const;
    // The value as a QString or a double; invalid when empty.
    QVariant value(int row, int column) const;
    // The value as the cell shows it, in its number format.
    QString displayText(int row, int column) const;

    // Splits text at tabs and line breaks (CR LF, LF or CR) into cells from
    // row, column on, numbers becoming numbers.
    void pasteText(const QString &text, int row = 1, int column = 1);

    // Styles: index 0 is the sheet's default. A cell without a style of its
    // own takes its row's, else its column's.
    int addStyle(const CellStyle &style);
    void setStyle(int index, const CellStyle &style); // an existing index
    const CellStyle &style(int index) const;
    int styleCount() const { return int(m_styles.size()); }
    int styleIndex(int row, int column) const;
    const CellStyle &cellStyle(int row, int column) const { return style(styleIndex(row, column)); }
    void setStyleIndex(int row, int column, int index);

    // Geometry.
    double defaultColumnWidth() const { return m_defaultColumnWidth; }
    void setDefaultColumnWidth(double width) { m_defaultColumnWidth = width; }
    double columnWidth(int column) const; // 0 when hidden
    void setColumnFormat(int first, int last, double width, bool hidden = false, int style = -1);
    double defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(double points) { m_defaultRowHeight = points; }
    double rowHeight(int row) const; // 0 when hidden
    void setRowFormat(int row, double points, bool hidden = false, int style = -1);

    void addMerge(const CellRange &range);
    const std::vector<CellRange> &merges() const { return m_merges; }
    const CellRange *mergeAt(int row, int column) const;

    PageSetup &pageSetup() { return m_page; }
    const PageSetup &pageSetup() const { return m_page; }
    std::optional<CellRange> printArea() const { return m_printArea; }
    void setPrintArea(const std::optional<CellRange> &range) { m_printArea = range; }

    // The smallest range holding every value, every visibly styled cell
    // (border or fill) and every merge; A1 alone for an empty sheet.
    CellRange usedRange() const;

    // The selected cell, as the sheet opens.
    std::pair<int, int> selection() const { return m_selection; }
    void select(int row, int column);

    // Visits every stored cell (value or style), row by row, left to right:
    // f(row, column, kind, text, number, styleIndex).
    template<typename F>
    void forEachCell(F f) const
    {
        for (const auto &[row, cells] : m_rows) {
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const Cell &cell = cells[i];
                if (cell.stored)
                    f(row, int(i) + 1, cell.kind, cell.text, cell.number, cell.style);
            }
        }
    }

private:
    struct Cell
    {
        QString text;
        double number = 0;
        int style = 0;
        CellKind kind = CellKind::Empty;
        bool stored = false;
    };
    struct RowFormat
    {
        double height = -1; // default
        bool hidden = false;
        int style = -1;
    };
    struct ColumnFormat
    {
        int first = 1;
        int last = 1;
        double width = -1;
        bool hidden = false;
        int style = -1;
    };

    void setFromText(int row, int column, QStringView text);
    const Cell *findCell(int row, int column) const;
    Cell &cellForWriting(int row, int column);
    const ColumnFormat *columnFormat(int column) const;

    QString m_name;
    std::map<int, std::vector<Cell>> m_rows; // cells of a row by column - 1
    std::map<int, RowFormat> m_rowFormats;
    std::vector<ColumnFormat> m_columnFormats;
    std::vector<CellStyle> m_styles{CellStyle()};
    std::vector<CellRange> m_merges;
    double m_defaultColumnWidth = 8.43;
    double m_defaultRowHeight = 15;
    PageSetup m_page;
    std::optional<CellRange> m_printArea;
    std::pair<int, int> m_selection{1, 1};
};
