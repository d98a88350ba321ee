#include "SheetPainter.h"

#include "SheetLayout.h"
#include "Worksheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr double kHorizontalPadding = 2; // points between a cell's edge and its text
constexpr double kIndentWidth = 7.5;     // points per indent level

bool isSerifFamily(const QString &name)
{
    static const QStringList serif{QStringLiteral("宋"), QStringLiteral("楷"), QStringLiteral("Song"),
                                   QStringLiteral("Kai"), QStringLiteral("Ming"), QStringLiteral("明"),
                                   QStringLiteral("Times"), QStringLiteral("Serif")};
    return std::any_of(serif.begin(), serif.end(),
                       [&name](const QString &part) { return name.contains(part, Qt::CaseInsensitive); });
}

struct BorderSegment
{
    QLineF line;
    BorderLine border;
};

double penWidth(BorderStyle style)
{
    switch (style) {
    case BorderStyle::None: return 0;
    case BorderStyle::Hair: return 0.25;
    case BorderStyle::Thin:
    case BorderStyle::Dotted:
    case BorderStyle::Dashed:
    case BorderStyle::DashDot:
    case BorderStyle::DashDotDot: return 0.5;
    case BorderStyle::Double: return 1.6; // two lines and the gap between them
    case BorderStyle::Medium:
    case BorderStyle::MediumDashed:
    case BorderStyle::MediumDashDot:
    case BorderStyle::MediumDashDotDot:
    case BorderStyle::SlantDashDot: return 1.0;
    case BorderStyle::Thick: return 1.5;
    }
    return 0.5;
}

Qt::PenStyle penStyle(BorderStyle style)
{
    switch (style) {
    case BorderStyle::Dotted: return Qt::DotLine;
    case BorderStyle::Dashed:
    case BorderStyle::MediumDashed: return Qt::DashLine;
    case BorderStyle::DashDot:
    case BorderStyle::MediumDashDot:
    case BorderStyle::SlantDashDot: return Qt::DashDotLine;
    case BorderStyle::DashDotDot:
    case BorderStyle::MediumDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

void drawBorder(QPainter &painter, const BorderSegment &segment)
{
    const BorderStyle style = segment.border.style;
    if (style == BorderStyle::Double) {
        QPen pen(segment.border.color, 0.4, Qt::SolidLine, Qt::SquareCap);
        painter.setPen(pen);
        const QLineF &line = segment.line;
        const bool vertical = line.x1() == line.x2();
        const QPointF offset = vertical ? QPointF(0.6, 0) : QPointF(0, 0.6);
        painter.drawLine(line.translated(offset));
        painter.drawLine(line.translated(-offset));
        return;
    }
    const Qt::PenStyle dash = penStyle(style);
    QPen pen(segment.border.color, penWidth(style), dash, dash == Qt::SolidLine ? Qt::SquareCap : Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(segment.line);
}

class PagePainter
{
public:
    PagePainter(QPainter &painter, const Worksheet &sheet, const SheetLayout &layout, const SheetPage &page)
        : m_painter(painter)
        , m_sheet(sheet)
        , m_layout(layout)
        , m_page(page)
        , m_band(layout.pageRect(page))
    {
        for (const CellRange &merge : sheet.merges()) {
            if (merge.left <= page.lastColumn && merge.right >= page.firstColumn && merge.top <= page.lastRow
                && merge.bottom >= page.firstRow)
                m_merges.push_back(merge);
        }
    }

    void paint()
    {
        m_painter.save();
        m_painter.translate(-m_band.topLeft());
        m_painter.setClipRect(m_band, Qt::IntersectClip);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
        paintFills();
        paintTexts();
        // Lines on the page's edge would lose half their width to the clip.
        m_painter.setClipRect(m_band.adjusted(-2, -2, 2, 2));
        paintBorders();
        m_painter.restore();
    }

private:
    template<typename F>
    void forEachCell(F f) const
    {
        for (int row = m_page.firstRow; row <= m_page.lastRow; ++row) {
            for (int column = m_page.firstColumn; column <= m_page.lastColumn; ++column)
                f(row, column);
        }
    }

    const CellRange *mergeAt(int row, int column) const
    {
        for (const CellRange &merge : m_merges) {
            if (merge.contains(row, column))
                return &merge;
        }
        return nullptr;
    }

    void paintFills()
    {
        forEachCell([this](int row, int column) {
            if (mergeAt(row, column))
                return;
            const QColor fill = m_sheet.cellStyle(row, column).fill;
            if (fill.isValid())
                m_painter.fillRect(m_layout.cellRect(row, column), fill);
        });
        for (const CellRange &merge : m_merges) {
            const QColor fill = m_sheet.cellStyle(merge.top, merge.left).fill;
            if (fill.isValid())
                m_painter.fillRect(m_layout.rangeRect(merge), fill);
        }
    }

    void paintTexts()
    {
        forEachCell([this](int row, int column) {
            if (!mergeAt(row, column))
                paintText(row, column, m_layout.cellRect(row, column), false);
        });
        for (const CellRange &merge : m_merges)
            paintText(merge.top, merge.left, m_layout.rangeRect(merge), true);
    }

    bool isFree(int row, int column) const
    {
        return m_sheet.kind(row, column) == CellKind::Empty && !mergeAt(row, column);
    }

    // Text too wide for its cell runs on over empty neighbours, as far as
    // it needs: to the right when left-aligned, to the left when
    // right-aligned, both ways when centred.
    QRectF overflowArea(int row, int column, Qt::Alignment alignment, double needed) const
    {
        int left = column;
        int right = column;
        auto width = [&] { return m_layout.columnLeft(right + 1) - m_layout.columnLeft(left); };
        const bool growRight = !(alignment & Qt::AlignRight);
        const bool growLeft = !(alignment & Qt::AlignLeft);
        bool grew = true;
        while (width() < needed && grew) {
            grew = false;
            if (growRight && right < m_page.lastColumn && isFree(row, right + 1)) {
                ++right;
                grew = true;
            }
            if (growLeft && width() < needed && left > m_page.firstColumn && isFree(row, left - 1)) {
                --left;
                grew = true;
            }
        }
        if (alignment & Qt::AlignHCenter) {
            // Keep the text centred on its own cell.
            const QRectF own = m_layout.cellRect(row, column);
            const double half = std::min(own.center().x() - m_layout.columnLeft(left),
                                         m_layout.columnLeft(right + 1) - own.center().x());
            return QRectF(own.center().x() - half, own.top(), 2 * half, own.height());
        }
        return m_layout.rangeRect(CellRange{row, left, row, right});
    }

    void paintText(int row, int column, const QRectF &cell, bool merged)
    {
        QString text = m_sheet.displayText(row, column);
        if (text.isEmpty() || cell.width() <= 0 || cell.height() <= 0)
            return;
        const CellStyle &style = m_sheet.cellStyle(row, column);
        const bool number = m_sheet.kind(row, column) == CellKind::Number;

        Qt::Alignment alignment;
        switch (style.horizontal) {
        case HorizontalAlignment::General: alignment = number ? Qt::AlignRight : Qt::AlignLeft; break;
        case HorizontalAlignment::Right: alignment = Qt::AlignRight; break;
        case HorizontalAlignment::Center:
        case HorizontalAlignment::CenterContinuous:
        case HorizontalAlignment::Distributed: alignment = Qt::AlignHCenter; break;
        case HorizontalAlignment::Justify: alignment = Qt::AlignJustify; break;
        default: alignment = Qt::AlignLeft; break;
        }
        switch (style.vertical) {
        case VerticalAlignment::Top: alignment |= Qt::AlignTop; break;
        case VerticalAlignment::Bottom: alignment |= Qt::AlignBottom; break;
        default: alignment |= Qt::AlignVCenter; break;
        }

        QFont font = SheetFont(style.font, m_painter.device());
        const double indent = style.indent * kIndentWidth;
        auto inner = [&](const QRectF &area) {
            QRectF r = area.adjusted(kHorizontalPadding, 0.5, -kHorizontalPadding, -0.5);
            if (alignment & Qt::AlignRight)
                r.setRight(r.right() - indent);
            else if (!(alignment & Qt::AlignHCenter))
                r.setLeft(r.left() + indent);
            return r;
        };
        QRectF area = cell;
        int flags = int(alignment);
        if (style.wrapText) {
            flags |= Qt::TextWordWrap;
        } else {
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            const double width = QFontMetricsF(font, m_painter.device()).horizontalAdvance(text);
            const double available = inner(cell).width();
            if (width > available) {
                if (style.shrinkToFit && available > 0) {
                    font.setPointSizeF(font.pointSizeF() * std::max(available / width, 0.1));
                } else if (number) {
                    // A number never shows cut off: it shows as ### instead.
                    const double hash = QFontMetricsF(font, m_painter.device()).horizontalAdvance(QLatin1Char('#'));
                    text = QString(std::max(1, int(available / hash)), QLatin1Char('#'));
                } else if (!merged) {
                    area = overflowArea(row, column, alignment, width + 2 * kHorizontalPadding + indent);
                    m_overflows.push_back(area);
                }
            }
        }
        const QRectF textRect = inner(area);
        m_painter.save();
        m_painter.setClipRect(area.intersected(m_band), Qt::IntersectClip);
        m_painter.setFont(font);
        m_painter.setPen(style.font.color);
        m_painter.drawText(textRect, flags, text);
        m_painter.restore();
    }

    // Grid lines are not printed across text that runs on into its
    // neighbours.
    bool underOverflow(const QLineF &line) const
    {
        if (line.x1() != line.x2())
            return false;
        return std::any_of(m_overflows.begin(), m_overflows.end(), [&line](const QRectF &area) {
            return line.x1() > area.left() + 1e-6 && line.x1() < area.right() - 1e-6
                   && std::min(line.y1(), line.y2()) >= area.top() - 1e-6 && std::max(line.y1(), line.y2()) <= area.bottom() + 1e-6;
        });
    }

    void paintBorders()
    {
        std::vector<BorderSegment> segments;
        const bool grid = m_sheet.pageSetup().gridLines;
        const BorderLine gridLine{BorderStyle::Hair, QColor(0xC0, 0xC0, 0xC0)};
        // Edges inside a merged range are not drawn.
        auto add = [&](const QLineF &line, const BorderLine &border, bool outerEdge) {
            if (!outerEdge)
                return;
            if (border.style != BorderStyle::None)
                segments.push_back({line, border});
            else if (grid && !underOverflow(line))
                segments.push_back({line, gridLine});
        };
        // One row and column beyond the page too: their borders facing the
        // page lie on its edge.
        const int lastRow = std::min(m_page.lastRow + 1, m_layout.range().bottom);
        const int lastColumn = std::min(m_page.lastColumn + 1, m_layout.range().right);
        for (int row = std::max(m_page.firstRow - 1, m_layout.range().top); row <= lastRow; ++row) {
            for (int column = std::max(m_page.firstColumn - 1, m_layout.range().left); column <= lastColumn; ++column) {
                const QRectF r = m_layout.cellRect(row, column);
                if (r.width() <= 0 || r.height() <= 0)
                    continue;
                const CellStyle &style = m_sheet.cellStyle(row, column);
                const CellRange *merge = m_sheet.mergeAt(row, column);
                add(QLineF(r.topLeft(), r.bottomLeft()), style.left, !merge || column == merge->left);
                add(QLineF(r.topRight(), r.bottomRight()), style.right, !merge || column == merge->right);
                add(QLineF(r.topLeft(), r.topRight()), style.top, !merge || row == merge->top);
                add(QLineF(r.bottomLeft(), r.bottomRight()), style.bottom, !merge || row == merge->bottom);
            }
        }
        // Two cells sharing an edge may both have a line there: draw it once,
        // the heavier one (drawing both would darken a thin line).
        std::map<std::tuple<qint64, qint64, qint64, qint64>, BorderSegment> unique;
        auto key = [](const QLineF &line) {
            auto hundredths = [](double v) { return qint64(std::llround(v * 100)); };
            return std::tuple(hundredths(line.x1()), hundredths(line.y1()), hundredths(line.x2()), hundredths(line.y2()));
        };
        for (const BorderSegment &segment : segments) {
            auto [it, inserted] = unique.try_emplace(key(segment.line), segment);
            if (!inserted && penWidth(segment.border.style) > penWidth(it->second.border.style))
                it->second = segment;
        }
        std::vector<BorderSegment> lines;
        for (const auto &[k, segment] : unique)
            lines.push_back(segment);
        // Heavier lines over lighter ones where they cross.
        std::stable_sort(lines.begin(), lines.end(), [](const BorderSegment &a, const BorderSegment &b) {
            return penWidth(a.border.style) < penWidth(b.border.style);
        });
        for (const BorderSegment &segment : lines)
            drawBorder(m_painter, segment);
    }

    QPainter &m_painter;
    const Worksheet &m_sheet;
    const SheetLayout &m_layout;
    const SheetPage &m_page;
    const QRectF m_band;
    std::vector<CellRange> m_merges;
    std::vector<QRectF> m_overflows;
};

} // namespace

void PaintSheetPage(QPainter &painter, const Worksheet &sheet, const SheetLayout &layout, const SheetPage &page)
{
    PagePainter(painter, sheet, layout, page).paint();
}

QFont SheetFont(const CellFont &cellFont, const QPaintDevice *device)
{
    QFont font;
    QStringList families{cellFont.name, QStringLiteral("SimSun")};
    if (isSerifFamily(cellFont.name))
        families << QStringLiteral("Noto Serif CJK SC") << QStringLiteral("Noto Sans CJK SC");
    else
        families << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("Noto Serif CJK SC");
    font.setFamilies(families);
    // The painter draws in points; a point size is turned into device
    // pixels by the device's resolution, so divide that back out.
    const int dpi = device ? device->logicalDpiY() : 72;
    font.setPointSizeF(cellFont.size * 72.0 / dpi);
    font.setBold(cellFont.bold);
    font.setItalic(cellFont.italic);
    font.setUnderline(cellFont.underline);
    font.setStrikeOut(cellFont.strikeOut);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Shaping a Latin run swaps the CJK fonts' digits for alternates that a
    // PDF's text map cannot name, so "A1001" would lose its digits when
    // copied or searched; Latin and digits need no shaping.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}
