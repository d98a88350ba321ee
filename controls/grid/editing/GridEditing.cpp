// The editors that float over the current cell: opening them, the keys
// inside them, and ending an edit with the host's events.

#include "GridEditing.h"

#include "OVGrid_p.h"
#include "appearance/RowFitter.h"
#include "editing/EditRules.h"
#include "editing/KeyCodes.h"
#include "editing/OutsidePress.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QAbstractItemView>
#include <QToolButton>

#include <algorithm>

namespace {

using Editor = ColumnSet::Editor;

constexpr int DropButtonWidth = 255;  // twips
constexpr int TextEditorInset = 8;    // twips, off the cell's width and height
constexpr int ComboInset = 75;        // twips, off the cell's height

// Where the caret counts for the moves out of an editor: the start of the
// selection when there is one.
int caretOf(const QLineEdit *edit)
{
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

} // namespace

GridEditing::GridEditing(OVGridPrivate *d)
    : d(d)
    , q(d->q)
    , grd(d->grd)
{
    txt = new QLineEdit(grd);
    txt->setObjectName(QStringLiteral("txt"));
    txt->hide();
    cboTemplate = new QComboBox(grd);
    cboTemplate->setObjectName(QStringLiteral("ovgrid_cbo0"));
    cboTemplate->setEditable(true);
    cboTemplate->hide();
    cbodata = new QComboBox(grd);
    cbodata->setObjectName(QStringLiteral("cbodata"));
    cbodata->hide();
    cmd = new QToolButton(grd);
    cmd->setObjectName(QStringLiteral("cmd"));
    cmd->setArrowType(Qt::DownArrow);
    cmd->hide();
}

GridEditing::~GridEditing() = default;

void GridEditing::setEditable(bool editable)
{
    m_editable = editable;
    grd->updateInputMethod();
}

void GridEditing::setFont(const QFont &font)
{
    for (QWidget *editor : {static_cast<QWidget *>(txt), static_cast<QWidget *>(cboTemplate),
                            static_cast<QWidget *>(cbodata)})
        editor->setFont(font);
}

QComboBox *GridEditing::columnCombo(int col)
{
    if (col == 0)
        return cboTemplate;
    auto it = cbo.find(col);
    if (it != cbo.end())
        return it->second;
    auto *combo = new QComboBox(grd);
    combo->setObjectName(QStringLiteral("cbo%1").arg(col));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFont(cboTemplate->font());
    combo->hide();
    cbo.emplace(col, combo);
    return combo;
}

void GridEditing::raiseCombo(QComboBox *combo)
{
    combo->raise();
    d->pic->raise();
}

QString GridEditing::pickListText(qint32 id) const
{
    const int index = cbodata->findData(id);
    return index < 0 ? QString() : cbodata->itemText(index);
}

QHash<qint32, QString> GridEditing::pickListTexts() const
{
    QHash<qint32, QString> texts;
    // Backwards, so that the first entry with an id wins, as in pickListText.
    for (int i = cbodata->count() - 1; i >= 0; --i)
        texts[cbodata->itemData(i).toInt()] = cbodata->itemText(i);
    return texts;
}

bool GridEditing::takesText(int col) const
{
    if (!m_editable)
        return false;
    return d->columns.editsAsText(col) || d->columns.editor(col) == Editor::Combo;
}

bool GridEditing::onDataCell() const
{
    // The view's row, which is Row() (0 without data rows), without reading
    // the rows a load left pending: focus alone needs none of them.
    return grd->row() > 0 && grd->col() > 0 && grd->col() < grd->cols();
}

QRect GridEditing::cellRect() const
{
    if (grd->row() < 1 || grd->col() < 1)
        return {};
    const QRect cell = grd->visualRect(grd->gridModel()->index(grd->row() - 1, grd->col() - 1));
    return cell.translated(grd->viewport()->geometry().topLeft());
}

void GridEditing::setEditorBackground(QWidget *editor) const
{
    QColor colour = grd->viewport()->palette().color(QPalette::Base);
    if (grd->row() >= 1 && grd->col() >= 1) {
        const QVariant back = grd->gridModel()->data(grd->gridModel()->index(grd->row() - 1, grd->col() - 1),
                                            Qt::BackgroundRole);
        if (back.canConvert<QBrush>() && back.value<QBrush>().style() != Qt::NoBrush)
            colour = back.value<QBrush>().color();
    }
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, colour);
    editor->setPalette(palette);
}

void GridEditing::showTextEditor(char32_t key, const QString &typed)
{
    if (key > KeyCodes::Space) {
        txt->setText(typed);
        txt->end(false);
    } else {
        txt->setText(grd->text());
        txt->selectAll();
    }
    grd->showCurrentCell();
    const QRect cell = cellRect();
    txt->setGeometry(cell.left(), cell.top(),
                     std::max(cell.width() - grd->toPixelsX(TextEditorInset), 0),
                     std::max(cell.height() - grd->toPixelsY(TextEditorInset), 0));
    setEditorBackground(txt);
    txt->show();
    txt->raise();
    outsidePress->watch();
    // During an input-method composition the grid keeps the focus until the
    // composed text is in (see onGridInputMethod).
    if (imeTarget != txt)
        txt->setFocus(Qt::OtherFocusReason);
}

void GridEditing::showComboEditor(char32_t key, bool dropDown, const QString &typed)
{
    const bool pickList = d->columns.editor(grd->col()) == Editor::PickList;
    QComboBox *combo = pickList ? cbodata : columnCombo(grd->col());
    combo->installEventFilter(q);
    if (combo->isEditable() && combo->completer()) {
        // Typed text stays as typed: no completion from the list.
        combo->setCompleter(nullptr);
    }
    grd->showCurrentCell();
    const QRect cell = cellRect();
    // A little lower than the cell, so its bottom grid line stays in sight.
    combo->setGeometry(cell.left(), cell.top(), cell.width(),
                       std::max(cell.height() - grd->toPixelsY(ComboInset), 0));
    setEditorBackground(combo);
    if (key > KeyCodes::Space) {
        if (!pickList)
            combo->setEditText(typed);
    } else if (pickList) {
        const qint32 id = grd->gridModel()->rowData(grd->row());
        combo->setCurrentIndex(id == 0 ? -1 : combo->findData(id));
    } else {
        const QString text = grd->text();
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(text);
    }
    combo->show();
    combo->raise();
    outsidePress->watch();
    if (imeTarget != combo)
        combo->setFocus(Qt::OtherFocusReason);
    cmd->hide();
    if (dropDown || key == KeyCodes::Enter) {
        combo->showPopup();
    } else if (QLineEdit *edit = combo->lineEdit()) {
        if (key > KeyCodes::Space)
            edit->end(false);
        else
            edit->selectAll();
    }
}

void GridEditing::showDropButton()
{
    cmd->hide();
    // The row count last: it reads the rows a load left pending, which
    // only a button about to show needs.
    if (!hasFocus || !d->columns.hasDropButton(grd->col()) || q->Row() == 0 || grd->rows() <= 1)
        return;
    bool cancel = false;
    Q_EMIT q->BeforeEdit(q->Row(), q->Col(), cancel);
    if (!cancel)
        placeDropButton();
}

void GridEditing::updateDropButton()
{
    if (m_editable)
        showDropButton();
}

void GridEditing::placeDropButton()
{
    const QRect cell = cellRect();
    const int width = grd->toPixelsX(DropButtonWidth);
    cmd->setGeometry(cell.right() + 1 - width, cell.top(), width, cell.height());
    cmd->show();
    cmd->raise();
}

void GridEditing::commitEdit(bool scroll)
{
    if (committing)
        return;
    const int col = grd->col();
    const Editor editor = d->columns.editor(col);
    QComboBox *combo = nullptr;
    if (d->columns.editsAsText(col)) {
        if (txt->isHidden())
            return;
    } else if (editor == Editor::Combo) {
        const auto it = cbo.find(col);
        if (it == cbo.end() || it->second->isHidden())
            return;
        combo = it->second;
    } else if (editor == Editor::PickList) {
        if (cbodata->isHidden())
            return;
        combo = cbodata;
    } else {
        return;
    }
    const QScopedValueRollback guard(committing, true);
    const int row = q->Row();
    if (scroll)
        grd->showCurrentCell();

    const int chosen = combo == cbodata ? cbodata->currentIndex() : -1;
    const qint32 id = chosen >= 0 ? cbodata->itemData(chosen).toInt() : 0;
    if (combo == cbodata)
        txt->setText(QString::number(id));
    else if (combo)
        txt->setText(combo->currentText());

    bool cancel = false;
    Q_EMIT q->ValidateEdit(row, col, cancel);
    hideEditor(combo ? static_cast<QWidget *>(combo) : txt);
    if (cancel || !grd->contains(row, col) || row == 0)
        return;

    if (combo == cbodata) {
        grd->setTextMatrix(row, col, chosen >= 0 ? cbodata->itemText(chosen) : QString());
        grd->gridModel()->setRowData(row, id);
    } else {
        // A text editor's value is read after the handler, which may rewrite it.
        grd->setTextMatrix(row, col, d->columns.formatCell(row, col, combo ? combo->currentText() : txt->text()));
    }
    if (grd->wordWrap())
        d->fitter->fitRow(row);
    Q_EMIT q->AfterEdit(row, col);
}

void GridEditing::hideEditor(QWidget *editor)
{
    if (editor == imeTarget)
        imeTarget = nullptr;
    // Hiding the focused editor would send the focus along the window's tab
    // chain; it goes back to the grid instead, quietly: whoever hides the
    // editor decides what the grid does next.
    QWidget *focus = q->window()->focusWidget();
    if (focus && (focus == editor || editor->isAncestorOf(focus))) {
        const QScopedValueRollback quiet(quietGridFocus, true);
        grd->setFocus(Qt::OtherFocusReason);
    }
    editor->hide();
    if (!editorOpen())
        outsidePress->stop();
}

void GridEditing::hideEditors()
{
    discardEdit();
    cmd->hide();
}

void GridEditing::discardEdit()
{
    for (auto &[col, combo] : cbo)
        hideEditor(combo);
    hideEditor(txt);
    hideEditor(cbodata);
}

bool GridEditing::editorOpen() const
{
    return !txt->isHidden() || !cbodata->isHidden()
           || std::any_of(cbo.begin(), cbo.end(), [](const auto &entry) { return !entry.second->isHidden(); });
}

void GridEditing::onOutsidePress()
{
    // A press anywhere else ends the edit before it reaches its target: a
    // button that takes no focus (the navigation bar's) would otherwise act
    // with the typed text still in the editor, over the next record.
    if (m_editable && onDataCell())
        commitEdit(true);
    if (!editorOpen())
        outsidePress->stop();
}

int GridEditing::nextVisibleCol(int direction) const
{
    return EditRules::nextVisibleCol(grd->col(), direction, grd->cols(),
                                     [this](int col) { return grd->colWidth(col); });
}

// Whether an edit may start on the current cell: the grid is editable, the
// cell holds data, and neither BeforeEdit nor, when asked, ModalForm cancels.
bool GridEditing::mayStartEdit(bool askModalForm)
{
    if (!m_editable || !onDataCell())
        return false;
    const int row = q->Row();
    const int col = grd->col();
    bool cancel = false;
    Q_EMIT q->BeforeEdit(row, col, cancel);
    if (cancel)
        return false;
    if (askModalForm)
        Q_EMIT q->ModalForm(row, col, cancel);
    return !cancel;
}

void GridEditing::startEdit(char32_t key, const QString &typed)
{
    if (!mayStartEdit(key == KeyCodes::Enter && grd->text().isEmpty()))
        return;
    const Editor editor = d->columns.editor(grd->col());
    if (d->columns.editsAsText(grd->col()))
        showTextEditor(key, typed);
    else if (editor == Editor::Combo)
        showComboEditor(key, false, typed);
    else if (editor == Editor::Tick && key == KeyCodes::Space)
        toggleTick(false);
}

void GridEditing::startDoubleClickEdit()
{
    if (!mayStartEdit(true))
        return;
    const Editor editor = d->columns.editor(grd->col());
    if (d->columns.editsAsText(grd->col()))
        showTextEditor(KeyCodes::Space);
    else if (editor == Editor::Combo || editor == Editor::PickList)
        showComboEditor(KeyCodes::Space, true);
}

void GridEditing::toggleTick(bool raiseBeforeEdit)
{
    const int row = q->Row();
    const int col = grd->col();
    bool cancel = false;
    if (raiseBeforeEdit) {
        Q_EMIT q->BeforeEdit(row, col, cancel);
        if (cancel)
            return;
    }
    Q_EMIT q->ValidateEdit(row, col, cancel);
    if (cancel || !grd->contains(row, col))
        return;
    // Written as it is: a tick column's format would turn "" into a tick.
    grd->setTextMatrix(row, col, EditRules::toggledTick(grd->gridModel()->textView(row, col)));
    Q_EMIT q->AfterEdit(row, col);
}

void GridEditing::focusGrid()
{
    const int runs = gridFocusRuns;
    grd->setFocus(Qt::OtherFocusReason);
    // Where the toolkit delivered no focus event (the grid's window is not
    // active), the commit that the focus change stands for runs here.
    if (gridFocusRuns == runs)
        gridGotFocus();
}

void GridEditing::moveOutOfEditor(short keyCode)
{
    switch (keyCode) {
    case KeyCodes::Left:
        if (grd->col() > 1)
            grd->setCol(nextVisibleCol(-1));
        break;
    case KeyCodes::Right:
        if (grd->col() < grd->cols() - 1)
            grd->setCol(nextVisibleCol(+1));
        break;
    case KeyCodes::Up:
        if (grd->row() > 1) {
            grd->setRow(grd->row() - 1);
            grd->showCurrentCell();
        }
        break;
    case KeyCodes::Down:
        if (grd->row() < grd->rows() - 1) {
            grd->setRow(grd->row() + 1);
            grd->showCurrentCell();
        }
        break;
    default:
        break;
    }
}

bool GridEditing::onEditorKey(QWidget *editor, QKeyEvent *event)
{
    short keyCode = KeyCodes::virtualKey(*event);
    const short shift = KeyCodes::shiftMask(event->modifiers());
    auto *combo = qobject_cast<QComboBox *>(editor);
    const bool columnCombo = combo && combo != cbodata;

    if (columnCombo && comboKeySkip) {
        // The key after an arrow key in a drop-down is the drop-down's alone.
        comboKeySkip = false;
        return false;
    }
    // A column drop-down names the cell the key was pressed in; the others
    // the cell that is current once the key was handled.
    const int keyRow = q->Row();
    const int keyCol = q->Col();
    const auto keyDownEdit = [&] {
        if (columnCombo)
            Q_EMIT q->KeyDownEdit(keyRow, keyCol, keyCode, shift);
        else
            Q_EMIT q->KeyDownEdit(q->Row(), q->Col(), keyCode, shift);
    };
    QLineEdit *edit = combo ? combo->lineEdit() : txt;
    const bool arrow = keyCode == KeyCodes::Left || keyCode == KeyCodes::Right
                       || keyCode == KeyCodes::Up || keyCode == KeyCodes::Down;
    if (columnCombo && arrow)
        comboKeySkip = true;

    bool leave = false;
    switch (keyCode) {
    case KeyCodes::Enter:
        focusGrid();
        keyDownEdit();
        return true;
    case KeyCodes::Escape:
        // Discarded without asking the host anything: the drop button comes
        // back on the cell it was allowed on when the drop-down opened.
        hideEditor(editor);
        if (combo)
            placeDropButton();
        keyDownEdit();
        return true;
    case KeyCodes::Left:
        leave = !edit || caretOf(edit) == 0;
        break;
    case KeyCodes::Right:
        leave = !edit || caretOf(edit) == edit->text().size();
        break;
    case KeyCodes::Up:
    case KeyCodes::Down:
        leave = !combo;
        break;
    default:
        break;
    }
    if (leave) {
        focusGrid();
        moveOutOfEditor(keyCode);
        keyDownEdit();
        return true;
    }
    // The editor handles the key itself after the host has seen it, unless
    // the host took a key that types nothing (KeyCode set to 0).
    keyDownEdit();
    return keyCode == 0 && KeyCodes::characterCode(*event) == 0;
}

bool GridEditing::onPickListPopupKey(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    // Enter in the pick-list's open list takes the highlighted entry and ends
    // the edit, as Enter in the closed pick-list does.
    const int chosen = cbodata->view()->currentIndex().row();
    cbodata->hidePopup();
    cbodata->setCurrentIndex(chosen);
    short keyCode = KeyCodes::Enter;
    focusGrid();
    Q_EMIT q->KeyDownEdit(q->Row(), q->Col(), keyCode, KeyCodes::shiftMask(event->modifiers()));
    return true;
}

void GridEditing::onTextEdited(const QString &text)
{
    // textEdited comes before textChanged: txtLength is still the length
    // the text had before this edit.
    if (d->columns.editor(grd->col()) != Editor::Date)
        return;
    if (const auto dashed = EditRules::dateWithDash(text, txt->cursorPosition(), txtLength)) {
        txt->setText(*dashed);
        txt->end(false);
    }
}

void GridEditing::onTextChanged()
{
    // The editor's own text: a dash added while the change was reported is
    // already in it.
    txtLength = int(txt->text().size());
}

void GridEditing::followCurrentCell()
{
    if (!m_editable)
        return;
    const Editor tagged = d->columns.editor(grd->col());
    if (tagged == Editor::None || tagged == Editor::Tick)
        return;
    QWidget *editor = nullptr;
    for (QWidget *candidate : {static_cast<QWidget *>(txt), static_cast<QWidget *>(cmd),
                               static_cast<QWidget *>(cbodata)}) {
        if (!candidate->isHidden()) {
            editor = candidate;
            break;
        }
    }
    if (!editor && tagged == Editor::Combo) {
        const auto it = cbo.find(grd->col());
        if (it != cbo.end() && !it->second->isHidden())
            editor = it->second;
    }
    if (!editor)
        return;
    if (!grd->rowIsVisible(grd->row())) {
        // Out of sight but still open, until the row scrolls back.
        editor->move(-9999, editor->y());
        return;
    }
    const QRect cell = cellRect();
    if (editor == cmd)
        editor->move(cell.right() + 1 - cmd->width(), cell.top());
    else
        editor->move(cell.topLeft());
}
