#include "RecordWindow.h"

RecordWindow::RecordWindow(QWidget *parent)
    : QWidget(parent)
{
}

void RecordWindow::setRecordControls(OVNavigationBar *nav, OVGrid *grd)
{
    m_nav = nav;
    m_grd = grd;
}
