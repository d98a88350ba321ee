#pragma once

#include <QPointer>
#include <QRect>
#include <QHash>
#include <QString>

#include <map>
#include <memory>

class GridView;
class OVGrid;
class OVGridPrivate;
class OutsidePress;
class QComboBox;
class QFont;
class QInputMethodEvent;
class QInputMethodQueryEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;
class QObject;
class QToolButton;
class QWidget;

// The editors that float over the current cell — the text box, the column
// drop-downs, the pick-list and the drop button — and every flag of editing
// and focus: opening an editor, the keys inside it, ending an edit with the
// host's events, and the grid's keys, clicks and focus that start or end
// one. A part of OVGridPrivate: it reads the columns' settings there, and
// hands a title click to its sort. The editors are children of the grid.
class GridEditing
{
public:
    explicit GridEditing(OVGridPrivate *d);
    ~GridEditing();
    GridEditing(const GridEditing &) = delete;
    GridEditing &operator=(const GridEditing &) = delete;

    // Connects the grid's and the editors' notifications; once the parts exist.
    void init();

    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);
    QLineEdit *textEditor() const { return txt; }
    QComboBox *pickList() const { return cbodata; }
    // The editors and the drop-down template take a font; the column
    // drop-downs are made from the template.
    void setFont(const QFont &font);

    // The column's own drop-down, created (from the template) on first need.
    QComboBox *columnCombo(int col);
    // Brings a drop-down and then the strip picture to the front.
    void raiseCombo(QComboBox *combo);
    // The pick-list text of an id, "" when no entry has it.
    QString pickListText(qint32 id) const;
    QHash<qint32, QString> pickListTexts() const;

    // Typing into the column's cells opens a text editor or a drop-down's
    // text while the grid is editable: an input method may compose there.
    bool takesText(int col) const;
    // The current cell is a data cell of a grid that has data rows.
    bool onDataCell() const;
    // The drop button on the current cell, when the grid is editable.
    void updateDropButton();
    void showDropButton();
    void commitEdit(bool scroll);
    void hideEditors();
    // Closes an open editor without storing anything: the rows it was
    // opened on are gone or replaced.
    void discardEdit();
    // Keeps the open editor on the current cell as the grid scrolls.
    void followCurrentCell();

    // What the control's event filter hands on.
    void onGridFocusIn(Qt::FocusReason reason);
    bool onGridInputMethod(QInputMethodEvent *event);
    bool onGridInputMethodQuery(QInputMethodQueryEvent *query);
    void onGridPress(QObject *watched, QMouseEvent *event);
    bool onEditorKey(QWidget *editor, QKeyEvent *event);
    bool onPickListPopupKey(QKeyEvent *event);

private:
    // The current cell's rectangle in the grid's pixels.
    QRect cellRect() const;
    // An editor takes the background the current cell shows.
    void setEditorBackground(QWidget *editor) const;
    // key: the character that opened the editor (32 or less: the editor
    // opens with the cell's text); typed: the text that key typed.
    void showTextEditor(char32_t key, const QString &typed = QString());
    void showComboEditor(char32_t key, bool dropDown, const QString &typed = QString());
    // Shows the drop button on the current cell, without asking the host.
    void placeDropButton();
    bool editorOpen() const;
    // Hides one editor; a focused one hands the focus to the grid quietly.
    void hideEditor(QWidget *editor);
    int nextVisibleCol(int direction) const;
    // How edits start: a character key, a double-click, a tick.
    void startEdit(char32_t key, const QString &typed);
    void startDoubleClickEdit();
    bool mayStartEdit(bool askModalForm);
    void toggleTick(bool raiseBeforeEdit);
    // Focus back to the grid from an editor, with the commit that stands for.
    void focusGrid();
    void gridGotFocus();
    void moveOutOfEditor(short keyCode);
    void onFocusChanged(QWidget *old, QWidget *now);
    void onGridKey(QKeyEvent *event);
    void onGridClick();
    void onGridDoubleClick();
    void onTextChanged();
    void onTextEdited(const QString &text);
    void onOutsidePress();

    OVGridPrivate *const d;
    OVGrid *const q;
    GridView *const grd;

    QLineEdit *txt;                  // text editor
    QComboBox *cboTemplate;          // drop-down 0, the pattern of the column drop-downs
    std::map<int, QComboBox *> cbo;  // column drop-downs by column, created on first need
    QComboBox *cbodata;              // the shared pick-list; item data holds the id
    QToolButton *cmd;                // drop button

    bool m_editable = false;
    bool hasFocus = false;
    bool comboKeySkip = false;    // the key after an arrow key belongs to the drop-down
    bool committing = false;      // an edit is being ended
    bool quietGridFocus = false;  // the grid takes the focus without its focus handling
    bool skipClick = false;       // the release that ends a double-click is no click
    int gridFocusRuns = 0;        // counts the grid's focus handling
    QPointer<QWidget> imeTarget;  // the editor a composition goes to while the grid keeps the focus
    std::unique_ptr<OutsidePress> outsidePress; // watches for presses elsewhere while an editor is open
    int txtLength = 0;            // the text editor's text length
};
