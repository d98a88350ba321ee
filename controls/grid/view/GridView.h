#pragma once

#include "model/GridModel.h"

#include <QHeaderView>
#include <QTableView>

#include <vector>

class GridRow;
class QLabel;

// A header whose extent (the height of the title row, the width of the
// row-number column) is set by the grid rather than computed from its texts.
class GridHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit GridHeader(Qt::Orientation orientation, QWidget *parent = nullptr);
    // Pixels; -1 gives the header's own size.
    void setExtent(int pixels);
    int extent() const { return m_extent; }
    QSize sizeHint() const override;

protected:
    // Titles wrap within the height the title row was fitted to.
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;

private:
    int m_extent = -1;
};

// The grid under OVGrid: a table with a fixed title row 0 and a fixed
// row-number column 0, a current cell and a selection, per-row ids, per-cell
// colours and bold, and the sizes of rows and columns in twips. Its
// operations speak grid coordinates; the title row and the row-number column
// are the view's headers.
//
// A key, the mouse or the wheel on any of its parts, the scroll bars
// included, first reads the rows a load left unread (see GridModel); so
// does the first paint while some are, from the next pass of the event loop.
//
// Moving the current cell, by the user or through setRow/setCol, reports
// leaveCell (still at the old cell), then rowColChange and enterCell (at the
// new one). Changes of the row or column count keep the current cell's index
// where it stays inside the grid and report nothing.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);
    ~GridView() override;

    GridModel *gridModel() const { return m_model; }

    // Size and position.
    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    // Whether a cell lies inside the grid, title row and number column included.
    bool contains(int row, int col) const
    {
        return row >= 0 && row < rows() && col >= 0 && col < cols();
    }
    int row() const { return m_row; }
    void setRow(int row);
    int col() const { return m_col; }
    void setCol(int col);
    // The other corner of the selection; setting row or col collapses it.
    int rowSel() const { return m_rowSel; }
    void setRowSel(int row);
    int colSel() const { return m_colSel; }
    void setColSel(int col);
    // The first data row shown at the top.
    int topRow() const;
    void setTopRow(int row);
    // The cell under the mouse, in grid coordinates (-1 outside the cells).
    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }

    // Cell content.
    QString text() const;
    void setText(const QString &text);
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // The selection's cells, tab between cells and CR-LF between rows.
    QString clip() const;
    void setClip(const QString &text);
    qint32 rowData(int row) const;
    void setRowData(int row, qint32 data);
    // Inserts a tab-separated row text before `before`, or appends it for 0.
    void addItem(const QString &tabText, int before = 0);
    // Removes a data row; refuses (false) to remove the only one.
    bool removeItem(int row);
    // Sorts the selected rows by the selected columns: 1 ascending,
    // 2 descending, numbers compared as numbers.
    void sort(int setting, const GridModel::SortKeyOf &keyOf = {});
    void refresh();

    // Geometry, in twips.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeightTwips(int row) const;
    void setRowHeightTwips(int row, int twips);
    int rowHeightMin() const { return m_rowHeightMin; }
    void setRowHeightMin(int twips);
    int colAlignment(int col) const;
    void setColAlignment(int col, int alignment);
    int fixedAlignment(int col) const;
    void setFixedAlignment(int col, int alignment);
    int mergeCells() const { return m_mergeCells; }
    void setMergeCells(int setting) { m_mergeCells = setting; viewport()->update(); }
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool merge);
    // The current cell's rectangle inside this widget; reading the height
    // first scrolls the cell into view.
    int cellLeft() const;
    int cellTop() const;
    int cellWidth() const;
    int cellHeight();
    // The top of a row and the left of a column inside this widget.
    int rowPos(int row) const;
    int colPos(int col) const;
    bool rowIsVisible(int row) const;

    // Appearance. Colours are 24-bit blue-green-red numbers; a cell colour of
    // 0 is the grid's own.
    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 bgr);
    // With fill style 0 the cell setters change the current cell, with 1 the
    // whole selection.
    int fillStyle() const { return m_fillStyle; }
    void setFillStyle(int style) { m_fillStyle = style; }
    quint32 cellBackColor() const;
    void setCellBackColor(quint32 bgr);
    quint32 cellForeColor() const;
    void setCellForeColor(quint32 bgr);
    bool cellFontBold() const;
    void setCellFontBold(bool bold);
    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);
    void setGridFont(const QFont &font);

    // Input methods may compose in the current cell when the model marks it
    // editable. The item view itself looks again only when the current cell
    // changes or the view gets the focus; this is for changes of the marks.
    void updateInputMethod();
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // Scrolls the current cell into view.
    void showCurrentCell();
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // Inserts prepared rows in one step before row `before`, or appends
    // them for 0.
    void insertRows(int before, std::vector<GridRow> &&rows);

    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;
    int toTwipsX(int pixels) const;
    int toTwipsY(int pixels) const;

Q_SIGNALS:
    void leaveCell();
    void rowColChange();
    void enterCell();
    // Mouse and keys, in grid terms (the editing work answers them).
    void gridClicked();
    void gridDoubleClicked();
    void gridMouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    // A handler that ignore()s the event keeps the table's own key handling
    // (moving the current cell) from running.
    void gridKeyPressed(QKeyEvent *event);
    void gridFocusIn();
    void gridFocusOut();
    void scrolled();
    // The cells' area changed size: other rows may have come into view.
    void viewResized();
    // A scroll to bring a row into view is about to be worked out from the
    // heights of the rows around it.
    void aboutToScrollTo(int row);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    template<typename F> void forEachTarget(F &&f);
    void moveCurrent(int row, int col);
    // Puts the view's current index on the current cell without reporting.
    void syncCurrent();
    void clampCurrent();
    void applyRowHeights();
    void updateMouseCell(QObject *watched, QPoint pos);

    GridModel *m_model;
    GridHeader *m_titleHeader;
    GridHeader *m_numberHeader;
    QLabel *m_corner;
    int m_row = 0;
    int m_col = 1;
    int m_rowSel = 0;
    int m_colSel = 1;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    bool m_syncing = false;
    bool m_redraw = true;
    bool m_restQueued = false; // a load's unread rows are to be read next
    int m_rowHeightMin = 0;
    int m_defaultRowHeight = 0; // pixels
    int m_titleHeight = -1;     // pixels, -1 while unset
    std::vector<int> m_colWidth; // twips
    std::vector<bool> m_mergeCol;
    int m_mergeCells = 0;
    quint32 m_backColor = 0xFFFFFF;
    int m_fillStyle = 0;
};

// Switches a grid's drawing off for a scope, and back on only if it was on.
class DrawingPause
{
public:
    explicit DrawingPause(GridView *grid)
        : m_grid(grid), m_was(grid->redraw())
    {
        m_grid->setRedraw(false);
    }
    ~DrawingPause() { m_grid->setRedraw(m_was); }
    DrawingPause(const DrawingPause &) = delete;
    DrawingPause &operator=(const DrawingPause &) = delete;

private:
    GridView *m_grid;
    bool m_was;
};
