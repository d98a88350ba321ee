#include "OVNavigationBar.h"

OVNavigationBar::OVNavigationBar(QWidget *parent)
    : QWidget(parent)
{
}

OVNavigationBar::~OVNavigationBar() = default;
