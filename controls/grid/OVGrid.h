#pragma once

#include "ovgrid_export.h"

#include <QWidget>

// The data-entry grid control. Filled in by the grid work; this shell lets
// the program and its build stand on the library from the first day.
class OVGRID_EXPORT OVGrid : public QWidget
{
    Q_OBJECT
public:
    explicit OVGrid(QWidget *parent = nullptr);
    ~OVGrid() override;
};
