// OVGrid: layout, colours, row heights, persistence and messages.
//
// Placeholder bodies: the appearance work fills them. Alternate colours and
// the current-row marking are computed by the grid's model as it paints.

#include "OVGrid_p.h"

#include <QLabel>

void OVGridPrivate::paintAlternateRows(int fromRow, int fromCol)
{
    if (grd->rows() <= 1 || grd->cols() <= 1)
        return;
    model()->setAlternate(true);
    if (customBackColour)
        model()->clearBackColors(fromRow, fromCol);
}

void OVGridPrivate::fitRowHeight(int row)
{
    Q_UNUSED(row) // Filled by the appearance work.
}

void OVGridPrivate::fitRowHeights(int fromRow, int toRow)
{
    Q_UNUSED(fromRow) // Filled by the appearance work.
    Q_UNUSED(toRow)
}

void OVGridPrivate::markCurrentRow(bool forced)
{
    if (!forced && grd->row() == prevRow)
        return;
    const int row = grd->rows() > 1 ? grd->row() : 0;
    const auto mark = currentRowMode == OVGrid::ovCRFontBold ? GridModel::RowMark::Bold
                      : currentRowMode == OVGrid::ovCRForeColor ? GridModel::RowMark::Red
                                                                : GridModel::RowMark::None;
    model()->setMarkedRow(row, mark);
}

void OVGridPrivate::layoutChildren()
{
    grd->setGeometry(q->rect());
    msg->move((q->width() - msg->width()) / 2, (q->height() - msg->height()) / 2);
}

void OVGrid::Message(int setting, const QString &msging)
{
    switch (setting) {
    case 0:
        d->msg->show();
        d->msg->raise();
        break;
    case 1:
        d->printMessage(msging);
        break;
    case 2:
        d->msg->hide();
        break;
    default:
        break;
    }
}

void OVGrid::Log(const QString &str)
{
    Q_UNUSED(str) // Filled by the appearance work.
}

void OVGrid::ShowAbout()
{
    // Filled by the appearance work.
}

void OVGrid::ReadProperties(const PropertyBag &bag)
{
    Q_UNUSED(bag) // Filled by the appearance work.
}

OVGrid::PropertyBag OVGrid::WriteProperties() const
{
    return {}; // Filled by the appearance work.
}

void OVGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    d->layoutChildren();
}

void OVGrid::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event); // Filled by the appearance work (tooltip).
}
