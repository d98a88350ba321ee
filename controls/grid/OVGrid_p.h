#pragma once

// OVGrid's private state and internal operations. Each area of the control
// defines its own members in its folder: model/ (columns, layout
// strings, formatting), rows/ (row operations, aggregates, cells, record
// sets), editing/ (editors, keys, events) and appearance/ (layout, colours,
// row heights, persistence, messages).

#include "OVGrid.h"
#include "model/ColumnSettings.h"
#include "model/GridModel.h"
#include "model/GridView.h"
#include "model/ListString.h"

#include <QHash>
#include <QPointer>

#include <map>
#include <memory>

class QComboBox;
class QInputMethodEvent;
class QInputMethodQueryEvent;
class QKeyEvent;
class OutsidePress;
class RowFitMarks;
class RecordReader;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QToolButton;
class QWheelEvent;

class OVGridPrivate
{
public:
    explicit OVGridPrivate(OVGrid *q);
    ~OVGridPrivate();

    OVGrid *const q;

    // Child parts, all children of the control; the editors float over the
    // current cell.
    GridView *grd = nullptr;        // the underlying grid
    QLineEdit *txt = nullptr;       // text editor
    QComboBox *cboTemplate = nullptr; // drop-down 0, the pattern of the column drop-downs
    std::map<int, QComboBox *> cbo; // column drop-downs by column, created on first need
    QComboBox *cbodata = nullptr;   // the shared pick-list; item data holds the id
    QToolButton *cmd = nullptr;     // drop button
    QLabel *lbl = nullptr;          // measuring label
    QLabel *msg = nullptr;          // message panel
    QLabel *pic = nullptr;          // strip picture

    GridModel *model() const { return grd->gridModel(); }

    // Per-column settings, sized to Cols.
    ColumnSettings colSettings;
    // The List* texts last assigned, for their getters.
    QHash<QString, QString> listTexts;

    // Control-wide state.
    bool editable = false;
    bool allowAlternate = true;
    bool allowSort = false;
    bool allowRowDelete = false;
    bool allowRowNo = true;
    OVGrid::CurrentRowModes currentRowMode = OVGrid::ovCRNone;
    bool hasFocus = false;
    bool internalMove = false;
    int prevRow = 0;
    int prevCol = 0;
    int sortCol = 0;
    bool sortAscending = false;
    bool comboKeySkip = false;
    bool customBackColour = false;
    bool dirty = false;
    QString tipText;

    // --- model/ ---
    bool isOutOfRange(int row, int col) const;
    // The text stored for a value written into a cell (row 0 never formats).
    QString formatCell(int row, int col, const QString &value) const;
    // Warns about a faulty layout string; false when there was one.
    bool report(const char *property, const ListString::Result &result) const;
    // The column's own drop-down, created (from the template) on first need.
    QComboBox *columnCombo(int col);
    // Brings a drop-down and then the strip picture to the front.
    void raiseCombo(QComboBox *combo);
    // Applies the side effects of a column's new tag or format.
    void tagChanged(int col);
    void formatChanged(int col);
    // The lowest-numbered column 1 … whose tag is "cbodata", 0 for none.
    int cbodataColumn() const;
    // The pick-list text of an id, "" when no entry has it.
    QString pickListText(qint32 id) const;
    QHash<qint32, QString> pickListTexts() const;
    // Moves the current cell without any cell event reaching the host.
    void moveInternally(int row, int col);
    // After a change that moved the current cell by itself: AfterRowColChange
    // from (oldRow, oldCol), the current-row marking and the drop button.
    void announceCurrentCell(int oldRow, int oldCol);

    // --- rows/ ---
    void applyDefaults(int row);
    void reformatRow(int row);
    QString gridText() const;
    // Removes a data row, or empties the grid when it is the only one.
    void removeRow(int row);
    void bindRecords(RecordReader &rst);
    // Writes a line on the message panel: it is cleared, then gets a line
    // break, two spaces and the text.
    void printMessage(const QString &text);

    // --- editing/ ---
    void initEditing();
    QString tagOf(int col) const;
    // Typing into the column's cells opens a text editor or a drop-down's
    // text while the grid is editable: an input method may compose there.
    bool takesText(int col) const;
    // The current cell is a data cell of a grid that has data rows.
    bool onDataCell() const;
    // The current cell's rectangle in the grid's pixels.
    QRect cellRect() const;
    // An editor takes the background the current cell shows.
    void setEditorBackground(QWidget *editor) const;
    // key: the character that opened the editor (32 or less: the editor
    // opens with the cell's text); typed: the text that key typed.
    void showTextEditor(char32_t key, const QString &typed = QString());
    void showComboEditor(char32_t key, bool dropDown, const QString &typed = QString());
    void showDropButton();
    // Shows the drop button on the current cell, without asking the host.
    void placeDropButton();
    void commitEdit(bool scroll);
    void hideEditors();
    // Closes an open editor without storing anything: the rows it was
    // opened on are gone or replaced.
    void discardEdit();
    bool editorOpen() const;
    // Hides one editor; a focused one hands the focus to the grid quietly.
    void hideEditor(QWidget *editor);
    int nextVisibleCol(int direction) const;
    void sortByColumn();
    // How edits start: a character key, a double-click, a tick.
    void startEdit(char32_t key, const QString &typed);
    void startDoubleClickEdit();
    void toggleTick(bool raiseBeforeEdit);
    // Focus back to the grid from an editor, with the commit that stands for.
    void focusGrid();
    void gridGotFocus();
    void moveOutOfEditor(short keyCode);
    // Notifications of the grid and the editors.
    void onLeaveCell();
    void onRowColChange();
    void onEnterCell();
    void onGridFocusIn(Qt::FocusReason reason);
    void onFocusChanged(QWidget *old, QWidget *now);
    void onGridKey(QKeyEvent *event);
    bool onGridInputMethod(QInputMethodEvent *event);
    bool onGridInputMethodQuery(QInputMethodQueryEvent *query);
    void onGridPress(QObject *watched, QMouseEvent *event);
    void onGridClick();
    void onGridDoubleClick();
    bool onEditorKey(QWidget *editor, QKeyEvent *event);
    bool onPickListPopupKey(QKeyEvent *event);
    void onTextChanged();
    void onTextEdited(const QString &text);
    void onOutsidePress();

    bool committing = false;      // an edit is being ended
    bool quietGridFocus = false;  // the grid takes the focus without its focus handling
    bool skipClick = false;       // the release that ends a double-click is no click
    int gridFocusRuns = 0;        // counts the grid's focus handling
    QPointer<QWidget> imeTarget;  // the editor a composition goes to while the grid keeps the focus
    std::unique_ptr<OutsidePress> outsidePress; // watches for presses elsewhere while an editor is open
    int txtLength = 0;            // the text editor's text length

    // --- appearance/ ---
    void initAppearance();
    void paintAlternateRows(int fromRow, int fromCol);
    // Row −1 is the current row.
    void fitRowHeight(int row);
    void fitRowHeights(int fromRow, int toRow);
    // Rows whose fitting waits until they come into view (after a load).
    std::unique_ptr<RowFitMarks> fitMarks;
    // Fits the marked rows now in view, and those of the last screenful,
    // whose heights set how far the grid scrolls.
    void fitRowsInView();
    // Fits the marked rows of a screenful from a row up or down (step −1 or 1).
    void fitScreenful(int fromRow, int step);
    // Fits a row that is still marked, before its height is read.
    void fitIfMarked(int row);
    void markCurrentRow(bool forced);
    void markDirty() { dirty = true; }
    void layoutChildren();
    // The width in pixels a cell's text wraps to.
    int textWidthOf(int row, int col) const;
    // Keeps the open editor on the current cell as the grid scrolls.
    void followCurrentCell();
    bool onWheel(QWheelEvent *event);
    QFont ambientFont() const;
};
