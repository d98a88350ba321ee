// OVGrid: the editors that float over the current cell — opening them,
// the keys inside them, and ending an edit with the host's events.

#include "OVGrid_p.h"

#include "editing/EditRules.h"
#include "editing/KeyCodes.h"
#include "editing/OutsidePress.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QAbstractItemView>
#include <QToolButton>

#include <algorithm>

namespace {

const QString TagText = QStringLiteral("txt");
const QString TagDate = QStringLiteral("txtdate");
const QString TagCombo = QStringLiteral("cbo");
const QString TagPickList = QStringLiteral("cbodata");
const QString TagTick = QStringLiteral("chk");

constexpr int DropButtonWidth = 255;  // twips
constexpr int TextEditorInset = 8;    // twips, off the cell's width and height
constexpr int ComboInset = 75;        // twips, off the cell's height

bool isTextTag(const QString &tag)
{
    return tag == TagText || tag == TagDate;
}

// Where the caret counts for the moves out of an editor: the start of the
// selection when there is one.
int caretOf(const QLineEdit *edit)
{
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

} // namespace

QString OVGridPrivate::tagOf(int col) const
{
    return colSettings.contains(col) ? colSettings.tag[col] : QString();
}

bool OVGridPrivate::takesText(int col) const
{
    if (!editable)
        return false;
    const QString tag = tagOf(col);
    return isTextTag(tag) || tag == TagCombo;
}

bool OVGridPrivate::onDataCell() const
{
    return q->Row() > 0 && grd->col() > 0 && grd->col() < grd->cols();
}

QRect OVGridPrivate::cellRect() const
{
    if (grd->row() < 1 || grd->col() < 1)
        return {};
    const QRect cell = grd->visualRect(model()->index(grd->row() - 1, grd->col() - 1));
    return cell.translated(grd->viewport()->geometry().topLeft());
}

void OVGridPrivate::setEditorBackground(QWidget *editor) const
{
    QColor colour = grd->viewport()->palette().color(QPalette::Base);
    if (grd->row() >= 1 && grd->col() >= 1) {
        const QVariant back = model()->data(model()->index(grd->row() - 1, grd->col() - 1),
                                            Qt::BackgroundRole);
        if (back.canConvert<QBrush>() && back.value<QBrush>().style() != Qt::NoBrush)
            colour = back.value<QBrush>().color();
    }
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, colour);
    editor->setPalette(palette);
}

void OVGridPrivate::showTextEditor(char32_t key, const QString &typed)
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

void OVGridPrivate::showComboEditor(char32_t key, bool dropDown, const QString &typed)
{
    const bool pickList = tagOf(grd->col()) == TagPickList;
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
        const qint32 id = model()->rowData(grd->row());
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

void OVGridPrivate::showDropButton()
{
    cmd->hide();
    if (q->Row() == 0 || grd->rows() <= 1)
        return;
    if (!tagOf(grd->col()).contains(TagCombo) || !hasFocus)
        return;
    bool cancel = false;
    Q_EMIT q->BeforeEdit(q->Row(), q->Col(), cancel);
    if (!cancel)
        placeDropButton();
}

void OVGridPrivate::placeDropButton()
{
    const QRect cell = cellRect();
    const int width = grd->toPixelsX(DropButtonWidth);
    cmd->setGeometry(cell.right() + 1 - width, cell.top(), width, cell.height());
    cmd->show();
    cmd->raise();
}

void OVGridPrivate::commitEdit(bool scroll)
{
    if (committing)
        return;
    const int row = q->Row();
    const int col = grd->col();
    const QString tag = tagOf(col);
    QComboBox *combo = nullptr;
    if (isTextTag(tag)) {
        if (txt->isHidden())
            return;
    } else if (tag == TagCombo) {
        const auto it = cbo.find(col);
        if (it == cbo.end() || it->second->isHidden())
            return;
        combo = it->second;
    } else if (tag == TagPickList) {
        if (cbodata->isHidden())
            return;
        combo = cbodata;
    } else {
        return;
    }
    const QScopedValueRollback guard(committing, true);
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
    if (cancel || isOutOfRange(row, col) || row == 0)
        return;

    if (combo == cbodata) {
        grd->setTextMatrix(row, col, chosen >= 0 ? cbodata->itemText(chosen) : QString());
        model()->setRowData(row, id);
    } else {
        // A text editor's value is read after the handler, which may rewrite it.
        grd->setTextMatrix(row, col, formatCell(row, col, combo ? combo->currentText() : txt->text()));
    }
    if (grd->wordWrap())
        fitRowHeight(row);
    Q_EMIT q->AfterEdit(row, col);
}

void OVGridPrivate::hideEditor(QWidget *editor)
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

void OVGridPrivate::hideEditors()
{
    discardEdit();
    cmd->hide();
}

void OVGridPrivate::discardEdit()
{
    for (auto &[col, combo] : cbo)
        hideEditor(combo);
    hideEditor(txt);
    hideEditor(cbodata);
}

bool OVGridPrivate::editorOpen() const
{
    return !txt->isHidden() || !cbodata->isHidden()
           || std::any_of(cbo.begin(), cbo.end(), [](const auto &entry) { return !entry.second->isHidden(); });
}

void OVGridPrivate::onOutsidePress()
{
    // A press anywhere else ends the edit before it reaches its target: a
    // button that takes no focus (the navigation bar's) would otherwise act
    // with the typed text still in the editor, over the next record.
    if (editable && onDataCell())
        commitEdit(true);
    if (!editorOpen())
        outsidePress->stop();
}

int OVGridPrivate::nextVisibleCol(int direction) const
{
    return EditRules::nextVisibleCol(grd->col(), direction, grd->cols(),
                                     [this](int col) { return grd->colWidth(col); });
}

void OVGridPrivate::startEdit(char32_t key, const QString &typed)
{
    if (!editable || !onDataCell())
        return;
    const int row = q->Row();
    const int col = grd->col();
    bool cancel = false;
    Q_EMIT q->BeforeEdit(row, col, cancel);
    if (cancel)
        return;
    if (key == KeyCodes::Enter && grd->text().isEmpty()) {
        Q_EMIT q->ModalForm(row, col, cancel);
        if (cancel)
            return;
    }
    const QString tag = tagOf(grd->col());
    if (isTextTag(tag))
        showTextEditor(key, typed);
    else if (tag == TagCombo)
        showComboEditor(key, false, typed);
    else if (tag == TagTick && key == KeyCodes::Space)
        toggleTick(false);
}

void OVGridPrivate::startDoubleClickEdit()
{
    if (!editable || !onDataCell())
        return;
    const int row = q->Row();
    const int col = grd->col();
    bool cancel = false;
    Q_EMIT q->BeforeEdit(row, col, cancel);
    if (cancel)
        return;
    Q_EMIT q->ModalForm(row, col, cancel);
    if (cancel)
        return;
    const QString tag = tagOf(grd->col());
    if (isTextTag(tag))
        showTextEditor(KeyCodes::Space);
    else if (tag == TagCombo || tag == TagPickList)
        showComboEditor(KeyCodes::Space, true);
}

void OVGridPrivate::toggleTick(bool raiseBeforeEdit)
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
    if (cancel || isOutOfRange(row, col))
        return;
    // Written as it is: a tick column's format would turn "" into a tick.
    grd->setTextMatrix(row, col, EditRules::toggledTick(model()->textView(row, col)));
    Q_EMIT q->AfterEdit(row, col);
}

void OVGridPrivate::focusGrid()
{
    const int runs = gridFocusRuns;
    grd->setFocus(Qt::OtherFocusReason);
    // Where the toolkit delivered no focus event (the grid's window is not
    // active), the commit that the focus change stands for runs here.
    if (gridFocusRuns == runs)
        gridGotFocus();
}

void OVGridPrivate::moveOutOfEditor(short keyCode)
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

bool OVGridPrivate::onEditorKey(QWidget *editor, QKeyEvent *event)
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

bool OVGridPrivate::onPickListPopupKey(QKeyEvent *event)
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

void OVGridPrivate::onTextEdited(const QString &text)
{
    // textEdited comes before textChanged: txtLength is still the length
    // the text had before this edit.
    if (tagOf(grd->col()) != TagDate)
        return;
    if (const auto dashed = EditRules::dateWithDash(text, txt->cursorPosition(), txtLength)) {
        txt->setText(*dashed);
        txt->end(false);
    }
}

void OVGridPrivate::onTextChanged()
{
    // The editor's own text: a dash added while the change was reported is
    // already in it.
    txtLength = int(txt->text().size());
}
