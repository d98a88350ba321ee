// OVGrid: editors, keys and the cell events.
//
// Placeholder bodies: the editing work fills them (in-place editors, keys,
// the title-click sort, row deletion by double-click). What is here keeps
// the cell events flowing so the rest of the control works meanwhile.

#include "OVGrid_p.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

void OVGridPrivate::showDropButton()
{
    // Filled by the editing work.
}

void OVGridPrivate::commitEdit(bool scroll)
{
    Q_UNUSED(scroll) // Filled by the editing work.
}

void OVGridPrivate::hideEditors()
{
    for (auto &[col, combo] : cbo)
        combo->hide();
    cmd->hide();
    txt->hide();
    cbodata->hide();
}

void OVGridPrivate::onLeaveCell()
{
    if (internalMove)
        return;
    prevRow = grd->row();
    prevCol = grd->col();
    // The editing work commits the open editor here.
}

void OVGridPrivate::onRowColChange()
{
    if (internalMove)
        return;
    if (currentRowMode != OVGrid::ovCRNone)
        markCurrentRow(false);
    Q_EMIT q->AfterRowColChange(prevRow, prevCol, q->Row(), q->Col());
}

void OVGridPrivate::onEnterCell()
{
    if (internalMove || !editable)
        return;
    Q_EMIT q->SwitchColType(q->Row(), q->Col());
    showDropButton();
}

bool OVGrid::event(QEvent *event)
{
    return QWidget::event(event); // Filled by the editing work (focus of the control).
}

bool OVGrid::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event); // Filled by the editing work (editor keys).
}
