// OVGrid: the editing properties, the column drop-downs' lists, and the
// events of the grid and its editors, handed to the editing part.

#include "OVGrid_p.h"

#include "appearance/WheelRule.h"
#include "editing/GridEditing.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

QString OVGrid::EditText() const
{
    return d->editing->textEditor()->text();
}

void OVGrid::setEditText(const QString &value)
{
    d->editing->textEditor()->setText(value);
}

bool OVGrid::Editable() const
{
    return d->editing->isEditable();
}

void OVGrid::setEditable(bool value)
{
    d->editing->setEditable(value);
    d->markDirty();
}

int OVGrid::MouseCol() const
{
    return d->grd->mouseCol();
}

int OVGrid::MouseRow() const
{
    return d->grd->mouseRow();
}

void OVGrid::AddCboList(int Col, const QString &NewValue)
{
    const QString value = NewValue.trimmed();
    if (value.isEmpty() || !d->columns.contains(Col))
        return;
    QComboBox *combo = d->editing->columnCombo(Col);
    d->editing->raiseCombo(combo);
    if (combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        combo->addItem(value);
}

bool OVGrid::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTipChange)
        update();
    return QWidget::event(event);
}

bool OVGrid::eventFilter(QObject *watched, QEvent *event)
{
    GridEditing *editing = d->editing.get();
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == editing->textEditor() || qobject_cast<QComboBox *>(watched)) {
            if (!editing->onEditorKey(static_cast<QWidget *>(watched), key)) {
                // The editor handles the key, and it ends there: a key an
                // editor leaves alone is not the grid's key.
                watched->event(event);
            }
            event->accept();
            return true;
        }
        if (watched == editing->pickList()->view())
            return editing->onPickListPopupKey(key);
        break;
    }
    case QEvent::FocusIn:
        if (watched == d->grd)
            editing->onGridFocusIn(static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::InputMethod:
        if (watched == d->grd)
            return editing->onGridInputMethod(static_cast<QInputMethodEvent *>(event));
        break;
    case QEvent::InputMethodQuery:
        if (watched == d->grd)
            return editing->onGridInputMethodQuery(static_cast<QInputMethodQueryEvent *>(event));
        break;
    case QEvent::MouseButtonPress:
        editing->onGridPress(watched, static_cast<QMouseEvent *>(event));
        break;
    case QEvent::Wheel:
        if (watched == d->grd->viewport())
            return scrollByWheel(d->grd, static_cast<QWheelEvent *>(event));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
