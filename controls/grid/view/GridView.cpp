#include "GridView.h"

#include "model/GridModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

GridHeader::GridHeader(Qt::Orientation orientation, QWidget *parent)
    : QHeaderView(orientation, parent)
{
}

void GridHeader::setExtent(int pixels)
{
    m_extent = pixels;
    setVisible(pixels != 0);
    updateGeometry();
}

QSize GridHeader::sizeHint() const
{
    // A set extent is all the table takes of the hint. QHeaderView measures
    // the texts of up to 200 sections for it, again after every change of
    // the row count: a load would pay for that each time.
    if (m_extent >= 0) {
        return orientation() == Qt::Horizontal ? QSize(defaultSectionSize(), m_extent)
                                               : QSize(m_extent, defaultSectionSize());
    }
    return QHeaderView::sizeHint();
}

void GridHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (orientation() == Qt::Horizontal)
        option->textAlignment |= Qt::Alignment(Qt::TextWordWrap);
}

GridView::GridView(QWidget *parent)
    : QTableView(parent)
    , m_model(new GridModel(this))
    , m_titleHeader(new GridHeader(Qt::Horizontal, this))
    , m_numberHeader(new GridHeader(Qt::Vertical, this))
    , m_corner(new QLabel(this))
{
    setHorizontalHeader(m_titleHeader);
    setVerticalHeader(m_numberHeader);
    m_model->setFont(font());
    m_model->setCols(2);
    setModel(m_model);
    setCornerButtonEnabled(false);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setTabKeyNavigation(false);
    // Cells do not wrap until the host asks for it (the table wraps by default).
    setWordWrap(false);
    for (GridHeader *header : {m_titleHeader, m_numberHeader}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(0);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setMouseTracking(true);
        header->installEventFilter(this);
        header->viewport()->installEventFilter(this);
    }
    m_titleHeader->setDefaultAlignment(Qt::AlignCenter);
    m_numberHeader->setDefaultAlignment(Qt::AlignCenter);
    m_corner->setAlignment(Qt::AlignCenter);
    m_corner->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_corner->setAutoFillBackground(true);
    m_corner->setBackgroundRole(QPalette::Button);
    m_corner->installEventFilter(this);
    // A sort started through the table keeps the current cell's index, as
    // one started through sort() does.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!m_syncing)
            syncCurrent();
    });
    connect(m_model, &GridModel::cornerChanged, this, [this] {
        m_corner->setText(m_model->text(0, 0));
    });
    viewport()->setMouseTracking(true);
    viewport()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
    horizontalScrollBar()->installEventFilter(this);
    m_defaultRowHeight = fontMetrics().height() + 6;
    applyRowHeights();
    m_colWidth.assign(2, -1);
    m_mergeCol.assign(2, false);
}

GridView::~GridView() = default;

int GridView::rows() const
{
    return m_model->rows();
}

void GridView::setRows(int rows)
{
    m_syncing = true;
    m_model->setRows(rows);
    m_syncing = false;
    clampCurrent();
}

int GridView::cols() const
{
    return m_model->cols();
}

void GridView::setCols(int cols)
{
    const int old = this->cols();
    m_syncing = true;
    m_model->setCols(cols);
    m_syncing = false;
    m_colWidth.resize(m_model->cols(), -1);
    m_mergeCol.resize(m_model->cols(), false);
    for (int c = old; c < this->cols(); ++c)
        m_colWidth[c] = -1;
    clampCurrent();
}

void GridView::setRow(int row)
{
    if (row >= 0 && row < rows())
        moveCurrent(row, m_col);
}

void GridView::setCol(int col)
{
    if (col >= 0 && col < cols())
        moveCurrent(m_row, col);
}

void GridView::setRowSel(int row)
{
    if (row >= 0 && row < rows()) {
        m_rowSel = row;
        syncCurrent();
    }
}

void GridView::setColSel(int col)
{
    if (col >= 0 && col < cols()) {
        m_colSel = col;
        syncCurrent();
    }
}

int GridView::topRow() const
{
    const int r = rowAt(0);
    return r < 0 ? (rows() > 1 ? 1 : 0) : r + 1;
}

void GridView::setTopRow(int row)
{
    if (row >= 1 && row < rows())
        verticalScrollBar()->setValue(row - 1);
}

QString GridView::text() const
{
    return m_model->text(m_row, m_col);
}

void GridView::setText(const QString &text)
{
    m_model->setText(m_row, m_col, text);
}

QString GridView::textMatrix(int row, int col) const
{
    return m_model->text(row, col);
}

void GridView::setTextMatrix(int row, int col, const QString &text)
{
    m_model->setText(row, col, text);
}

QString GridView::clip() const
{
    const int r1 = std::min(m_row, m_rowSel), r2 = std::max(m_row, m_rowSel);
    const int c1 = std::min(m_col, m_colSel), c2 = std::max(m_col, m_colSel);
    QString text;
    for (int r = r1; r <= r2; ++r) {
        if (r > r1)
            text += QLatin1String("\r\n");
        for (int c = c1; c <= c2; ++c) {
            if (c > c1)
                text += u'\t';
            text += m_model->textView(r, c);
        }
    }
    return text;
}

void GridView::setClip(const QString &text)
{
    const int r1 = std::min(m_row, m_rowSel), r2 = std::max(m_row, m_rowSel);
    const int c1 = std::min(m_col, m_colSel), c2 = std::max(m_col, m_colSel);
    const QStringList lines = text.split(QLatin1String("\r\n"));
    for (int i = 0; i < lines.size() && r1 + i <= r2; ++i) {
        const QStringList cells = lines.at(i).split(u'\t');
        for (int j = 0; j < cells.size() && c1 + j <= c2; ++j)
            m_model->setText(r1 + i, c1 + j, cells.at(j));
    }
}

qint32 GridView::rowData(int row) const
{
    return m_model->rowData(row);
}

void GridView::setRowData(int row, qint32 data)
{
    m_model->setRowData(row, data);
}

void GridView::addItem(const QString &tabText, int before)
{
    m_syncing = true;
    m_model->insertRow(before <= 0 ? rows() : before, tabText);
    m_syncing = false;
    clampCurrent();
}

void GridView::insertRows(int before, std::vector<GridRow> &&rows)
{
    m_syncing = true;
    m_model->insertRows(before <= 0 ? this->rows() : before, std::move(rows));
    m_syncing = false;
    clampCurrent();
}

bool GridView::removeItem(int row)
{
    if (row < 1 || row >= rows() || rows() <= 2)
        return false;
    m_syncing = true;
    m_model->removeRowAt(row);
    m_syncing = false;
    clampCurrent();
    return true;
}

void GridView::sort(int setting, const GridModel::SortKeyOf &keyOf)
{
    const int r1 = std::min(m_row, m_rowSel), r2 = std::max(m_row, m_rowSel);
    const int c1 = std::min(m_col, m_colSel), c2 = std::max(m_col, m_colSel);
    m_syncing = true;
    // A selection would be carried through the sort cell by cell (58,000
    // persistent indexes for a column); it is put back afterwards.
    selectionModel()->clearSelection();
    m_model->sortRows(r1, r2, c1, c2, setting % 2 == 1, keyOf);
    m_syncing = false;
    syncCurrent();
}

void GridView::refresh()
{
    viewport()->update();
    m_titleHeader->viewport()->update();
    m_numberHeader->viewport()->update();
}

int GridView::colWidth(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    if (m_colWidth[col] >= 0)
        return m_colWidth[col];
    if (col == 0)
        return toTwipsX(m_numberHeader->sizeHint().width());
    return toTwipsX(m_titleHeader->sectionSize(col - 1));
}

void GridView::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    m_colWidth[col] = std::max(twips, 0);
    const int pixels = toPixelsX(m_colWidth[col]);
    if (col == 0) {
        m_numberHeader->setExtent(pixels);
    } else {
        m_titleHeader->setSectionHidden(col - 1, pixels == 0);
        if (pixels > 0)
            m_titleHeader->resizeSection(col - 1, pixels);
    }
    updateGeometries();
}

int GridView::rowHeightTwips(int row) const
{
    if (row < 0 || row >= rows())
        return 0;
    if (row == 0)
        return toTwipsY(m_titleHeader->sizeHint().height());
    return toTwipsY(m_numberHeader->sectionSize(row - 1));
}

void GridView::setRowHeightTwips(int row, int twips)
{
    if (row < 0 || row >= rows())
        return;
    const int pixels = std::max(toPixelsY(std::max(twips, 0)), toPixelsY(m_rowHeightMin));
    if (row == 0) {
        m_titleHeight = pixels;
        m_titleHeader->setExtent(pixels);
        updateGeometries();
    } else {
        m_numberHeader->resizeSection(row - 1, pixels);
    }
}

void GridView::setRowHeightMin(int twips)
{
    m_rowHeightMin = std::max(twips, 0);
    applyRowHeights();
}

void GridView::applyRowHeights()
{
    const int minimum = toPixelsY(m_rowHeightMin);
    m_numberHeader->setDefaultSectionSize(std::max(m_defaultRowHeight, minimum));
    if (m_titleHeight >= 0 && m_titleHeight < minimum)
        setRowHeightTwips(0, m_rowHeightMin);
}

int GridView::colAlignment(int col) const
{
    return m_model->colAlignment(col);
}

void GridView::setColAlignment(int col, int alignment)
{
    m_model->setColAlignment(col, alignment);
}

int GridView::fixedAlignment(int col) const
{
    return m_model->fixedAlignment(col);
}

void GridView::setFixedAlignment(int col, int alignment)
{
    m_model->setFixedAlignment(col, alignment);
    if (col == 0)
        m_corner->setAlignment(GridModel::toQtAlignment(alignment, false));
}

bool GridView::mergeCol(int col) const
{
    return col >= 0 && col < int(m_mergeCol.size()) && m_mergeCol[col];
}

void GridView::setMergeCol(int col, bool merge)
{
    if (col >= 0 && col < int(m_mergeCol.size()))
        m_mergeCol[col] = merge;
}

int GridView::rowPos(int row) const
{
    if (row < 0 || row >= rows())
        return 0;
    const int y = row == 0 ? m_titleHeader->geometry().top()
                           : viewport()->geometry().top() + rowViewportPosition(row - 1);
    return toTwipsY(y);
}

int GridView::colPos(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    const int x = col == 0 ? m_numberHeader->geometry().left()
                           : viewport()->geometry().left() + columnViewportPosition(col - 1);
    return toTwipsX(x);
}

int GridView::cellLeft() const
{
    return colPos(m_col);
}

int GridView::cellTop() const
{
    return rowPos(m_row);
}

int GridView::cellWidth() const
{
    if (m_col == 0)
        return toTwipsX(m_numberHeader->width());
    return m_col < cols() ? toTwipsX(columnWidth(m_col - 1)) : 0;
}

void GridView::showCurrentCell()
{
    if (m_row < 1 || m_row >= rows())
        return;
    if (m_col >= 1 && m_col < cols()) {
        scrollTo(m_model->index(m_row - 1, m_col - 1));
    } else if (cols() > 1) {
        // The row-number column: bring the row into view, keep the columns.
        const int x = horizontalScrollBar()->value();
        scrollTo(m_model->index(m_row - 1, 0));
        horizontalScrollBar()->setValue(x);
    }
}

void GridView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (index.isValid())
        Q_EMIT aboutToScrollTo(index.row() + 1);
    QTableView::scrollTo(index, hint);
}

int GridView::cellHeight()
{
    if (m_row == 0)
        return toTwipsY(m_titleHeader->height());
    if (m_row >= rows())
        return 0;
    showCurrentCell();
    return toTwipsY(QTableView::rowHeight(m_row - 1));
}

bool GridView::rowIsVisible(int row) const
{
    if (row == 0)
        return true;
    if (row < 1 || row >= rows() || isRowHidden(row - 1))
        return false;
    const int y = rowViewportPosition(row - 1);
    return y + QTableView::rowHeight(row - 1) > 0 && y < viewport()->height();
}

void GridView::setBackColor(quint32 bgr)
{
    m_backColor = bgr;
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
    viewport()->setPalette(p);
}

template<typename F>
void GridView::forEachTarget(F &&f)
{
    if (m_fillStyle == 0) {
        f(m_row, m_col);
        return;
    }
    const int r1 = std::min(m_row, m_rowSel), r2 = std::max(m_row, m_rowSel);
    const int c1 = std::min(m_col, m_colSel), c2 = std::max(m_col, m_colSel);
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            f(r, c);
}

quint32 GridView::cellBackColor() const
{
    return m_model->backColor(m_row, m_col);
}

void GridView::setCellBackColor(quint32 bgr)
{
    forEachTarget([&](int r, int c) { m_model->setBackColor(r, c, bgr); });
}

quint32 GridView::cellForeColor() const
{
    return m_model->foreColor(m_row, m_col);
}

void GridView::setCellForeColor(quint32 bgr)
{
    forEachTarget([&](int r, int c) { m_model->setForeColor(r, c, bgr); });
}

bool GridView::cellFontBold() const
{
    return m_model->bold(m_row, m_col);
}

void GridView::setCellFontBold(bool bold)
{
    forEachTarget([&](int r, int c) { m_model->setBold(r, c, bold); });
}

void GridView::setRedraw(bool on)
{
    if (m_redraw == on)
        return;
    m_redraw = on;
    setUpdatesEnabled(on);
    if (on) {
        updateGeometries();
        refresh();
    }
}

void GridView::setGridFont(const QFont &font)
{
    setFont(font);
    m_model->setFont(font);
    m_corner->setFont(font);
    m_defaultRowHeight = QFontMetrics(font).height() + 6;
    applyRowHeights();
}

namespace {

// A row or column is at most this many pixels: 58,001 such rows still add
// up within the int positions of QHeaderView. Larger sizes, a host's
// mistake, are cut to it rather than overflowing.
constexpr double MaxPixels = 32767;
constexpr double MaxTwips = std::numeric_limits<int>::max();

int scaled(int value, double factor, double limit)
{
    return int(std::lround(std::clamp(value * factor, -limit, limit)));
}

} // namespace

int GridView::toPixelsX(int twips) const
{
    return scaled(twips, logicalDpiX() / 1440.0, MaxPixels);
}

int GridView::toPixelsY(int twips) const
{
    return scaled(twips, logicalDpiY() / 1440.0, MaxPixels);
}

int GridView::toTwipsX(int pixels) const
{
    return scaled(pixels, 1440.0 / logicalDpiX(), MaxTwips);
}

int GridView::toTwipsY(int pixels) const
{
    return scaled(pixels, 1440.0 / logicalDpiY(), MaxTwips);
}

void GridView::moveCurrent(int row, int col)
{
    if (row == m_row && col == m_col) {
        m_rowSel = row;
        m_colSel = col;
        syncCurrent();
        return;
    }
    Q_EMIT leaveCell();
    m_row = row;
    m_col = col;
    m_rowSel = row;
    m_colSel = col;
    syncCurrent();
    Q_EMIT rowColChange();
    Q_EMIT enterCell();
}

void GridView::syncCurrent()
{
    QItemSelectionModel *selection = selectionModel();
    if (!selection)
        return;
    const bool wasSyncing = m_syncing;
    m_syncing = true;
    if (m_row >= 1 && m_col >= 1 && m_row < rows() && m_col < cols()) {
        selection->setCurrentIndex(m_model->index(m_row - 1, m_col - 1), QItemSelectionModel::NoUpdate);
        const int r1 = std::max(std::min(m_row, m_rowSel), 1), r2 = std::max(m_row, m_rowSel);
        const int c1 = std::max(std::min(m_col, m_colSel), 1), c2 = std::max(m_col, m_colSel);
        selection->select(QItemSelection(m_model->index(r1 - 1, c1 - 1), m_model->index(r2 - 1, c2 - 1)),
                          QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clear();
    }
    m_syncing = wasSyncing;
}

void GridView::clampCurrent()
{
    const int lastRow = rows() - 1;
    const int lastCol = cols() - 1;
    // A grid with data rows always has its current cell on one.
    const int firstRow = lastRow >= 1 ? 1 : 0;
    const int firstCol = lastCol >= 1 ? 1 : 0;
    m_row = std::clamp(m_row, firstRow, lastRow);
    m_col = std::clamp(m_col, firstCol, lastCol);
    m_rowSel = std::clamp(m_rowSel, firstRow, lastRow);
    m_colSel = std::clamp(m_colSel, firstCol, lastCol);
    syncCurrent();
}

void GridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !current.isValid())
        return;
    const int row = current.row() + 1;
    const int col = current.column() + 1;
    if (row == m_row && col == m_col)
        return;
    Q_EMIT leaveCell();
    m_row = row;
    m_col = col;
    m_rowSel = row;
    m_colSel = col;
    Q_EMIT rowColChange();
    Q_EMIT enterCell();
}

void GridView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTableView::selectionChanged(selected, deselected);
    if (m_syncing)
        return;
    const QItemSelection all = selectionModel()->selection();
    if (all.isEmpty())
        return;
    int top = rows(), bottom = 0, left = cols(), right = 0;
    for (const QItemSelectionRange &range : all) {
        top = std::min(top, range.top() + 1);
        bottom = std::max(bottom, range.bottom() + 1);
        left = std::min(left, range.left() + 1);
        right = std::max(right, range.right() + 1);
    }
    m_rowSel = m_row == top ? bottom : top;
    m_colSel = m_col == left ? right : left;
}

void GridView::updateGeometries()
{
    QTableView::updateGeometries();
    const QRect title = m_titleHeader->geometry();
    const int width = m_numberHeader->isVisible() ? m_numberHeader->width() : 0;
    const int height = m_titleHeader->isVisible() ? title.height() : 0;
    m_corner->setGeometry(title.left() - width, title.top(), width, height);
    m_corner->setVisible(width > 0 && height > 0);
}

void GridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    Q_EMIT scrolled();
}

bool GridView::viewportEvent(QEvent *event)
{
    // The rows a load left unread come in straight after the first rows
    // are on screen.
    if (event->type() == QEvent::Paint && m_model->restPending() && !m_restQueued) {
        m_restQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_restQueued = false;
            m_model->readRestOfLoad();
        });
    }
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        Q_EMIT viewResized();
    return handled;
}

void GridView::updateMouseCell(QObject *watched, QPoint pos)
{
    if (watched == viewport()) {
        const int r = rowAt(pos.y());
        const int c = columnAt(pos.x());
        m_mouseRow = r < 0 ? -1 : r + 1;
        m_mouseCol = c < 0 ? -1 : c + 1;
    } else if (watched == m_titleHeader->viewport() || watched == m_titleHeader) {
        const int c = m_titleHeader->logicalIndexAt(pos.x());
        m_mouseRow = 0;
        m_mouseCol = c < 0 ? -1 : c + 1;
    } else if (watched == m_numberHeader->viewport() || watched == m_numberHeader) {
        const int r = m_numberHeader->logicalIndexAt(pos.y());
        m_mouseRow = r < 0 ? -1 : r + 1;
        m_mouseCol = 0;
    } else if (watched == m_corner) {
        m_mouseRow = 0;
        m_mouseCol = 0;
    }
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: // MouseRow counts in the whole list too
    case QEvent::Wheel:
    case QEvent::KeyPress:
        // A user acts on the whole list, never on the part read so far.
        m_model->readRestOfLoad();
        break;
    default:
        break;
    }
    if (watched == verticalScrollBar() || watched == horizontalScrollBar())
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        updateMouseCell(watched, mouse->position().toPoint());
        auto *widget = static_cast<QWidget *>(watched);
        Q_EMIT gridMouseMoved(mouse->buttons(), mouse->modifiers(),
                              widget->mapTo(this, mouse->position().toPoint()));
        break;
    }
    case QEvent::MouseButtonPress:
        updateMouseCell(watched, static_cast<QMouseEvent *>(event)->position().toPoint());
        if (watched != viewport())
            setFocus(Qt::MouseFocusReason);
        break;
    case QEvent::MouseButtonRelease:
        updateMouseCell(watched, static_cast<QMouseEvent *>(event)->position().toPoint());
        Q_EMIT gridClicked();
        break;
    case QEvent::MouseButtonDblClick:
        updateMouseCell(watched, static_cast<QMouseEvent *>(event)->position().toPoint());
        Q_EMIT gridDoubleClicked();
        // The grid answers double-clicks itself; no cell editor of the view's.
        return watched == viewport();
    default:
        break;
    }
    return QTableView::eventFilter(watched, event);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    m_model->readRestOfLoad();
    event->accept();
    Q_EMIT gridKeyPressed(event);
    if (event->isAccepted())
        QTableView::keyPressEvent(event);
    else
        event->accept();
}

void GridView::updateInputMethod()
{
    setAttribute(Qt::WA_InputMethodEnabled, currentIndex().flags().testFlag(Qt::ItemIsEditable));
}

QVariant GridView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // The composition starts on the current cell, so the candidates open
    // beside it; the item view would answer in its viewport's terms.
    if (query == Qt::ImCursorRectangle && currentIndex().isValid())
        return visualRect(currentIndex()).translated(viewport()->geometry().topLeft());
    return QTableView::inputMethodQuery(query);
}

void GridView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    Q_EMIT gridFocusIn();
}

void GridView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    Q_EMIT gridFocusOut();
}
