// What the grid reports — focus, keys, input-method text and the mouse —
// turned into edits and the control's own events, in the order hosts rely
// on whatever order the toolkit delivers its notifications in.

#include "GridEditing.h"

#include "OVGrid_p.h"

#include "editing/KeyCodes.h"
#include "editing/OutsidePress.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

namespace {


bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

short buttonMask(Qt::MouseButtons buttons)
{
    short mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

// Input-method queries answered by the editor carry its rectangles; the
// grid that holds the focus meanwhile must report them in its own terms.
void translateRectangles(QInputMethodQueryEvent *query, QPoint offset)
{
    for (const Qt::InputMethodQuery which :
         {Qt::ImCursorRectangle, Qt::ImAnchorRectangle, Qt::ImInputItemClipRectangle}) {
        if (!(query->queries() & which))
            continue;
        const QVariant value = query->value(which);
        if (value.canConvert<QRectF>())
            query->setValue(which, value.toRectF().translated(offset));
    }
}

} // namespace

void GridEditing::init()
{
    outsidePress = std::make_unique<OutsidePress>(q, [this] { onOutsidePress(); });
    QObject::connect(grd, &GridView::gridKeyPressed, q, [this](QKeyEvent *event) { onGridKey(event); });
    QObject::connect(grd, &GridView::gridClicked, q, [this] { onGridClick(); });
    QObject::connect(grd, &GridView::gridDoubleClicked, q, [this] { onGridDoubleClick(); });
    QObject::connect(grd, &GridView::gridMouseMoved, q,
                     [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos) {
        Q_EMIT q->MouseMove(buttonMask(buttons), KeyCodes::shiftMask(modifiers),
                            float(grd->toTwipsX(pos.x())), float(grd->toTwipsY(pos.y())));
    });
    QObject::connect(qApp, &QApplication::focusChanged, q,
                     [this](QWidget *old, QWidget *now) { onFocusChanged(old, now); });
    QObject::connect(cmd, &QToolButton::clicked, q, [this] { showComboEditor(KeyCodes::Space, true); });
    QObject::connect(txt, &QLineEdit::textChanged, q, [this] { onTextChanged(); });
    QObject::connect(txt, &QLineEdit::textEdited, q, [this](const QString &text) { onTextEdited(text); });

    // Typing into a cell that takes text may start a composition: the view
    // lets input methods work there and nowhere else.
    grd->gridModel()->setTakesText([this](int col) { return takesText(col); });
    grd->updateInputMethod();
    cmd->setFocusPolicy(Qt::NoFocus);
    txt->setFrame(false);
    grd->installEventFilter(q);
    txt->installEventFilter(q);
    cbodata->installEventFilter(q);
    cbodata->view()->installEventFilter(q);
    for (QWidget *area : {grd->viewport(), grd->verticalHeader()->viewport(),
                          grd->horizontalHeader()->viewport()})
        area->installEventFilter(q);
}

// --- Focus -------------------------------------------------------------

void GridEditing::onGridFocusIn(Qt::FocusReason reason)
{
    if (quietGridFocus || reason == Qt::PopupFocusReason)
        return;
    // Coming back to a window the control had the focus in is no new focus.
    if (reason == Qt::ActiveWindowFocusReason && hasFocus)
        return;
    hasFocus = true;
    gridGotFocus();
}

void GridEditing::gridGotFocus()
{
    ++gridFocusRuns;
    if (m_editable && onDataCell())
        commitEdit(false);
    updateDropButton();
}

void GridEditing::onFocusChanged(QWidget *old, QWidget *now)
{
    Q_UNUSED(old)
    if (!now || now == q || q->isAncestorOf(now)) {
        if (now && !hasFocus)
            hasFocus = true;
        return;
    }
    // Another window taking the focus (a message box, a list's pop-up) is not
    // the control losing it.
    if (!hasFocus || now->window() != q->window())
        return;
    if (m_editable && onDataCell())
        commitEdit(true);
    hideEditors();
    hasFocus = false;
}

// --- Keys and input-method text in the grid -------------------------------

void GridEditing::onGridKey(QKeyEvent *event)
{
    // A key sent to the grid while one of its editors has the focus is meant
    // for the editor; so is a key an input method lets through while its
    // composition goes into an editor: it must not start an edit of its own.
    QWidget *focus = imeTarget ? imeTarget.data() : q->window()->focusWidget();
    if (focus && focus != grd && q->isAncestorOf(focus)) {
        QCoreApplication::sendEvent(focus, event);
        event->ignore();
        return;
    }
    short keyCode = KeyCodes::virtualKey(*event);
    Q_EMIT q->KeyDown(keyCode, KeyCodes::shiftMask(event->modifiers()));
    if (const char32_t key = KeyCodes::characterCode(*event)) {
        startEdit(key, event->text());
        event->ignore();
        return;
    }
    // Only the keys that move the current cell reach the table, and not when
    // the host took them.
    if (keyCode == 0 || !isNavigationKey(event->key()))
        event->ignore();
}

bool GridEditing::onGridInputMethod(QInputMethodEvent *event)
{
    if (imeTarget) {
        QCoreApplication::sendEvent(imeTarget, event);
        if (event->preeditString().isEmpty()) {
            // The composition is done: the editor takes the focus now.
            QWidget *target = imeTarget;
            imeTarget = nullptr;
            if (!target->isHidden())
                target->setFocus(Qt::OtherFocusReason);
        }
        return true;
    }
    if (event->commitString().isEmpty() && event->preeditString().isEmpty())
        return false;
    if (!m_editable || !onDataCell())
        return true;
    bool cancel = false;
    Q_EMIT q->BeforeEdit(q->Row(), q->Col(), cancel);
    if (!cancel) {
        if (d->columns.editsAsText(grd->col())) {
            imeTarget = txt;
            showTextEditor(KeyCodes::Space);
        } else if (d->columns.editor(grd->col()) == ColumnSet::Editor::Combo) {
            imeTarget = columnCombo(grd->col());
            showComboEditor(KeyCodes::Space, false);
        }
        // The composed text goes into the editor that opened with the old
        // text selected; until it is complete the grid keeps the focus, so
        // that the input method is not interrupted.
        if (imeTarget)
            onGridInputMethod(event);
    }
    short keyCode = KeyCodes::InputMethod;
    Q_EMIT q->KeyDown(keyCode, 0);
    return true;
}

bool GridEditing::onGridInputMethodQuery(QInputMethodQueryEvent *query)
{
    if (!imeTarget)
        return false;
    QCoreApplication::sendEvent(imeTarget, query);
    translateRectangles(query, imeTarget->mapTo(grd, QPoint()));
    return true;
}

// --- The mouse ------------------------------------------------------------

void GridEditing::onGridPress(QObject *watched, QMouseEvent *event)
{
    skipClick = false;
    if (watched != grd->verticalHeader()->viewport() || event->button() != Qt::LeftButton)
        return;
    // A press on a row number makes that row current, as a press on a cell does.
    const int section = grd->verticalHeader()->logicalIndexAt(event->position().toPoint().y());
    if (section >= 0 && section + 1 != grd->row())
        grd->setRow(section + 1);
}

void GridEditing::onGridClick()
{
    // The release that ends a double-click is part of it, not a click.
    if (skipClick) {
        skipClick = false;
        return;
    }
    const int mouseRow = grd->mouseRow();
    const int mouseCol = grd->mouseCol();
    if (mouseRow == 0 && mouseCol > 0) {
        if (d->allowSort) {
            bool cancel = false;
            Q_EMIT q->BeforeSort(cancel);
            if (!cancel) {
                if (grd->rows() >= 3)
                    d->moveInternally(grd->row(), mouseCol);
                d->sortByColumn();
            }
        }
    } else if (mouseRow > 0 && mouseCol > 0 && m_editable && onDataCell()
               && d->columns.editor(grd->col()) == ColumnSet::Editor::Tick) {
        toggleTick(true);
    }
    Q_EMIT q->Click();
}

void GridEditing::onGridDoubleClick()
{
    skipClick = true;
    const int mouseRow = grd->mouseRow();
    const int mouseCol = grd->mouseCol();
    if (mouseRow >= 1 && mouseRow < grd->rows() && mouseCol >= 0 && mouseCol < grd->cols()) {
        // The press of a double-click made its cell current; a double-click
        // that came without one does the same first.
        if (mouseRow != grd->row())
            grd->setRow(mouseRow);
        if (mouseCol >= 1 && mouseCol != grd->col())
            grd->setCol(mouseCol);
    }
    if (mouseCol == 0 && mouseRow >= 1 && d->allowRowDelete
        && grd->gridModel()->textView(grd->row(), 0) != GridModel::EntryRowMark) {
        bool cancel = false;
        const int row = q->Row();
        Q_EMIT q->BeforeRowDelete(row, cancel);
        if (!cancel) {
            q->RemoveItem(row);
            Q_EMIT q->AfterRowDelete();
        }
        return;
    }
    if (mouseRow >= 1 && mouseCol >= 1)
        startDoubleClickEdit();
    Q_EMIT q->DblClick();
}
