#include "OVGrid.h"

OVGrid::OVGrid(QWidget *parent)
    : QWidget(parent)
{
}

OVGrid::~OVGrid() = default;
