#pragma once

#include "ovnavbar_export.h"

#include <QWidget>

// The record navigation bar. Filled in by the navigation-bar work.
class OVNAVBAR_EXPORT OVNavigationBar : public QWidget
{
    Q_OBJECT
public:
    explicit OVNavigationBar(QWidget *parent = nullptr);
    ~OVNavigationBar() override;
};
